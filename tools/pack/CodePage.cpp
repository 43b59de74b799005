// Code page conversion: iconv on POSIX hosts, the system's own tables on Windows.
// Both refuse what the code page cannot hold rather than substituting a look-alike,
// since a substitute would hash as a different password.
#include "tools/pack/CodePage.h"

#include <vector>

#include "tools/pack/CommandLine.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#endif

namespace quindle::pack {

namespace {

// The UTF-8 text split into its characters; bad use when it is not UTF-8.
std::vector<std::string> Characters(const std::string& utf8) {
    std::vector<std::string> characters;
    for (size_t i = 0; i < utf8.size();) {
        const size_t n = Utf8CharacterLength(utf8, i);
        if (n == 0) throw EUsageError("text is not valid UTF-8");
        characters.push_back(utf8.substr(i, n));
        i += n;
    }
    return characters;
}

[[noreturn]] void RefuseCharacter(const std::string& character, int codePage) {
    throw EUsageError("'" + character + "' has no place in code page " + std::to_string(codePage));
}

class TLeadByteTable : public ILeadBytes {
public:
    bool IsLeadByte(unsigned char c) const override { return lead[c]; }
    bool lead[256] = {};
};

// Filled by the host's own test of each byte; see CodePageLeadBytes below.
bool HostIsLeadByte(int codePage, unsigned char c);

}  // namespace

size_t Utf8CharacterLength(const std::string& text, size_t i) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const size_t n = lead < 0x80                    ? 1
                     : lead >= 0xC2 && lead <= 0xDF ? 2
                     : lead >= 0xE0 && lead <= 0xEF ? 3
                     : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                    : 0;
    if (n == 0 || i + n > text.size()) return 0;
    for (size_t j = 1; j < n; ++j)
        if ((static_cast<unsigned char>(text[i + j]) & 0xC0) != 0x80) return 0;
    return n;
}

std::string EncodeForCodePage(const std::string& utf8, int codePage, const std::string& what) {
    try {
        return EncodeForCodePage(utf8, codePage);
    } catch (const EUsageError& e) {
        throw EUsageError(what + ": " + e.what());
    }
}

std::unique_ptr<ILeadBytes> CodePageLeadBytes(int codePage) {
    auto table = std::make_unique<TLeadByteTable>();
    for (int c = 0x80; c < 0x100; ++c) table->lead[c] = HostIsLeadByte(codePage, static_cast<unsigned char>(c));
    return table;
}

#ifdef _WIN32

namespace {

std::wstring Wide(const std::string& text, UINT codePage, DWORD flags) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(codePage, flags, text.data(), int(text.size()), nullptr, 0);
    if (n <= 0) throw EUsageError("text is not valid in code page " + std::to_string(codePage));
    std::wstring wide(size_t(n), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), int(text.size()), &wide[0], n);
    return wide;
}

// Returns false when the code page had to use its default character.
bool Narrow(const std::wstring& wide, UINT codePage, std::string& out) {
    out.clear();
    if (wide.empty()) return true;
    const bool utf8 = codePage == CP_UTF8;
    BOOL usedDefault = FALSE;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int n = WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), nullptr, 0, nullptr,
                                      utf8 ? nullptr : &usedDefault);
    if (n <= 0) return false;
    out.resize(size_t(n));
    WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), &out[0], n, nullptr,
                        utf8 ? nullptr : &usedDefault);
    return !usedDefault;
}

}  // namespace

namespace {
bool HostIsLeadByte(int codePage, unsigned char c) { return IsDBCSLeadByteEx(UINT(codePage), c) != FALSE; }
}  // namespace

void RequireCodePage(int codePage) {
    if (codePage <= 0 || codePage == CP_UTF8 || !IsValidCodePage(UINT(codePage)))
        throw EUsageError("code page " + std::to_string(codePage) + " is not available");
}

std::string EncodeForCodePage(const std::string& utf8, int codePage) {
    RequireCodePage(codePage);
    std::string out, bytes;
    for (const std::string& character : Characters(utf8)) {
        if (!Narrow(Wide(character, CP_UTF8, MB_ERR_INVALID_CHARS), UINT(codePage), bytes))
            RefuseCharacter(character, codePage);
        out += bytes;
    }
    return out;
}

std::string DecodeFromCodePage(const std::string& bytes, int codePage) {
    RequireCodePage(codePage);
    std::string out;
    Narrow(Wide(bytes, UINT(codePage), 0), CP_UTF8, out);
    return out;
}

#else

namespace {

std::string IconvName(int codePage) { return "CP" + std::to_string(codePage); }

// One conversion direction; stateless code pages only, so every call starts afresh.
class TConverter {
public:
    TConverter(const std::string& to, const std::string& from) : cd_(iconv_open(to.c_str(), from.c_str())) {}
    ~TConverter() {
        if (Open()) iconv_close(cd_);
    }
    TConverter(const TConverter&) = delete;
    TConverter& operator=(const TConverter&) = delete;
    bool Open() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts in; at a byte it cannot convert, appends replacement (or fails when it is
    // empty) and goes on after that byte.
    bool Convert(const std::string& in, std::string& out, const char* replacement = nullptr) {
        out.clear();
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* next = const_cast<char*>(in.data());
        size_t left = in.size();
        char buffer[256];
        while (left > 0) {
            char* put = buffer;
            size_t room = sizeof buffer;
            const size_t result = iconv(cd_, &next, &left, &put, &room);
            out.append(buffer, size_t(put - buffer));
            if (result != size_t(-1) || errno == E2BIG) continue;
            if (!replacement) return false;
            out += replacement;
            ++next;
            --left;
        }
        return true;
    }

private:
    iconv_t cd_;
};

}  // namespace

namespace {

// A lead byte alone is an incomplete character: iconv stops at it asking for more.
bool HostIsLeadByte(int codePage, unsigned char c) {
    const iconv_t cd = iconv_open("UTF-8", IconvName(codePage).c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    char in = char(c), out[8];
    char* next = &in;
    char* put = out;
    size_t left = 1, room = sizeof out;
    const bool incomplete = iconv(cd, &next, &left, &put, &room) == size_t(-1) && errno == EINVAL;
    iconv_close(cd);
    return incomplete;
}

}  // namespace

void RequireCodePage(int codePage) {
    TConverter probe(IconvName(codePage), "UTF-8");
    if (codePage <= 0 || codePage == 65001 || !probe.Open())
        throw EUsageError("code page " + std::to_string(codePage) + " is not available");
}

std::string EncodeForCodePage(const std::string& utf8, int codePage) {
    RequireCodePage(codePage);
    TConverter to(IconvName(codePage), "UTF-8"), back("UTF-8", IconvName(codePage));
    std::string out, bytes, again;
    for (const std::string& character : Characters(utf8)) {
        // iconv maps some characters one way only (U+00A5 to a backslash in 932): only a
        // character that comes back unchanged is held by the code page itself.
        if (!to.Convert(character, bytes) || !back.Convert(bytes, again) || again != character)
            RefuseCharacter(character, codePage);
        out += bytes;
    }
    return out;
}

std::string DecodeFromCodePage(const std::string& bytes, int codePage) {
    RequireCodePage(codePage);
    TConverter from("UTF-8", IconvName(codePage));
    std::string out;
    from.Convert(bytes, out, "\xEF\xBF\xBD");
    return out;
}

#endif

}  // namespace quindle::pack
