// What the session search and quindle-pack read of a Windows program's PE headers:
// where its Authenticode certificate table lies and where the two fields are that
// signing writes. Signing appends the table after everything in the file, the
// session included, and names it in the security directory by file offset.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "package/ArchiveFiles.h"

namespace quindle {

// Signing tools start the table on an eight-byte boundary, padding the file with up
// to this many zero bytes first.
constexpr uint64_t kCertificateTableAlignment = 8;
// A WIN_CERTIFICATE header: length, revision, type.
constexpr uint32_t kCertificateHeaderSize = 8;

struct TCertificateTable {
    uint64_t Offset = 0;
    uint32_t Size = 0;
};

struct TPeSignatureFields {
    uint64_t ChecksumOffset = 0;       // the optional header's CheckSum (4 bytes)
    uint64_t SecurityEntryOffset = 0;  // the security directory entry (file offset, then size; 8 bytes)
    // The entry as it stands; both 0 in an unsigned program.
    uint32_t EntryOffset = 0, EntrySize = 0;
    // The table the entry names, when it lies after the headers and inside the file and
    // holds at least one certificate header; nullopt for an entry that is 0 or damaged.
    std::optional<TCertificateTable> Table;

    bool HasSecurityEntry() const { return EntryOffset != 0 || EntrySize != 0; }
};

// The fields of a PE32 or PE32+ image; nullopt when the file is none or its headers
// are cut short or point outside the file.
std::optional<TPeSignatureFields> ReadPeSignatureFields(IArchiveReader& file);

// A signed program made unsigned: its first Length bytes with the ranges in Zeroed set
// to zero. The table goes; the security directory entry is cleared, and so is the
// CheckSum, which signing tools compute anew and nothing else checks in a program.
struct TByteRange {
    uint64_t Offset = 0;
    uint32_t Length = 0;
};
struct TUnsignedImage {
    uint64_t Length = 0;
    std::vector<TByteRange> Zeroed;
};

// nullopt when the table does not end the file: cutting it would lose what follows.
// A damaged entry (naming no table) is cleared and everything kept.
std::optional<TUnsignedImage> UnsignedImageOf(const TPeSignatureFields& fields, uint64_t fileSize);

// Where the certificate table that ends a signed program starts; nullopt when the file
// does not end with one (unsigned, damaged, or with bytes appended after signing).
std::optional<uint64_t> TrailingCertificateTableStart(IArchiveReader& file);

}  // namespace quindle
