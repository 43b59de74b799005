// An entry's uncompressed bytes, delivered chunk by chunk from the archive: copied
// raw for small entries, inflated from one zlib stream for the others, at once where
// the entry fits a whole-entry inflater (package/WholeEntry.h), else streaming through
// zlib. This is where an entry's data is proven whole: a compressed entry must end its
// zlib stream, with its Adler-32 checked, within its stored size and after exactly
// Size bytes; a raw entry must have all its bytes in the file. The streaming path
// names every fault, so an entry the whole-entry inflater refuses is read again by it.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "package/ArchiveCursor.h"

namespace quindle {

struct TEntryHeaderInfo;
class TWholeEntryInflater;

// Damaged entry data. what(): "Extract error on entry \"NAME\" of ARCHIVE: " + the fault.
class EDamagedEntry : public std::runtime_error {
public:
    EDamagedEntry(const std::string& entryName, const std::string& archivePath, const std::string& fault);
};

class TEntryDataReader {
public:
    // The cursor stands on the entry's first data byte; entry and archivePath name the
    // entry in errors and must outlive the reader, as must whole (null: the entry streams).
    TEntryDataReader(TArchiveCursor& cursor, const TEntryHeaderInfo& entry, const std::string& archivePath,
                     TWholeEntryInflater* whole = nullptr);
    ~TEntryDataReader();
    TEntryDataReader(const TEntryDataReader&) = delete;
    TEntryDataReader& operator=(const TEntryDataReader&) = delete;

    // The next count bytes, no more than the entry has left, valid until the next call;
    // or throws EDamagedEntry: the file ends inside the data, inflate finds it corrupt
    // (zlib's message), or the zlib stream ends early or runs past its stored bytes.
    const uint8_t* Read(size_t count);

    // Once all Size bytes are read: proves a zlib stream ends there (it must end within
    // its stored bytes and hold no byte more; inflate checks the Adler-32 on the way),
    // and puts the cursor on the next entry header. Inflate reads ahead, so a compressed
    // entry ends at its first data byte plus its stored size.
    void Finish();

private:
    struct TInflater;
    [[noreturn]] void Fail(const std::string& fault) const;
    // Inflates into buffer until it is full or the stream ends; returns the bytes made.
    size_t Inflate(uint8_t* buffer, size_t count);

    TArchiveCursor& cursor_;
    const TEntryHeaderInfo& entry_;
    const std::string& archivePath_;
    uint64_t dataStart_;
    uint32_t left_;                   // uncompressed bytes not read yet
    const uint8_t* whole_ = nullptr;  // all the entry's bytes, proven whole already
    std::unique_ptr<TInflater> inflater_;
    std::vector<uint8_t> chunk_;  // what Read hands out when it is not whole_
};

}  // namespace quindle
