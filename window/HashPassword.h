// The password hash a project ini carries as AlignmentX; the runner compares, the
// packaging tool produces it.
#pragma once

#include <cstdint>
#include <string>

namespace quindle {

// A value below 429,496,729. Characters of code 0 to 32 around the text do not count.
uint32_t HashPassword(const std::string& text);

// The part of the text the hash covers: without the characters of code 0 to 32 around it.
std::string TrimPassword(const std::string& text);

}  // namespace quindle
