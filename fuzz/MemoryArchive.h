// The extractor's file seam over the fuzzer's input bytes. Written files are counted,
// not kept, so a huge entry costs no memory; the checks after each run read the
// record of what was created, finished and deleted.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "package/ArchiveFiles.h"

namespace quindle::fuzz {

struct TWrittenFile {
    uint64_t bytes = 0;
    bool finished = false;  // its last-write time was set
};

class TMemoryArchive : public IArchiveFileSystem {
public:
    TMemoryArchive(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    std::unique_ptr<IArchiveReader> OpenArchive(const std::string& path) override;
    std::unique_ptr<IArchiveWriter> CreateExclusive(const std::string& path) override;
    bool RemoveFile(const std::string& path) override { return files.erase(path) == 1; }
    std::string OwnExecutablePath() override { return "own.exe"; }
    bool IsLeadByte(unsigned char) const override { return false; }

    std::map<std::string, TWrittenFile> files;  // files present now
    std::map<std::string, int> created;         // every path ever created
    int openWriters = 0;

private:
    const uint8_t* data_;
    size_t size_;
};

}  // namespace quindle::fuzz
