// Tool folders: before the projector starts, every tool folder made by the extraction
// gets its tool program ("Q" + name + ".EXE", named by the folder's qtools.ini) and the
// program's satellite files copied in from the run directory, so that it holds a
// complete copy of the tool beside the movie. Each copy is recorded for removal.
#pragma once

#include "package/ExtractionRouting.h"

#include <string>
#include <vector>

namespace quindle {

// The file operations tool-folder preparation needs (Win32 in commands/win32).
class IToolFolderFiles {
public:
    virtual ~IToolFolderFiles() = default;
    // The whole file; false when it cannot be opened.
    virtual bool ReadFile(const std::string& path, std::string& bytes) = 0;
    // Overwrites an existing file; a failed copy only leaves the file missing.
    virtual void CopyOver(const std::string& from, const std::string& to) = 0;
    // The system's locale-dependent upper-casing.
    virtual std::string UpperCase(const std::string& text) = 0;
};

// toolFolders: each tool folder the extraction made (with its trailing "\"), visited
// last to first; every file copied is appended to toolFolderFiles, so that shut-down
// removes it before the folder. runDir ends in "\". A qtools.ini that cannot be opened
// throws "Cannot open file " + path, an empty one "List index out of bounds (0)"
// (std::runtime_error; the copies made before stay recorded).
void PrepareToolFolders(IToolFolderFiles& files, const std::string& runDir, const std::vector<std::string>& toolFolders,
                        std::vector<std::string>& toolFolderFiles, const std::vector<TToolFile>& toolFiles);

// The tool name from a qtools.ini's first line "[" + name + "]"; empty when the line
// is not of that form or the name is empty.
std::string ToolNameOfLine(const std::string& firstLine);

}  // namespace quindle
