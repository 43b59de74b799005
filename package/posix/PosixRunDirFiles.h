// The run directory's file system on POSIX, for native tests and tools: every "\" in a
// path is a separator. Files are never locked here, so FileUnlocked only asks whether
// the file opens for reading and writing.
#pragma once

#include "package/RunDirFiles.h"

namespace quindle {

class TPosixRunDirFiles : public IRunDirFiles {
public:
    bool FolderExists(const std::string& path) override;
    void CreateFolder(const std::string& path) override;
    bool CreateOwnFolder(const std::string& path) override;
    bool RemoveEmptyFolder(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    bool FileUnlocked(const std::string& path) override;
    std::string LoadFileText(const std::string& path) override;
    std::vector<TDirEntry> FindEntries(const std::string& pattern) override;
    bool IsLeadByte(unsigned char) const override { return false; }
};

}  // namespace quindle
