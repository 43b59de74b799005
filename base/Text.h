// Text rules shared by every layer: ASCII case folding as the runner compares its own
// names, file-name and folder parts of Windows paths, and the trailing-backslash rule,
// which must not mistake the trail byte of a double-byte character for a "\".
#pragma once

#include <cstddef>
#include <string>

namespace quindle {

// ASCII lower-casing, as the runner compares its own names.
std::string LowerAscii(std::string text);

// Equal but for the letter case of ASCII letters.
bool SameTextAscii(const std::string& a, const std::string& b);

// The file-name part of a path (after the last "\", "/" or ":").
std::string FileNamePart(const std::string& path);

// The folder part of a path, with its trailing "\" or ":" ("" when there is none).
std::string FolderPart(const std::string& path);

// Which bytes begin a double-byte character in the system's ANSI code page.
class ILeadBytes {
public:
    virtual ~ILeadBytes() = default;
    virtual bool IsLeadByte(unsigned char c) const = 0;
};

// ASCII lower-casing of a name in codePage: the trail byte of a double-byte character
// is kept as it is even where it falls among "A" to "Z" (ア is 83 41 in code page 932).
std::string LowerAscii(std::string text, const ILeadBytes& codePage);

// A single-byte code page: no byte leads.
const ILeadBytes& SingleByteCodePage();

// Offset of the last character's first byte, double-byte characters taken as one;
// npos for an empty text.
size_t LastCharStart(const std::string& text, const ILeadBytes& codePage);

// The last character of path is a "\" (not the trail byte of a double-byte character).
bool EndsInBackslash(const std::string& path, const ILeadBytes& codePage = SingleByteCodePage());

// path + "\" unless it is empty or ends in "\" already.
std::string WithTrailingBackslash(const std::string& path, const ILeadBytes& codePage = SingleByteCodePage());

// path without its one trailing "\", if it has one.
std::string WithoutTrailingBackslash(const std::string& path, const ILeadBytes& codePage = SingleByteCodePage());

// The path up to and including its last "\" or ":", trail bytes of double-byte
// characters not counting as either.
std::string ParentOf(const std::string& path, const ILeadBytes& codePage);

}  // namespace quindle
