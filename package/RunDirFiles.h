// The run directory's file and folder routines that surround extraction: creating a
// folder path, telling whether anything below a folder is in use, comparing files.
// The file system sits behind IRunDirFiles (Win32 in package/win32/, fakes in tests).
#pragma once

#include <string>
#include <vector>

#include "base/Text.h"

namespace quindle {

struct TDirEntry {
    std::string Name;
    bool IsFolder = false;
};

// Paths are the runner's Windows-style strings; the code page tells where a
// double-byte character's trail byte looks like a "\".
class IRunDirFiles : public ILeadBytes {
public:
    virtual ~IRunDirFiles() = default;
    // The system reports attributes for path that include the directory attribute.
    virtual bool FolderExists(const std::string& path) = 0;
    // One level; errors (an existing folder, a missing parent) are ignored.
    virtual void CreateFolder(const std::string& path) = 0;
    // True only when this call made the folder (false when it was there already).
    virtual bool CreateOwnFolder(const std::string& path) = 0;
    // Removes the folder when it is empty.
    virtual bool RemoveEmptyFolder(const std::string& path) = 0;
    virtual bool FileExists(const std::string& path) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
    // The file opens for reading and writing with no sharing (it is closed at once).
    virtual bool FileUnlocked(const std::string& path) = 0;
    // The whole file, read with full sharing; empty when it cannot be opened.
    virtual std::string LoadFileText(const std::string& path) = 0;
    // Entries matching pattern (a path, or a folder + "*.*"), of every attribute kind.
    virtual std::vector<TDirEntry> FindEntries(const std::string& pattern) = 0;
};

// Creates every missing folder along path; a bare drive ("C:") is never created.
// Creation errors are ignored: a missing folder shows up when a file is written there.
void ForceFolders(IRunDirFiles& files, const std::string& path);

// True when no file below the folder path is in use (also when nothing matched).
bool RunDirIdle(IRunDirFiles& files, const std::string& path);

// Removes everything below folder (given with its trailing backslash) and the folder
// itself; for a folder the caller created and filled alone.
void RemoveOwnFolder(IRunDirFiles& files, const std::string& folder);

// Byte-for-byte equal contents; a file that cannot be opened reads as empty.
bool SameFileContents(IRunDirFiles& files, const std::string& pathA, const std::string& pathB);

}  // namespace quindle
