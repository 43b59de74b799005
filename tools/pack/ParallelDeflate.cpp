// Worker threads deflating blocks of entry data.
#include "tools/pack/ParallelDeflate.h"

#include <libdeflate.h>
#include <zlib.h>

#include <memory>
#include <new>
#include <stdexcept>

namespace quindle::pack {

namespace {

// Blocks of the zlib levels keep the 32 KiB before them, so their size costs little;
// libdeflate's blocks lose what came before, which larger blocks make up for.
constexpr size_t kZlibBlock = 1u << 20;
constexpr size_t kLibdeflateBlock = 4u << 20;

void DeflateWithZlib(TDeflateBlock& block, int level) {
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
}

// A worker's compressor: zlib's for levels up to 9, libdeflate's above.
class TBlockDeflater {
public:
    explicit TBlockDeflater(int level) : level_(level) {
        if (level_ <= kMaxZlibLevel) return;
        compressor_ = libdeflate_alloc_compressor(level_);
        if (!compressor_) throw std::bad_alloc();
    }
    ~TBlockDeflater() { libdeflate_free_compressor(compressor_); }
    TBlockDeflater(const TBlockDeflater&) = delete;
    TBlockDeflater& operator=(const TBlockDeflater&) = delete;

    void Deflate(TDeflateBlock& block) {
        if (compressor_)
            DeflateWithLibdeflate(block);
        else
            DeflateWithZlib(block, level_);
        block.adler = uint32_t(adler32(1, block.input.data(), uInt(block.input.size())));
    }

private:
    void DeflateWithLibdeflate(TDeflateBlock& block) {
        block.output.resize(libdeflate_deflate_compress_bound(compressor_, block.input.size()));
        const size_t length = libdeflate_deflate_compress(compressor_, block.input.data(), block.input.size(),
                                                          block.output.data(), block.output.size());
        if (length == 0) throw std::runtime_error("deflate failed");
        block.output.resize(length);
        if (!block.last) ContinueDeflateStream(block.output, block.input.size());
    }

    int level_;
    libdeflate_compressor* compressor_ = nullptr;
};

}  // namespace

size_t DeflateBlockSize(int level) { return level <= kMaxZlibLevel ? kZlibBlock : kLibdeflateBlock; }

void ContinueDeflateStream(std::vector<uint8_t>& deflate, size_t uncompressedSize) {
    // zlib stops at each block boundary (Z_BLOCK) and says how many bits of the last
    // byte it took are unused: the next block's header, and its final-block bit, start
    // right after them.
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) throw std::runtime_error("inflate initialisation failed");
    struct TInflateEnd {
        z_stream& z;
        ~TInflateEnd() { inflateEnd(&z); }
    } end{z};
    std::vector<uint8_t> scratch(uncompressedSize + 1);
    z.next_in = deflate.data();
    z.avail_in = uInt(deflate.size());
    uint64_t lastBlockBit = 0;  // where the block being read began
    for (;;) {
        z.next_out = scratch.data();
        z.avail_out = uInt(scratch.size());
        const int rc = inflate(&z, Z_BLOCK);
        if (rc != Z_OK && rc != Z_BUF_ERROR) throw std::runtime_error("deflate produced a stream zlib cannot read");
        if (!(z.data_type & 128)) {
            if (z.avail_in == 0) throw std::runtime_error("deflate produced an unfinished stream");
            continue;
        }
        const uint64_t boundary = uint64_t(z.total_in) * 8 - unsigned(z.data_type & 7);
        if (z.data_type & 64) {  // the final block has ended at boundary
            deflate[lastBlockBit / 8] &= uint8_t(~(1u << (lastBlockBit % 8)));
            deflate.resize(z.total_in);
            // The sync marker: an empty stored block, its three header bits zero, then
            // zero bits up to the byte boundary, then its length 0 and the length's
            // complement. The unused bits of the last byte are zero already.
            const unsigned unused = unsigned(z.data_type & 7);
            if (unused != 0) deflate.back() &= uint8_t((0x100u >> unused) - 1);
            if (unused < 3) deflate.push_back(0);
            for (uint8_t b : {0x00, 0x00, 0xFF, 0xFF}) deflate.push_back(b);
            return;
        }
        lastBlockBit = boundary;
    }
}

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
    std::unique_ptr<TBlockDeflater> deflater;
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
            if (!deflater) deflater = std::make_unique<TBlockDeflater>(level_);
            deflater->Deflate(*block);
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
