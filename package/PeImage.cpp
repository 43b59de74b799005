// PE headers: the DOS stub's pointer, the COFF header, the optional header's CheckSum
// and the security directory entry, each checked against the file's size.
#include "package/PeImage.h"

#include <algorithm>
#include <cstring>

namespace quindle {
namespace {

constexpr uint64_t kNewHeaderPointer = 0x3C;  // e_lfanew in the DOS header
constexpr uint64_t kCoffSize = 20;
constexpr uint64_t kOptionalSizeField = 16;  // SizeOfOptionalHeader, inside the COFF header
constexpr uint64_t kChecksumField = 64;      // inside the optional header, for PE32 and PE32+
constexpr uint32_t kSecurityDirectory = 4;
constexpr uint64_t kDirectoryEntrySize = 8;

// Where the two optional header layouts keep their data directories.
struct TOptionalLayout {
    uint16_t Magic;
    uint64_t DirectoryCountField;
    uint64_t Directories;
};
constexpr TOptionalLayout kLayouts[] = {{0x10B, 92, 96}, {0x20B, 108, 112}};

uint16_t Load16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t Load32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool ReadExactly(IArchiveReader& file, uint64_t position, uint8_t* buffer, size_t count) {
    if (position > file.Size() || file.Size() - position < count) return false;
    file.Seek(position);
    size_t got = 0;
    while (got < count) {
        const size_t n = file.Read(buffer + got, count - got);
        if (n == 0) return false;
        got += n;
    }
    return true;
}

}  // namespace

std::optional<TPeSignatureFields> ReadPeSignatureFields(IArchiveReader& file) {
    uint8_t dos[kNewHeaderPointer + 4];
    if (!ReadExactly(file, 0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') return std::nullopt;
    const uint64_t pe = Load32(dos + kNewHeaderPointer);

    uint8_t coff[4 + kCoffSize];
    if (!ReadExactly(file, pe, coff, sizeof coff) || std::memcmp(coff, "PE\0\0", 4) != 0) return std::nullopt;
    const uint64_t optional = pe + sizeof coff;
    const uint16_t optionalSize = Load16(coff + 4 + kOptionalSizeField);

    uint8_t header[0x100] = {};
    if (optionalSize < 2 || !ReadExactly(file, optional, header, std::min<size_t>(optionalSize, sizeof header)))
        return std::nullopt;
    const TOptionalLayout* layout = nullptr;
    for (const TOptionalLayout& l : kLayouts)
        if (Load16(header) == l.Magic) layout = &l;
    const uint64_t entry = layout ? layout->Directories + kSecurityDirectory * kDirectoryEntrySize : 0;
    if (!layout || optionalSize < entry + kDirectoryEntrySize ||
        Load32(header + layout->DirectoryCountField) <= kSecurityDirectory)
        return std::nullopt;

    TPeSignatureFields fields;
    fields.ChecksumOffset = optional + kChecksumField;
    fields.SecurityEntryOffset = optional + entry;
    fields.EntryOffset = Load32(header + entry);
    fields.EntrySize = Load32(header + entry + 4);
    const uint64_t headersEnd = optional + optionalSize;
    if (fields.EntryOffset >= headersEnd && fields.EntrySize >= kCertificateHeaderSize &&
        uint64_t(fields.EntryOffset) + fields.EntrySize <= file.Size())
        fields.Table = TCertificateTable{fields.EntryOffset, fields.EntrySize};
    return fields;
}

std::optional<TUnsignedImage> UnsignedImageOf(const TPeSignatureFields& fields, uint64_t fileSize) {
    TUnsignedImage image;
    image.Length = fileSize;
    if (fields.Table) {
        if (fields.Table->Offset + fields.Table->Size != fileSize) return std::nullopt;
        image.Length = fields.Table->Offset;
    }
    image.Zeroed = {{fields.SecurityEntryOffset, uint32_t(kDirectoryEntrySize)}, {fields.ChecksumOffset, 4}};
    return image;
}

std::optional<uint64_t> TrailingCertificateTableStart(IArchiveReader& file) {
    const std::optional<TPeSignatureFields> fields = ReadPeSignatureFields(file);
    if (!fields || !fields->Table || fields->Table->Offset + fields->Table->Size != file.Size()) return std::nullopt;
    return fields->Table->Offset;
}

}  // namespace quindle
