// Writes the password switch and hash into a project ini's text, leaving every other
// byte (comments, line ends, other keys) as the author wrote it.
#pragma once

#include <cstdint>
#include <string>

namespace quindle::pack {

// Password=1 and AlignmentX=hash in the first [Settings] section, replacing the first
// line of each key the runner would read, else added after the section header; a
// missing section is appended.
std::string SetPasswordHash(const std::string& iniBytes, uint32_t hash);

}  // namespace quindle::pack
