// The run directory's file and folder routines. Used by the extraction routing and by
// the start-up sequence (reusing a run directory, starting an identical projector copy).
#include "package/RunDirFiles.h"

namespace quindle {
void ForceFolders(IRunDirFiles& files, const std::string& path) {
    std::string folder = path;
    if (EndsInBackslash(folder, files)) folder.pop_back();
    if (folder.size() <= 2 || files.FolderExists(folder)) return;
    const std::string parent = ParentOf(folder, files);
    if (parent == folder) return;
    ForceFolders(files, parent);
    files.CreateFolder(folder);
}

bool RunDirIdle(IRunDirFiles& files, const std::string& path) {
    // "C:\x\Run\" would match nothing and so read as idle: look at the folder itself.
    std::string pattern = path;
    if (EndsInBackslash(pattern, files)) pattern.pop_back();
    const std::string folderPart = ParentOf(pattern, files);
    for (const TDirEntry& entry : files.FindEntries(pattern)) {
        if (entry.Name.empty() || entry.Name[0] == '.') continue;
        const bool idle = entry.IsFolder ? RunDirIdle(files, folderPart + entry.Name + "\\*.*")
                                         : files.FileUnlocked(folderPart + entry.Name);
        if (!idle) return false;
    }
    return true;
}

void RemoveOwnFolder(IRunDirFiles& files, const std::string& folder) {
    for (const TDirEntry& entry : files.FindEntries(folder + "*.*")) {
        if (entry.Name == "." || entry.Name == "..") continue;
        if (entry.IsFolder)
            RemoveOwnFolder(files, folder + entry.Name + "\\");
        else
            files.RemoveFile(folder + entry.Name);
    }
    files.RemoveEmptyFolder(WithoutTrailingBackslash(folder, files));
}

bool SameFileContents(IRunDirFiles& files, const std::string& pathA, const std::string& pathB) {
    return files.LoadFileText(pathA) == files.LoadFileText(pathB);
}

}  // namespace quindle
