// Raw copy and zlib inflate of one archive entry.
#include "package/EntryData.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

#include "package/SessionArchive.h"

namespace quindle {

namespace {
constexpr size_t kInputBlock = 64 * 1024;
}

struct TEntryDataReader::TInflater {
    z_stream stream{};
    std::vector<uint8_t> input;
    uint32_t storedLeft = 0;
    bool ended = false;

    explicit TInflater(uint32_t storedSize) : input(std::min<size_t>(kInputBlock, storedSize)), storedLeft(storedSize) {
        if (inflateInit(&stream) != Z_OK) throw std::runtime_error("error");
    }
    ~TInflater() { inflateEnd(&stream); }
};

TEntryDataReader::TEntryDataReader(TArchiveCursor& cursor, uint32_t size, uint32_t storedSize)
    : cursor_(cursor), dataStart_(cursor.Position()), storedSize_(storedSize) {
    if (size > kRawEntryLimit) inflater_ = std::make_unique<TInflater>(storedSize);
}

TEntryDataReader::~TEntryDataReader() = default;

size_t TEntryDataReader::Read(uint8_t* buffer, size_t count) {
    if (!inflater_) return cursor_.Read(buffer, count);

    TInflater& z = *inflater_;
    z.stream.next_out = buffer;
    z.stream.avail_out = uInt(count);
    while (z.stream.avail_out > 0 && !z.ended) {
        if (z.stream.avail_in == 0) {
            // The stream may not reach past its stored bytes.
            const size_t want = std::min<size_t>(z.input.size(), z.storedLeft);
            const size_t got = want ? cursor_.Read(z.input.data(), want) : 0;
            if (got == 0) throw std::runtime_error("Stream read error");
            z.storedLeft -= uint32_t(got);
            z.stream.next_in = z.input.data();
            z.stream.avail_in = uInt(got);
        }
        const int rc = inflate(&z.stream, Z_NO_FLUSH);
        if (rc == Z_STREAM_END)
            z.ended = true;
        else if (rc != Z_OK && rc != Z_BUF_ERROR)
            throw std::runtime_error("error");
    }
    return count - z.stream.avail_out;
}

void TEntryDataReader::Finish() {
    if (inflater_) cursor_.Seek(dataStart_ + storedSize_);
}

}  // namespace quindle
