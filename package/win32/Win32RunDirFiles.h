// The run directory's file system on Windows, for the routing and the start-up sequence.
#pragma once

#include "package/RunDirFiles.h"

namespace quindle {

class TWin32RunDirFiles : public IRunDirFiles {
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
    bool IsLeadByte(unsigned char c) const override;
};

}  // namespace quindle
