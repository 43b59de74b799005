// Compresses entry data on several threads. Each entry is cut into blocks, each
// deflated on its own and ended by a sync marker (an empty stored block), so the
// joined blocks form one zlib stream whose bytes do not depend on how many threads
// did the work. Levels 1 to 9 are zlib's, each block with the 32 KiB before it as
// dictionary: the bytes packing has always written. Levels 10 to 12 are libdeflate's
// slower, smaller ones; it takes no dictionary, so their blocks are larger and stand
// alone, and the end-of-stream mark of each but the last is taken back.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace quindle::pack {

constexpr int kMaxZlibLevel = 9;
constexpr int kMaxPackLevel = 12;
constexpr size_t kDeflateWindow = 32u << 10;

// The block size for a level: a level's output must not depend on the thread count.
size_t DeflateBlockSize(int level);

struct TDeflateBlock {
    std::vector<uint8_t> input;
    std::vector<uint8_t> dictionary;  // the input bytes just before this block (zlib levels)
    bool last = false;                // ends the stream
    // Results.
    std::vector<uint8_t> output;  // raw deflate data
    uint32_t adler = 1;           // Adler-32 of input
    bool done = false;
    std::exception_ptr error;
};

class TDeflatePool {
public:
    TDeflatePool(unsigned threads, int level);
    ~TDeflatePool();
    TDeflatePool(const TDeflatePool&) = delete;
    TDeflatePool& operator=(const TDeflatePool&) = delete;

    void Submit(std::shared_ptr<TDeflateBlock> block);
    // Waits for the block, rethrowing a failure of its compression.
    void Wait(TDeflateBlock& block);

private:
    void Work();

    int level_;
    std::mutex mutex_;
    std::condition_variable queued_, finished_;
    std::deque<std::shared_ptr<TDeflateBlock>> queue_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

// The two zlib header bytes for a compression level.
void ZlibHeader(int level, uint8_t out[2]);
// Turns a complete raw deflate stream into one that goes on: clears the final-block
// bit of its last block and ends it with a sync marker, as zlib's sync flush does.
void ContinueDeflateStream(std::vector<uint8_t>& deflate, size_t uncompressedSize);
uint32_t CombineAdler(uint32_t first, uint32_t second, uint64_t secondLength);

}  // namespace quindle::pack
