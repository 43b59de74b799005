// Compresses entry data on several threads. Each entry is cut into 1 MiB blocks;
// each block is deflated on its own with the 32 KiB before it as dictionary and
// ends in a sync flush, so the joined blocks form one zlib stream whose bytes do not
// depend on how many threads did the work.
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

constexpr size_t kDeflateBlock = 1u << 20;
constexpr size_t kDeflateWindow = 32u << 10;

struct TDeflateBlock {
    std::vector<uint8_t> input;
    std::vector<uint8_t> dictionary;  // the input bytes just before this block
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
uint32_t CombineAdler(uint32_t first, uint32_t second, uint64_t secondLength);

}  // namespace quindle::pack
