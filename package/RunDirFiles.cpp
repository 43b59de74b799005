// The run directory's file and folder routines. Used by the extraction routing and by
// the start-up sequence (reusing a run directory, starting an identical projector copy).
#include "package/RunDirFiles.h"

namespace quindle {
namespace {

// Offset of the last character's first byte, double-byte characters taken as one;
// npos for an empty text.
size_t LastCharStart(IRunDirFiles& files, const std::string& text) {
    size_t last = std::string::npos;
    for (size_t i = 0; i < text.size();) {
        last = i;
        i += files.IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    }
    return last;
}

bool EndsInBackslash(IRunDirFiles& files, const std::string& path) {
    const size_t last = LastCharStart(files, path);
    return last != std::string::npos && last == path.size() - 1 && path[last] == '\\';
}

// The path up to and including its last "\" or ":", trail bytes of double-byte
// characters not counting as either.
std::string ParentOf(IRunDirFiles& files, const std::string& path) {
    size_t cut = 0;
    for (size_t i = 0; i < path.size();) {
        if (files.IsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
            i += 2;
            continue;
        }
        if (path[i] == '\\' || path[i] == ':') cut = i + 1;
        ++i;
    }
    return path.substr(0, cut);
}

}  // namespace

std::string WithTrailingBackslash(IRunDirFiles& files, const std::string& path) {
    return path.empty() || EndsInBackslash(files, path) ? path : path + "\\";
}

void ForceFolders(IRunDirFiles& files, const std::string& path) {
    std::string folder = path;
    if (EndsInBackslash(files, folder)) folder.pop_back();
    if (folder.size() <= 2 || files.FolderExists(folder)) return;
    const std::string parent = ParentOf(files, folder);
    if (parent == folder) return;
    ForceFolders(files, parent);
    files.CreateFolder(folder);
}

bool RunDirIdle(IRunDirFiles& files, const std::string& path) {
    // "C:\x\Run\" would match nothing and so read as idle: look at the folder itself.
    std::string pattern = path;
    if (EndsInBackslash(files, pattern)) pattern.pop_back();
    const std::string folderPart = ParentOf(files, pattern);
    for (const TDirEntry& entry : files.FindEntries(pattern)) {
        if (entry.Name.empty() || entry.Name[0] == '.') continue;
        const bool idle = entry.IsFolder ? RunDirIdle(files, folderPart + entry.Name + "\\*.*")
                                         : files.FileUnlocked(folderPart + entry.Name);
        if (!idle) return false;
    }
    return true;
}

bool SameFileContents(IRunDirFiles& files, const std::string& pathA, const std::string& pathB) {
    return files.LoadFileText(pathA) == files.LoadFileText(pathB);
}

}  // namespace quindle
