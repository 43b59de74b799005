// The ini edit behind pack --password.
#include "tools/pack/PasswordIni.h"

#include <vector>

#include "settings/RegionalFormats.h"

namespace quindle::pack {

namespace {

struct TRawLine {
    std::string text;
    std::string end;  // the line end as written
};

std::vector<TRawLine> SplitKeepingEnds(const std::string& bytes) {
    std::vector<TRawLine> lines;
    size_t i = 0;
    while (i < bytes.size()) {
        const size_t stop = bytes.find_first_of("\r\n", i);
        TRawLine line{bytes.substr(i, stop == std::string::npos ? std::string::npos : stop - i), ""};
        if (stop == std::string::npos)
            i = bytes.size();
        else {
            const size_t endLength = bytes.compare(stop, 2, "\r\n") == 0 ? 2 : 1;
            line.end = bytes.substr(stop, endLength);
            i = stop + endLength;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

bool IsHeader(const std::string& line) { return line.size() >= 2 && line.front() == '[' && line.back() == ']'; }

}  // namespace

std::string SetPasswordHash(const std::string& iniBytes, uint32_t hash) {
    std::vector<TRawLine> lines = SplitKeepingEnds(iniBytes);
    std::string newline = "\r\n";
    for (const TRawLine& l : lines)
        if (!l.end.empty()) {
            newline = l.end;
            break;
        }
    const IRegionalFormats& names = FixedRegionalFormats();
    const std::pair<std::string, std::string> keys[] = {{"Password", "1"}, {"AlignmentX", std::to_string(hash)}};

    size_t header = lines.size();
    for (size_t i = 0; i < lines.size() && header == lines.size(); ++i)
        if (IsHeader(lines[i].text) && names.SameText(lines[i].text.substr(1, lines[i].text.size() - 2), "Settings"))
            header = i;
    if (header == lines.size()) {
        if (!lines.empty() && lines.back().end.empty()) lines.back().end = newline;
        lines.push_back({"[Settings]", newline});
    }
    if (lines[header].end.empty()) lines[header].end = newline;
    size_t sectionEnd = header + 1;
    while (sectionEnd < lines.size() && !IsHeader(lines[sectionEnd].text)) ++sectionEnd;

    // Password first, AlignmentX beside it unless the author's file has one already.
    size_t after = header;
    for (const auto& [key, value] : keys) {
        const std::string line = key + "=" + value;
        size_t at = sectionEnd;
        for (size_t i = header + 1; i < sectionEnd && at == sectionEnd; ++i) {
            const std::string& text = lines[i].text;
            const size_t equals = text.find('=');
            if (!text.empty() && text[0] != ';' && equals != std::string::npos &&
                names.SameText(text.substr(0, equals), key))
                at = i;
        }
        if (at == sectionEnd) {
            at = after + 1;
            lines.insert(lines.begin() + std::ptrdiff_t(at), TRawLine{line, newline});
            ++sectionEnd;
        }
        lines[at].text = line;
        after = at;
    }
    std::string out;
    for (const TRawLine& l : lines) out += l.text + l.end;
    return out;
}

}  // namespace quindle::pack
