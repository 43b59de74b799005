// Raw copy and zlib inflate of one archive entry, with the proof that its data is whole.
#include "package/EntryData.h"

#include <zlib.h>

#include <algorithm>

#include "package/SessionArchive.h"
#include "package/WholeEntry.h"

namespace quindle {

namespace {
constexpr size_t kInputBlock = 64 * 1024;
}

EDamagedEntry::EDamagedEntry(const std::string& entryName, const std::string& archivePath, const std::string& fault)
    : std::runtime_error("Extract error on entry \"" + entryName + "\" of " + archivePath + ": " + fault) {}

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

TEntryDataReader::TEntryDataReader(TArchiveCursor& cursor, const TEntryHeaderInfo& entry,
                                   const std::string& archivePath, TWholeEntryInflater* whole)
    : cursor_(cursor), entry_(entry), archivePath_(archivePath), dataStart_(cursor.Position()), left_(entry.Size) {
    if (whole && whole->Takes(entry)) {
        if (whole->Inflate(cursor, entry)) {
            whole_ = whole->Data();
            cursor.Seek(dataStart_ + entry.StoredSize);
            return;
        }
        cursor.Seek(dataStart_);  // the streaming path names the fault
    }
    if (entry.Size > kRawEntryLimit) inflater_ = std::make_unique<TInflater>(entry.StoredSize);
}

TEntryDataReader::~TEntryDataReader() = default;

void TEntryDataReader::Fail(const std::string& fault) const {
    throw EDamagedEntry(entry_.FileName, archivePath_, fault);
}

const uint8_t* TEntryDataReader::Read(size_t count) {
    count = std::min<size_t>(count, left_);
    if (whole_) {
        const uint8_t* bytes = whole_ + (entry_.Size - left_);
        left_ -= uint32_t(count);
        return bytes;
    }
    if (chunk_.size() < count) chunk_.resize(count);
    uint8_t* buffer = chunk_.data();
    if (!inflater_) {
        if (cursor_.Read(buffer, count) != count) Fail("the file ends inside its data");
    } else {
        const size_t made = Inflate(buffer, count);
        if (made != count)
            Fail("its zlib stream ends after " + std::to_string(entry_.Size - left_ + made) + " of " +
                 std::to_string(entry_.Size) + " bytes");
    }
    left_ -= uint32_t(count);
    return buffer;
}

size_t TEntryDataReader::Inflate(uint8_t* buffer, size_t count) {
    TInflater& z = *inflater_;
    z.stream.next_out = buffer;
    z.stream.avail_out = uInt(count);
    while (z.stream.avail_out > 0 && !z.ended) {
        if (z.stream.avail_in == 0) {
            // The stream may not reach past its stored bytes.
            if (z.storedLeft == 0)
                Fail("its zlib stream does not end within its " + std::to_string(entry_.StoredSize) + " stored bytes");
            const size_t want = std::min<size_t>(z.input.size(), z.storedLeft);
            const size_t got = cursor_.Read(z.input.data(), want);
            if (got == 0) Fail("the file ends inside its data");
            z.storedLeft -= uint32_t(got);
            z.stream.next_in = z.input.data();
            z.stream.avail_in = uInt(got);
        }
        const int rc = inflate(&z.stream, Z_NO_FLUSH);
        if (rc == Z_STREAM_END)
            z.ended = true;
        else if (rc != Z_OK && rc != Z_BUF_ERROR)
            Fail(std::string("its zlib stream is damaged (") + (z.stream.msg ? z.stream.msg : zError(rc)) + ")");
    }
    return count - z.stream.avail_out;
}

void TEntryDataReader::Finish() {
    if (!inflater_) return;  // raw, or proven whole at once
    // The last bytes may have filled the caller's buffer before inflate read the end of
    // the last block and the Adler-32 behind it: go on until the stream ends. One byte
    // of room is enough to see any data beyond Size.
    uint8_t extra;
    if (Inflate(&extra, 1) != 0) Fail("its zlib stream holds more than " + std::to_string(entry_.Size) + " bytes");
    cursor_.Seek(dataStart_ + entry_.StoredSize);
}

}  // namespace quindle
