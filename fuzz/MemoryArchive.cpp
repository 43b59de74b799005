// In-memory archive reader and counting writers for the fuzzer.
#include "fuzz/MemoryArchive.h"

#include <algorithm>
#include <cstring>

namespace quindle::fuzz {

namespace {

class TMemoryReader : public IArchiveReader {
public:
    TMemoryReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint64_t Size() override { return size_; }
    void Seek(uint64_t position) override { position_ = position; }
    size_t Read(void* buffer, size_t count) override {
        if (position_ >= size_) return 0;
        const size_t n = size_t(std::min<uint64_t>(count, size_ - position_));
        std::memcpy(buffer, data_ + position_, n);
        position_ += n;
        return n;
    }

private:
    const uint8_t* data_;
    size_t size_;
    uint64_t position_ = 0;
};

class TMemoryWriter : public IArchiveWriter {
public:
    TMemoryWriter(TWrittenFile& file, int& open) : file_(file), open_(open) { ++open_; }
    ~TMemoryWriter() override { --open_; }
    void Write(const void*, size_t count) override { file_.bytes += count; }
    bool SetLastWriteTime(uint64_t) override {
        file_.finished = true;
        return true;
    }

private:
    TWrittenFile& file_;
    int& open_;
};

}  // namespace

std::unique_ptr<IArchiveReader> TMemoryArchive::OpenArchive(const std::string&) {
    return std::make_unique<TMemoryReader>(data_, size_);
}

std::unique_ptr<IArchiveWriter> TMemoryArchive::CreateExclusive(const std::string& path) {
    ++created[path];
    files[path] = TWrittenFile();
    return std::make_unique<TMemoryWriter>(files[path], openWriters);
}

}  // namespace quindle::fuzz
