// Creating and removing the run directory. Used by the start-up sequence and its clean-up.
#include "runner/win32/RunDirectory.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <stdexcept>

#include "base/Timing.h"
#include "base/win32/SystemCodePage.h"
#include "runner/SessionNames.h"

namespace quindle {

namespace {

// A tool file in use is tried this often, a settling pause apart.
constexpr int kToolFileDeleteAttempts = 22;

static_assert(kQuietDelete == (FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI), "quiet delete flags");

bool FolderExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool ShellDelete(const std::string& pathOrPattern, unsigned flags) {
    std::string from = pathOrPattern;
    from.push_back('\0');  // the list ends with an extra NUL
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = static_cast<FILEOP_FLAGS>(flags);
    return ::SHFileOperationA(&operation) == 0;
}

TRunDirChoice ChooseRunDirectory(IRunDirFiles& files, const std::string& tempBase,
                                 const std::function<bool(int32_t runNumber)>& numberTaken) {
    TRunDirChoice choice{RunDirFor(tempBase, 0), 0};
    for (;;) {
        if (numberTaken && numberTaken(choice.RunNumber)) {
            ++choice.RunNumber;
            choice.RunDir = RunDirFor(tempBase, choice.RunNumber);
            continue;
        }
        if (::CreateDirectoryA(choice.RunDir.c_str(), nullptr)) return choice;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("Can't create dir " + choice.RunDir);
        // A shell delete may report success while the folder lives on until some process
        // ends; only a folder that is really gone is taken again, so the loop always moves.
        if (RunDirIdle(files, choice.RunDir) && ShellDelete(choice.RunDir, kQuietDelete) &&
            !FolderExists(choice.RunDir)) {
            continue;
        }
        ++choice.RunNumber;
        choice.RunDir = RunDirFor(tempBase, choice.RunNumber);
    }
}

void RemoveRunDirectory(const std::string& runDir) {
    const std::string dir = WithoutTrailingBackslash(runDir, SystemCodePage());
    if (::RemoveDirectoryA(dir.c_str())) return;
    const DWORD start = ::GetTickCount();
    bool deleted = false;
    for (;;) {
        deleted = ShellDelete(dir, kQuietDelete);
        if (deleted) break;
        ::Sleep(kSettleMs);
        const long elapsed = std::labs(static_cast<long>(::GetTickCount() - start));
        if (elapsed >= static_cast<long>(kRunDirDeleteLimitMs)) break;
    }
    if (!deleted) ShellDelete(dir, kQuietDelete | FOF_ALLOWUNDO);
}

bool DeleteFileRetrying(const std::string& path, int attempts) {
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (::DeleteFileA(path.c_str())) return true;
        ::Sleep(kSettleMs);
    }
    return false;
}

void RemoveToolFiles(const TRoutingRecord& extracted) {
    // The files in each tool folder first, so that the folders are empty when they go.
    for (auto it = extracted.ToolFolderFiles.rbegin(); it != extracted.ToolFolderFiles.rend(); ++it)
        DeleteFileRetrying(*it, kToolFileDeleteAttempts);
    for (auto it = extracted.ToolFolders.rbegin(); it != extracted.ToolFolders.rend(); ++it)
        ::RemoveDirectoryA(WithoutTrailingBackslash(*it, SystemCodePage()).c_str());
    for (auto it = extracted.ToolFiles.rbegin(); it != extracted.ToolFiles.rend(); ++it)
        DeleteFileRetrying(it->Path, kToolFileDeleteAttempts);
}

void RemoveToolFolders(const std::string& destinationDir, const std::vector<std::string>& tagFolders) {
    for (auto it = tagFolders.rbegin(); it != tagFolders.rend(); ++it) {
        std::string relative = WithoutTrailingBackslash(*it, SystemCodePage());
        while (!relative.empty()) {
            ::RemoveDirectoryA((destinationDir + relative).c_str());
            const auto cut = relative.find_last_of('\\');
            relative = cut == std::string::npos ? std::string() : relative.substr(0, cut);
        }
    }
}

}  // namespace quindle
