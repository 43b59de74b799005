// Inflates a compressed entry at once with libdeflate, several times as fast as zlib's
// streaming inflate over the same zlib streams. libdeflate works on whole buffers
// only, so this takes entries up to a limit and keeps memory bounded by it whatever
// the session's size; larger entries stream through zlib. It proves as much as the
// streaming path: success means the zlib stream ends, its Adler-32 checked, within the
// stored bytes after exactly Size bytes. On failure the streaming path reads the entry
// again and names the fault.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

struct libdeflate_decompressor;

namespace quindle {

class TArchiveCursor;
struct TEntryHeaderInfo;

// Entries of at most this many bytes, with stored data not much longer, are inflated
// whole. The output buffer grows to the largest such entry of an extraction; stored
// data of 1 MiB or more is read through a mapping of the archive where the system
// gives one (file pages, not private memory), else copied into a buffer that grows
// the same way. So an extraction's private memory stays below this limit plus 1 MiB
// (twice the limit where nothing can be mapped), plus its streaming buffers.
constexpr uint32_t kWholeEntryLimit = 32u << 20;

// A buffer that grows to the largest size asked of it, without clearing what it adds.
class TGrowingBuffer {
public:
    uint8_t* Reserve(size_t size);
    uint8_t* Data() const { return data_.get(); }

private:
    std::unique_ptr<uint8_t[]> data_;
    size_t capacity_ = 0;
};

class TWholeEntryInflater {
public:
    // Entries whose Size is above limit are left to the streaming path.
    explicit TWholeEntryInflater(uint32_t limit = kWholeEntryLimit);
    ~TWholeEntryInflater();
    TWholeEntryInflater(const TWholeEntryInflater&) = delete;
    TWholeEntryInflater& operator=(const TWholeEntryInflater&) = delete;

    // A compressed entry within the limit, its stored data within what deflate needs
    // for Size bytes at worst.
    bool Takes(const TEntryHeaderInfo& entry) const;
    // Reads the entry's stored data from the cursor (on its first data byte) and
    // inflates it; true when its data is proven whole, then Data() holds its Size bytes
    // until the next call. False leaves the cursor anywhere.
    bool Inflate(TArchiveCursor& cursor, const TEntryHeaderInfo& entry);
    const uint8_t* Data() const { return output_.Data(); }

private:
    uint32_t limit_;
    libdeflate_decompressor* decompressor_ = nullptr;
    TGrowingBuffer input_, output_;
};

}  // namespace quindle
