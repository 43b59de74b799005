// FILETIME as ISO 8601 UTC text, for listings.
#pragma once

#include <cstdint>
#include <string>

namespace quindle::pack {

// "2023-05-01T12:34:56Z", with seven fraction digits when the time has them.
std::string FileTimeToIso8601(uint64_t fileTime);

}  // namespace quindle::pack
