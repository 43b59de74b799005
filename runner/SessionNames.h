// Names of one session's objects, derived from the run directory's number so that
// runners sharing a temporary folder never meet.
#pragma once

#include <cstdint>
#include <string>

namespace quindle {

// TempBase + "Qgl_Rt", followed by the number unless it is 0.
std::string RunDirFor(const std::string& tempBase, int32_t runNumber);

}  // namespace quindle
