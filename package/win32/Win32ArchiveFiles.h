// Win32 file access for the extractor: the archive shared for reading and writing
// with other processes, destination files opened exclusively, SetFileTime.
#pragma once

#include "package/ArchiveFiles.h"

namespace quindle {

class TWin32ArchiveFileSystem : public IArchiveFileSystem {
public:
    std::unique_ptr<IArchiveReader> OpenArchive(const std::string& path) override;
    std::unique_ptr<IArchiveWriter> CreateExclusive(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    std::string OwnExecutablePath() override;
    bool IsLeadByte(unsigned char c) const override;
};

}  // namespace quindle
