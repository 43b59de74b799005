// The runner's ini component. Used by the project settings loader.
#include "settings/IniFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace quindle {
namespace {

class TFile {
public:
    TFile(const std::string& path, const char* mode) : f_(std::fopen(path.c_str(), mode)) {}
    ~TFile() {
        if (f_) std::fclose(f_);
    }
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;
    std::FILE* get() const { return f_; }
    // Closes now so that a failing close counts as a failed write.
    bool Close() {
        const bool ok = f_ && std::fclose(f_) == 0;
        f_ = nullptr;
        return ok;
    }

private:
    std::FILE* f_;
};

bool FileExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) != S_IFDIR;
}

std::string ReadWholeFile(const std::string& path) {
    TFile file(path, "rb");
    if (!file.get()) throw std::runtime_error("Cannot open file \"" + path + "\"");
    std::string bytes;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, got);
    if (std::ferror(file.get())) throw std::runtime_error("Error reading file \"" + path + "\"");
    return bytes;
}

std::string KeyOf(const std::string& line) {
    const size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A typed read: def for an empty or unreadable text.
double ParseOr(const std::string& text, const TFormatSettings& fs, double def,
               bool (*parse)(const std::string&, const TFormatSettings&, double&)) {
    double value = def;
    return text.empty() || !parse(text, fs, value) ? def : value;
}

}  // namespace

bool ParseIniInt(const std::string& source, int32_t& value) {
    std::string text = source;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.replace(0, 2, "$");
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    if (i < text.size() && text[i] == '$') {
        ++i;
        if (i == text.size()) return false;
        uint64_t acc = 0;
        for (; i < text.size(); ++i) {
            const int d = HexDigit(text[i]);
            if (d < 0) return false;
            acc = acc * 16 + static_cast<uint64_t>(d);
            if (acc > 0xFFFFFFFFu) return false;
        }
        value = static_cast<int32_t>(static_cast<uint32_t>(acc));
        return true;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return false;
    int64_t acc = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        acc = acc * 10 + (text[i] - '0');
        // -2147483648 is refused as well: the range is symmetric.
        if (acc > 2147483647) return false;
    }
    value = static_cast<int32_t>(negative ? -acc : acc);
    return true;
}

TStringList SplitIniText(const std::string& bytes) {
    TStringList lines;
    const size_t end = std::min(bytes.find('\0'), bytes.size());
    size_t start = 0;
    size_t i = 0;
    while (i < end) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(bytes.substr(start, i - start));
            ++i;
            if (c == '\r' && i < end && bytes[i] == '\n') ++i;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < end) lines.push_back(bytes.substr(start, end - start));
    return lines;
}

// ---- TCustomIniFile: the typed operations over GetText and SetText ----

TCustomIniFile::TCustomIniFile(std::string fileName, const IRegionalFormats& regional)
    : FileName(std::move(fileName)), Regional(regional) {}

int32_t TCustomIniFile::GetInt(const std::string& section, const std::string& key, int32_t def) {
    int32_t value;
    return ParseIniInt(GetText(section, key, ""), value) ? value : def;
}

void TCustomIniFile::SetInt(const std::string& section, const std::string& key, int32_t value) {
    SetText(section, key, std::to_string(value));
}

bool TCustomIniFile::GetFlag(const std::string& section, const std::string& key, bool def) {
    return GetInt(section, key, def ? 1 : 0) != 0;
}

void TCustomIniFile::SetFlag(const std::string& section, const std::string& key, bool value) {
    SetText(section, key, value ? "1" : "0");
}

TDateTime TCustomIniFile::GetDate(const std::string& section, const std::string& key, TDateTime def) {
    return ParseOr(GetText(section, key, ""), Regional.Formats(), def, TextToDate);
}

TDateTime TCustomIniFile::GetDateTime(const std::string& section, const std::string& key, TDateTime def) {
    return ParseOr(GetText(section, key, ""), Regional.Formats(), def, TextToDateTime);
}

double TCustomIniFile::GetFloat(const std::string& section, const std::string& key, double def) {
    return ParseOr(GetText(section, key, ""), Regional.Formats(), def, TextToFloat);
}

TDateTime TCustomIniFile::GetTime(const std::string& section, const std::string& key, TDateTime def) {
    return ParseOr(GetText(section, key, ""), Regional.Formats(), def, TextToTime);
}

void TCustomIniFile::SetDate(const std::string& section, const std::string& key, TDateTime value) {
    SetText(section, key, DateToText(value, Regional.Formats()));
}

void TCustomIniFile::SetDateTime(const std::string& section, const std::string& key, TDateTime value) {
    SetText(section, key, DateTimeToText(value, Regional.Formats()));
}

void TCustomIniFile::SetFloat(const std::string& section, const std::string& key, double value) {
    SetText(section, key, FloatToText(value, Regional.Formats()));
}

void TCustomIniFile::SetTime(const std::string& section, const std::string& key, TDateTime value) {
    SetText(section, key, TimeToText(value, Regional.Formats()));
}

// ---- TMemIniFile ----

TMemIniFile::TMemIniFile(const std::string& fileName, const IRegionalFormats& regional)
    : TCustomIniFile(fileName, regional) {
    Reload();
}

TMemIniFile::~TMemIniFile() { ClearSections(); }

void TMemIniFile::Reload() {
    if (!FileName.empty() && FileExists(FileName))
        ParseLines(SplitIniText(ReadWholeFile(FileName)));
    else
        ClearSections();
}

void TMemIniFile::ParseLines(const TStringList& lines) {
    ClearSections();
    TStringList* current = nullptr;
    for (const std::string& line : lines) {
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[' && line.back() == ']' && line.size() >= 2) {
            current = &AddSection(line.substr(1, line.size() - 2));
        } else if (current) {
            current->push_back(line);
        }
    }
}

void TMemIniFile::GetLines(TStringList& target) const {
    for (const auto& section : Sections) {
        target.push_back("[" + section->Name + "]");
        target.insert(target.end(), section->Lines.begin(), section->Lines.end());
        target.emplace_back();
    }
}

TStringList& TMemIniFile::AddSection(const std::string& name) {
    Sections.push_back(std::make_unique<TSection>(TSection{name, {}}));
    return Sections.back()->Lines;
}

void TMemIniFile::ClearSections() { Sections.clear(); }

TMemIniFile::TSection* TMemIniFile::FindSection(const std::string& name) {
    for (const auto& section : Sections) {
        if (Regional.SameText(section->Name, name)) return section.get();
    }
    return nullptr;
}

int TMemIniFile::FindKey(const TSection& section, const std::string& key) const {
    for (size_t i = 0; i < section.Lines.size(); ++i) {
        const std::string& line = section.Lines[i];
        if (line.find('=') != std::string::npos && Regional.SameText(KeyOf(line), key)) return static_cast<int>(i);
    }
    return -1;
}

std::string TMemIniFile::GetText(const std::string& section, const std::string& key, const std::string& def) {
    const TSection* found = FindSection(section);
    if (!found) return def;
    const int at = FindKey(*found, key);
    return at < 0 ? def : found->Lines[at].substr(found->Lines[at].find('=') + 1);
}

void TMemIniFile::SetText(const std::string& section, const std::string& key, const std::string& text) {
    TSection* found = FindSection(section);
    TStringList& lines = found ? found->Lines : AddSection(section);
    const int at = found ? FindKey(*found, key) : -1;
    if (at >= 0)
        lines[at] = key + "=" + text;
    else
        lines.push_back(key + "=" + text);
}

void TMemIniFile::ListKeys(const std::string& section, TStringList& target) {
    target.clear();
    if (const TSection* found = FindSection(section)) {
        for (const std::string& line : found->Lines) target.push_back(KeyOf(line));
    }
}

void TMemIniFile::ListSections(TStringList& target) {
    target.clear();
    for (const auto& section : Sections) target.push_back(section->Name);
}

void TMemIniFile::ListSectionLines(const std::string& section, TStringList& target) {
    target.clear();
    if (const TSection* found = FindSection(section)) {
        target.insert(target.end(), found->Lines.begin(), found->Lines.end());
    }
}

void TMemIniFile::DropSection(const std::string& section) {
    for (auto it = Sections.begin(); it != Sections.end(); ++it) {
        if (Regional.SameText((*it)->Name, section)) {
            Sections.erase(it);
            return;
        }
    }
}

void TMemIniFile::DropKey(const std::string& section, const std::string& key) {
    TSection* found = FindSection(section);
    if (!found) return;
    const int at = FindKey(*found, key);
    if (at >= 0) found->Lines.erase(found->Lines.begin() + at);
}

void TMemIniFile::Flush() {
    TStringList lines;
    GetLines(lines);
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    TFile file(FileName, "wb");
    if (!file.get()) throw std::runtime_error("Cannot create file \"" + FileName + "\"");
    const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    if (!file.Close() || !written) throw std::runtime_error("Error writing file \"" + FileName + "\"");
}

}  // namespace quindle
