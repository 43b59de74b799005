// The proof that a show packed with a password asks for it: the written file read back
// through the runner's own settings pass, as the runner reads its own executable.
#pragma once

#include <cstdint>
#include <string>

namespace quindle::pack {

// Throws std::runtime_error unless the show at path asks for a password whose hash is hash.
void CheckPasswordReadsBack(const std::string& path, uint32_t hash);

}  // namespace quindle::pack
