// The run directory's life: choosing and creating it under the runners' mutex, and
// removing it with everything the session left, with bounded retries.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "package/ExtractionRouting.h"
#include "package/RunDirFiles.h"

namespace quindle {

struct TRunDirChoice {
    std::string RunDir;  // without a trailing backslash
    int32_t RunNumber = 0;
};

// Creates TempBase + "Qgl_Rt" (+ number). An existing folder whose files are all free is
// the remains of an ended session: it is deleted and the name reused; one in use, or one
// that cannot be deleted, moves on to the next number. Throws "Can't create dir " + path.
// A number that numberTaken reports as held by a live session (of any temporary
// folder) is passed over without touching its folder.
TRunDirChoice ChooseRunDirectory(IRunDirFiles& files, const std::string& tempBase,
                                 const std::function<bool(int32_t runNumber)>& numberTaken = nullptr);

// ShellDelete flags for a delete that asks nothing and shows nothing:
// FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI.
constexpr unsigned kQuietDelete = 0x0414;

// SHFileOperation FO_DELETE of a path or pattern with the given flags; true when it reported success.
bool ShellDelete(const std::string& pathOrPattern, unsigned flags);

// Removes the run directory (given with its trailing backslash): RemoveDirectory, else
// a shell delete repeated for up to 1111 ms, else once more into the Recycle Bin.
void RemoveRunDirectory(const std::string& runDir);

// Deletes a file, up to attempts tries with a 111 ms pause after each failure.
bool DeleteFileRetrying(const std::string& path, int attempts);

// The files in the tool folders, the tool folders, then the tool files, each list last
// to first.
void RemoveToolFiles(const TRoutingRecord& extracted);

// Each tag folder below destinationDir, deepest level first; failures ignored.
void RemoveToolFolders(const std::string& destinationDir, const std::vector<std::string>& tagFolders);

}  // namespace quindle
