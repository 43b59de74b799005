// Text as the runner sees it: bytes in the Windows ANSI code page the presentation
// targets. The tool's own text (arguments, output) is UTF-8; these convert between the two.
#pragma once

#include <string>

namespace quindle::pack {

constexpr int kDefaultCodePage = 1252;

// Throws EUsageError unless the host can convert to and from codePage.
void RequireCodePage(int codePage);

// The UTF-8 text in codePage. A character the code page cannot hold exactly (no
// best-fit substitutes) is refused with a EUsageError that names it.
std::string EncodeForCodePage(const std::string& utf8, int codePage);

// codePage bytes as UTF-8; a byte the code page leaves undefined becomes U+FFFD.
std::string DecodeFromCodePage(const std::string& bytes, int codePage);

}  // namespace quindle::pack
