// Worker threads deflating blocks of entry data.
#include "tools/pack/ParallelDeflate.h"

#include <zlib.h>

#include <stdexcept>

namespace quindle::pack {

namespace {

void DeflateOne(TDeflateBlock& block, int level) {
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflate initialisation failed");
    struct TDeflateEnd {
        z_stream& z;
        ~TDeflateEnd() { deflateEnd(&z); }
    } end{z};
    if (!block.dictionary.empty() &&
        deflateSetDictionary(&z, block.dictionary.data(), uInt(block.dictionary.size())) != Z_OK)
        throw std::runtime_error("deflate dictionary refused");

    // Room for the worst case plus the sync marker; grown if ever short.
    block.output.resize(deflateBound(&z, uLong(block.input.size())) + 16);
    z.next_in = block.input.data();
    z.avail_in = uInt(block.input.size());
    const int flush = block.last ? Z_FINISH : Z_SYNC_FLUSH;
    for (;;) {
        z.next_out = block.output.data() + z.total_out;
        z.avail_out = uInt(block.output.size() - z.total_out);
        const int rc = deflate(&z, flush);
        if (rc == Z_STREAM_ERROR) throw std::runtime_error("deflate failed");
        if (block.last ? rc == Z_STREAM_END : (z.avail_in == 0 && z.avail_out > 0)) break;
        block.output.resize(block.output.size() * 2);
    }
    block.output.resize(z.total_out);
    block.adler = uint32_t(adler32(1, block.input.data(), uInt(block.input.size())));
}

}  // namespace

void ZlibHeader(int level, uint8_t out[2]) {
    const int flevel = level <= 1 ? 0 : level <= 5 ? 1 : level == 6 ? 2 : 3;
    out[0] = 0x78;
    int flg = flevel << 6;
    flg += 31 - (out[0] * 256 + flg) % 31;
    out[1] = uint8_t(flg);
}

uint32_t CombineAdler(uint32_t first, uint32_t second, uint64_t secondLength) {
    return uint32_t(adler32_combine(first, second, z_off_t(secondLength)));
}

TDeflatePool::TDeflatePool(unsigned threads, int level) : level_(level) {
    for (unsigned i = 0; i < (threads ? threads : 1); ++i) threads_.emplace_back([this] { Work(); });
}

TDeflatePool::~TDeflatePool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    queued_.notify_all();
    for (std::thread& t : threads_) t.join();
}

void TDeflatePool::Submit(std::shared_ptr<TDeflateBlock> block) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(std::move(block));
    }
    queued_.notify_one();
}

void TDeflatePool::Wait(TDeflateBlock& block) {
    std::unique_lock<std::mutex> lock(mutex_);
    finished_.wait(lock, [&] { return block.done; });
    if (block.error) std::rethrow_exception(block.error);
}

void TDeflatePool::Work() {
    for (;;) {
        std::shared_ptr<TDeflateBlock> block;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            queued_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return;
            block = std::move(queue_.front());
            queue_.pop_front();
        }
        std::exception_ptr error;
        try {
            DeflateOne(*block, level_);
        } catch (...) {
            error = std::current_exception();
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            block->error = error;
            block->done = true;
        }
        finished_.notify_all();
    }
}

}  // namespace quindle::pack
