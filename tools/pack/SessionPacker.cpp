// The pack pipeline: the main thread reads inputs block by block and writes finished
// blocks in order; the deflate pool compresses in between. At most a few blocks per
// thread are in flight, so memory stays small whatever the session size.
#include "tools/pack/SessionPacker.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "package/SessionArchive.h"
#include "tools/pack/ParallelDeflate.h"
#include "tools/pack/Progress.h"

namespace quindle::pack {

const char* const kToolVersion = "Quindle Pack 1.0";

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kMaxOffset = 0xFFFFFFFFu;

// The output under a temporary name next to its final place; removed unless committed.
class TOutputFile {
public:
    explicit TOutputFile(const std::string& path) : path_(path), temp_(path + ".partial") {
        stream_.open(temp_, std::ios::binary | std::ios::in | std::ios::out | std::ios::trunc);
        if (!stream_) throw std::runtime_error("Cannot create file " + temp_);
    }
    ~TOutputFile() {
        if (committed_) return;
        stream_.close();
        std::error_code ec;
        fs::remove(temp_, ec);
    }
    TOutputFile(const TOutputFile&) = delete;
    TOutputFile& operator=(const TOutputFile&) = delete;

    uint64_t Position() { return uint64_t(stream_.tellp()); }
    void Write(const void* data, size_t count) {
        stream_.write(static_cast<const char*>(data), std::streamsize(count));
        if (!stream_) throw std::runtime_error("Stream write error");
    }
    void WriteAt(uint64_t position, const void* data, size_t count) {
        const std::streampos end = stream_.tellp();
        stream_.seekp(std::streamoff(position));
        Write(data, count);
        stream_.seekp(end);
    }
    // The whole file under its temporary name, for a last look before Commit.
    const std::string& Close() {
        stream_.close();
        if (!stream_) throw std::runtime_error("Stream write error");
        return temp_;
    }
    void Commit() {
        fs::rename(temp_, path_);
        committed_ = true;
    }

private:
    std::string path_, temp_;
    std::fstream stream_;
    bool committed_ = false;
};

void CopyStub(const std::string& stub, const std::optional<TUnsignedImage>& image, TOutputFile& out) {
    std::ifstream in(stub, std::ios::binary);
    if (!in) throw std::runtime_error("Cannot open file " + stub);
    const uint64_t length = image ? image->Length : std::numeric_limits<uint64_t>::max();
    std::vector<char> buffer(1 << 20);
    for (uint64_t left = length; in && left > 0;) {
        in.read(buffer.data(), std::streamsize(std::min<uint64_t>(buffer.size(), left)));
        out.Write(buffer.data(), size_t(in.gcount()));
        left -= uint64_t(in.gcount());
    }
    if (image ? out.Position() != length : !in.eof()) throw std::runtime_error("Stream read error");
    if (!image) return;
    for (const TByteRange& range : image->Zeroed) {
        const std::vector<char> zeros(range.Length, 0);
        out.WriteAt(range.Offset, zeros.data(), zeros.size());
    }
}

// One entry's blocks as they are written: header placeholder first, the header
// with the stored size once the last block is out.
class TEntryWriter {
public:
    TEntryWriter(TOutputFile& out, int level) : out_(out), level_(level) {}

    void Begin(const TPackInput& input) {
        input_ = &input;
        headerAt_ = out_.Position();
        compressed_ = input.size > kRawEntryLimit;
        const TSessionEntryHeader placeholder{};
        out_.Write(&placeholder, sizeof placeholder);
        stored_ = 0;
        adler_ = 1;
        if (compressed_) {
            uint8_t header[2];
            ZlibHeader(level_, header);
            Put(header, 2);
        }
    }
    void Block(const TDeflateBlock& block) {
        if (!compressed_) return Put(block.input.data(), block.input.size());
        Put(block.output.data(), block.output.size());
        adler_ = CombineAdler(adler_, block.adler, block.input.size());
    }
    void End() {
        if (compressed_) {
            const uint8_t trailer[4] = {uint8_t(adler_ >> 24), uint8_t(adler_ >> 16), uint8_t(adler_ >> 8),
                                        uint8_t(adler_)};
            Put(trailer, 4);
        }
        TEntryHeaderInfo info;
        info.FileName = input_->name;
        info.SourceDir = input_->sourceDir;
        info.Tag = input_->tag;
        info.Size = uint32_t(input_->size);
        info.StoredSize = uint32_t(stored_);
        info.LastWriteTime = input_->fileTime;
        const TSessionEntryHeader header = EncodeEntryHeader(info);
        out_.WriteAt(headerAt_, &header, sizeof header);
    }

private:
    void Put(const void* data, size_t count) {
        out_.Write(data, count);
        stored_ += count;
        if (stored_ > kMaxOffset || out_.Position() > kMaxOffset)
            throw std::runtime_error("the packaged file would pass 4 GiB");
    }

    TOutputFile& out_;
    int level_;
    const TPackInput* input_ = nullptr;
    uint64_t headerAt_ = 0, stored_ = 0;
    uint32_t adler_ = 1;
    bool compressed_ = false;
};

struct TPending {
    std::shared_ptr<TDeflateBlock> block;
    const TPackInput* input;
    bool first;
};

}  // namespace

void PackSession(const TPackOptions& options, const std::vector<TPackInput>& inputs,
                 const std::function<void(const std::string& written)>& checkWritten) {
    uint64_t total = 0;
    for (const TPackInput& input : inputs) total += input.size;
    if (total > uint64_t(std::numeric_limits<int32_t>::max()))
        throw std::runtime_error("session over 2 GiB: the runner counts its bytes in 31 bits");

    TOutputFile out(options.out);
    CopyStub(options.stub, options.stubImage, out);
    const uint64_t sessionStart = out.Position();
    if (sessionStart > kMaxOffset) throw std::runtime_error("the packaged file would pass 4 GiB");

    const unsigned threads = options.threads ? options.threads : std::max(1u, std::thread::hardware_concurrency());
    TDeflatePool pool(threads, options.level);
    TEntryWriter writer(out, options.level);
    TProgressBar progress("packing", total);
    uint64_t done = 0;

    std::deque<TPending> inFlight;
    auto writeOldest = [&] {
        TPending p = std::move(inFlight.front());
        inFlight.pop_front();
        pool.Wait(*p.block);
        if (p.first) writer.Begin(*p.input);
        writer.Block(*p.block);
        if (p.block->last) writer.End();
        done += p.block->input.size();
        progress.Update(done);
    };

    const size_t blockSize = DeflateBlockSize(options.level);
    const bool withDictionary = options.level <= kMaxZlibLevel;
    for (const TPackInput& input : inputs) {
        std::ifstream file;
        std::istringstream replaced(input.content);
        if (!input.replaced) file.open(input.path, std::ios::binary);
        std::istream& in = input.replaced ? static_cast<std::istream&>(replaced) : file;
        if (!in) throw std::runtime_error("Cannot open file " + input.path);
        const bool compressed = input.size > kRawEntryLimit;
        uint64_t left = input.size;
        std::vector<uint8_t> previous;
        bool first = true;
        do {
            auto block = std::make_shared<TDeflateBlock>();
            const size_t length = size_t(std::min<uint64_t>(left, blockSize));
            block->input.resize(length);
            in.read(reinterpret_cast<char*>(block->input.data()), std::streamsize(length));
            if (size_t(in.gcount()) != length) throw std::runtime_error("file changed while packing: " + input.path);
            left -= length;
            block->last = left == 0;
            if (compressed) {
                if (withDictionary) {
                    block->dictionary = std::move(previous);
                    const size_t keep = std::min(length, kDeflateWindow);
                    previous.assign(block->input.end() - std::ptrdiff_t(keep), block->input.end());
                }
                pool.Submit(block);
            } else {
                block->done = true;
            }
            inFlight.push_back({block, &input, first});
            first = false;
            while (inFlight.size() > 2 * threads + 1) writeOldest();
        } while (left > 0);
    }
    while (!inFlight.empty()) writeOldest();

    const uint64_t trailerAt = out.Position();
    TSessionTrailerInfo trailer;
    trailer.SessionStart = uint32_t(sessionStart);
    trailer.SessionLength = uint32_t(trailerAt - sessionStart);
    trailer.EntryCount = int32_t(inputs.size());
    trailer.SessionTotal = uint32_t(total);
    trailer.ToolVersion = kToolVersion;
    trailer.SessionName = options.session;
    const TSessionTrailer raw = EncodeTrailer(trailer);
    out.Write(&raw, sizeof raw);
    if (out.Position() > kMaxOffset) throw std::runtime_error("the packaged file would pass 4 GiB");
    const std::string& written = out.Close();
    if (checkWritten) checkWritten(written);
    out.Commit();
}

}  // namespace quindle::pack
