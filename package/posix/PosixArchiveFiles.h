// POSIX file access for the extractor, used by native tests and quindle-pack.
// Every "\" in a path is taken as a separator.
#pragma once

#include "package/ArchiveFiles.h"

namespace quindle {

class TPosixArchiveFileSystem : public IArchiveFileSystem {
public:
    std::unique_ptr<IArchiveReader> OpenArchive(const std::string& path) override;
    std::unique_ptr<IArchiveWriter> CreateExclusive(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    std::string OwnExecutablePath() override;
    // Names here are UTF-8 or single-byte: no byte opens a double-byte character.
    bool IsLeadByte(unsigned char) const override { return false; }
};

// The path with every "\" turned into "/".
std::string PosixPath(std::string path);

// FILETIME (100 ns since 1601) and POSIX time (seconds and nanoseconds since 1970).
constexpr int64_t kFileTimeUnixEpoch = 116444736000000000LL;
void FileTimeToUnix(uint64_t fileTime, int64_t& seconds, long& nanoseconds);
uint64_t UnixToFileTime(int64_t seconds, long nanoseconds);

}  // namespace quindle
