// Text as the runner sees it: bytes in the Windows ANSI code page the presentation
// targets. The tool's own text (arguments, output) is UTF-8; these convert between the two.
#pragma once

#include <memory>
#include <string>

#include "base/Text.h"

namespace quindle::pack {

constexpr int kDefaultCodePage = 1252;

// Length of the UTF-8 character at offset i of text; 0 when none starts there.
size_t Utf8CharacterLength(const std::string& text, size_t i);

// Throws EUsageError unless the host can convert to and from codePage.
void RequireCodePage(int codePage);

// The UTF-8 text in codePage. A character the code page cannot hold exactly (no
// best-fit substitutes) is refused with a EUsageError that names it.
std::string EncodeForCodePage(const std::string& utf8, int codePage);

// The same, with what names the text in the refusal ("file name x.txt: ...").
std::string EncodeForCodePage(const std::string& utf8, int codePage, const std::string& what);

// Which bytes open a double-byte character in codePage (none in a single-byte one).
std::unique_ptr<ILeadBytes> CodePageLeadBytes(int codePage);

// codePage bytes as UTF-8; a byte the code page leaves undefined becomes U+FFFD.
std::string DecodeFromCodePage(const std::string& bytes, int codePage);

}  // namespace quindle::pack
