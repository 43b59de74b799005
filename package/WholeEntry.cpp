// Whole-entry inflate with libdeflate, and its bounded buffers.
#include "package/WholeEntry.h"

#include <libdeflate.h>

#include <new>

#include "package/ArchiveCursor.h"
#include "package/SessionArchive.h"

namespace quindle {

namespace {

// More stored bytes than any deflate encoder needs for size bytes (zlib's own bound is
// size + size/4096 + size/16384 + 13; sync markers add 5 bytes a block): such an entry
// streams, whatever it carries after its zlib stream.
uint64_t StoredLimit(uint32_t size) { return uint64_t(size) + size / 1024 + 1024; }

// Stored data from this length on is mapped rather than copied, where the archive can
// be mapped; below it a mapping costs more than the copy it spares.
constexpr uint32_t kViewThreshold = 1u << 20;

}  // namespace

uint8_t* TGrowingBuffer::Reserve(size_t size) {
    if (size > capacity_) {
        data_.reset();  // the old bytes are not needed: never hold both
        data_.reset(new uint8_t[size]);
        capacity_ = size;
    }
    return data_.get();
}

TWholeEntryInflater::TWholeEntryInflater(uint32_t limit) : limit_(limit) {}

TWholeEntryInflater::~TWholeEntryInflater() { libdeflate_free_decompressor(decompressor_); }

bool TWholeEntryInflater::Takes(const TEntryHeaderInfo& entry) const {
    return entry.Size > kRawEntryLimit && entry.Size <= limit_ && entry.StoredSize <= StoredLimit(entry.Size);
}

bool TWholeEntryInflater::Inflate(TArchiveCursor& cursor, const TEntryHeaderInfo& entry) {
    if (!decompressor_) decompressor_ = libdeflate_alloc_decompressor();
    if (!decompressor_) throw std::bad_alloc();
    std::unique_ptr<IArchiveView> view;
    if (entry.StoredSize >= kViewThreshold) view = cursor.View(entry.StoredSize);
    const uint8_t* input = view ? view->Data() : nullptr;
    if (!view) {
        uint8_t* copy = input_.Reserve(entry.StoredSize);
        if (cursor.Read(copy, entry.StoredSize) != entry.StoredSize) return false;
        input = copy;
    }
    uint8_t* output = output_.Reserve(entry.Size);
    // With no count asked back, success means exactly entry.Size bytes came out; the
    // Adler-32 after the deflate data is checked against them, and both must lie
    // within the stored bytes. Bytes after the stream are skipped, as zlib's path does.
    size_t used = 0;
    return libdeflate_zlib_decompress_ex(decompressor_, input, entry.StoredSize, output, entry.Size, &used, nullptr) ==
           LIBDEFLATE_SUCCESS;
}

}  // namespace quindle
