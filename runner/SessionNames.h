// Names of one session's objects, derived from the run directory's number so that
// runners sharing a temporary folder never meet.
#pragma once

#include <cstdint>
#include <string>

namespace quindle {

// TempBase + "Qgl_Rt", followed by the number unless it is 0.
std::string RunDirFor(const std::string& tempBase, int32_t runNumber);

// path + "\" unless path is empty or ends in "\" already.
std::string WithBackslash(const std::string& path);

// The folder part of a path, with its trailing "\" ("" when there is none).
std::string FolderPart(const std::string& path);

// TempBase from the registry's "Zantic Temp Directory" (when present) or the system's
// temporary path; a trailing backslash is added, an empty value stays empty.
std::string TempBaseFrom(const std::string* registryValue, const std::string& systemTempPath);

}  // namespace quindle
