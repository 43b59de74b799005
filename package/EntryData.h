// An entry's uncompressed bytes, delivered chunk by chunk from the archive: copied
// raw for small entries, inflated from one zlib stream for the others.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "package/ArchiveCursor.h"

namespace quindle {

class TEntryDataReader {
public:
    // The cursor stands on the entry's first data byte.
    TEntryDataReader(TArchiveCursor& cursor, uint32_t size, uint32_t storedSize);
    ~TEntryDataReader();
    TEntryDataReader(const TEntryDataReader&) = delete;
    TEntryDataReader& operator=(const TEntryDataReader&) = delete;

    // Fills buffer with up to count bytes; fewer means the entry's data ended early
    // (a raw entry at the end of the file, a zlib stream that ended). Throws
    // "Stream read error" when the stored bytes run out inside the stream and
    // "error" when inflate finds the data corrupt.
    size_t Read(uint8_t* buffer, size_t count);

    // Puts the cursor on the next entry header. Inflate reads ahead, so a compressed
    // entry ends at its first data byte plus its stored size.
    void Finish();

private:
    struct TInflater;
    TArchiveCursor& cursor_;
    uint64_t dataStart_;
    uint32_t storedSize_;
    std::unique_ptr<TInflater> inflater_;
};

}  // namespace quindle
