// Text rules shared by every layer.
#include "base/Text.h"

#include <utility>

namespace quindle {

namespace {

class TSingleByte final : public ILeadBytes {
public:
    bool IsLeadByte(unsigned char) const override { return false; }
};

}  // namespace

std::string LowerAscii(std::string text) { return LowerAscii(std::move(text), SingleByteCodePage()); }

std::string LowerAscii(std::string text, const ILeadBytes& codePage) {
    for (size_t i = 0; i < text.size(); ++i) {
        char& c = text[i];
        if (codePage.IsLeadByte(static_cast<unsigned char>(c)))
            ++i;
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool SameTextAscii(const std::string& a, const std::string& b) {
    return a.size() == b.size() && LowerAscii(a) == LowerAscii(b);
}

std::string FileNamePart(const std::string& path) {
    const auto cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string FolderPart(const std::string& path) {
    const auto cut = path.find_last_of("\\:");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

const ILeadBytes& SingleByteCodePage() {
    static const TSingleByte codePage;
    return codePage;
}

size_t LastCharStart(const std::string& text, const ILeadBytes& codePage) {
    size_t last = std::string::npos;
    for (size_t i = 0; i < text.size();) {
        last = i;
        i += codePage.IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    }
    return last;
}

bool EndsInBackslash(const std::string& path, const ILeadBytes& codePage) {
    const size_t last = LastCharStart(path, codePage);
    return last != std::string::npos && last == path.size() - 1 && path[last] == '\\';
}

std::string WithTrailingBackslash(const std::string& path, const ILeadBytes& codePage) {
    return path.empty() || EndsInBackslash(path, codePage) ? path : path + "\\";
}

std::string WithoutTrailingBackslash(const std::string& path, const ILeadBytes& codePage) {
    return EndsInBackslash(path, codePage) ? path.substr(0, path.size() - 1) : path;
}

std::string ParentOf(const std::string& path, const ILeadBytes& codePage) {
    size_t cut = 0;
    for (size_t i = 0; i < path.size();) {
        if (codePage.IsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
            i += 2;
            continue;
        }
        if (path[i] == '\\' || path[i] == ':') cut = i + 1;
        ++i;
    }
    return path.substr(0, cut);
}

}  // namespace quindle
