// Names of one session's objects. Used by the start-up sequence.
#include "runner/SessionNames.h"

#include "contract/ControlBlock.h"

namespace quindle {

std::string RunDirFor(const std::string& tempBase, int32_t runNumber) {
    return tempBase + kRunDirStem + (runNumber ? std::to_string(runNumber) : std::string());
}

}  // namespace quindle
