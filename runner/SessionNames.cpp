// Names of one session's objects. Used by the start-up sequence.
#include "runner/SessionNames.h"

#include "runner/ControlBlock.h"

namespace quindle {

std::string RunDirFor(const std::string& tempBase, int32_t runNumber) {
    return tempBase + kRunDirStem + (runNumber ? std::to_string(runNumber) : std::string());
}

std::string WithBackslash(const std::string& path) {
    return path.empty() || path.back() == '\\' ? path : path + "\\";
}

std::string FolderPart(const std::string& path) {
    const auto cut = path.find_last_of("\\:");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string TempBaseFrom(const std::string* registryValue, const std::string& systemTempPath) {
    return WithBackslash(registryValue ? *registryValue : systemTempPath);
}

}  // namespace quindle
