// Byte layout of the session archive appended to the runner: entry headers, session
// trailers, their checksum, and the backward walk that finds a session by name.
// Shared by the extractor and quindle-pack (which writes the same layout).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "base/Text.h"
#include <vector>

#include "package/ArchiveFiles.h"

namespace quindle {

constexpr uint32_t kArchiveSignature = 0x6A4A61A3;
constexpr uint32_t kArchiveEndSignature = 0x8CF9BF0D;
// Entries of more bytes than this are stored as one zlib stream, smaller ones raw.
constexpr uint32_t kRawEntryLimit = 108;
// The backward search for a trailer never looks at a window ending below this offset.
constexpr uint64_t kTrailerSearchFloor = 2048;
constexpr size_t kMaxSessionNameLength = 63;
// The session the runner extracts, and the one quindle-pack writes unless told otherwise.
constexpr char kRunnerSessionName[] = "Session1";
constexpr size_t kMaxEntryTextLength = 255;
constexpr size_t kMaxToolVersionLength = 63;

// On-disk images: byte arrays only, so the layout holds on every compiler and the
// integers are read little-endian explicitly.
struct TSessionTrailer {
    uint8_t Signature[4];
    uint8_t SessionStart[4];
    uint8_t SessionLength[4];
    uint8_t EntryCount[4];
    uint8_t Reserved[4];
    uint8_t SessionTotal[4];
    uint8_t ToolVersion[64];
    uint8_t SessionName[124];
    uint8_t Checksum[4];
    uint8_t EndSignature[4];
};

struct TSessionEntryHeader {
    uint8_t Signature[4];
    uint8_t FileName[256];
    uint8_t SourceDir[256];
    uint8_t Tag[256];
    uint8_t Size[4];
    uint8_t StoredSize[4];
    uint8_t LastWriteTime[8];
    uint8_t Checksum[4];
    uint8_t EndSignature[4];
};

static_assert(sizeof(TSessionTrailer) == 220, "trailer is 220 bytes");
static_assert(offsetof(TSessionTrailer, SessionStart) == 4, "trailer layout");
static_assert(offsetof(TSessionTrailer, SessionLength) == 8, "trailer layout");
static_assert(offsetof(TSessionTrailer, EntryCount) == 12, "trailer layout");
static_assert(offsetof(TSessionTrailer, Reserved) == 16, "trailer layout");
static_assert(offsetof(TSessionTrailer, SessionTotal) == 20, "trailer layout");
static_assert(offsetof(TSessionTrailer, ToolVersion) == 24, "trailer layout");
static_assert(offsetof(TSessionTrailer, SessionName) == 88, "trailer layout");
static_assert(offsetof(TSessionTrailer, Checksum) == 212, "trailer layout");
static_assert(offsetof(TSessionTrailer, EndSignature) == 216, "trailer layout");

static_assert(sizeof(TSessionEntryHeader) == 796, "entry header is 796 bytes");
static_assert(offsetof(TSessionEntryHeader, FileName) == 4, "entry header layout");
static_assert(offsetof(TSessionEntryHeader, SourceDir) == 260, "entry header layout");
static_assert(offsetof(TSessionEntryHeader, Tag) == 516, "entry header layout");
static_assert(offsetof(TSessionEntryHeader, Size) == 772, "entry header layout");
static_assert(offsetof(TSessionEntryHeader, StoredSize) == 776, "entry header layout");
static_assert(offsetof(TSessionEntryHeader, LastWriteTime) == 780, "entry header layout");
static_assert(offsetof(TSessionEntryHeader, Checksum) == 788, "entry header layout");
static_assert(offsetof(TSessionEntryHeader, EndSignature) == 792, "entry header layout");

// The decoded fields.
struct TSessionTrailerInfo {
    uint32_t SessionStart = 0;
    uint32_t SessionLength = 0;
    int32_t EntryCount = 0;
    uint32_t SessionTotal = 0;
    std::string ToolVersion;
    std::string SessionName;
};

struct TEntryHeaderInfo {
    std::string FileName;
    std::string SourceDir;
    std::string Tag;
    uint32_t Size = 0;
    uint32_t StoredSize = 0;
    uint64_t LastWriteTime = 0;  // FILETIME
};

// h = h * 3 + b over the bytes, modulo 2^32.
uint32_t HeaderChecksum(const uint8_t* data, size_t count);

// Decoding answers false when a signature or the checksum does not match.
bool DecodeTrailer(const TSessionTrailer& raw, TSessionTrailerInfo& info);
bool DecodeEntryHeader(const TSessionEntryHeader& raw, TEntryHeaderInfo& info);

// Encoding for the writer side; throws std::invalid_argument when a text does not
// fit its field. Bytes after a text are zero.
TSessionTrailer EncodeTrailer(const TSessionTrailerInfo& info);
TSessionEntryHeader EncodeEntryHeader(const TEntryHeaderInfo& info);

// Entry names and tags as Windows can create them in the run directory, one rule for
// the packaging tool and the extractor. Refused, in a name or in each component of a
// tag: empty names, control characters (a NUL cuts the path the system sees), the
// characters < > : " / \ | ? *, a trailing dot or blank (Windows drops it, so "..."
// and ". ." act as ".."), and the device names CON, PRN, AUX, NUL, COM1 to COM9 and
// LPT1 to LPT9 (and the console's CONIN$ and CONOUT$) in any case, with or without an
// extension. A tag component may be "."
// (the run directory itself); a tag may end in a separator, but neither begin with one
// nor hold two in a row.
// A tool tag (see IsToolTag) never becomes a path and keeps its own rule: its colon is
// allowed (the satellite tag "QTOOL.SATELLITE:" + program name holds one); no control
// characters, no empty components and none of dots and blanks only.
// codePage tells which bytes open a double-byte character in the system's ANSI code
// page: the byte after one (when it can be a trail byte at all, 0x40 and above) belongs
// to that character, so the second byte of a Japanese name such as "\x95\x5C" is no
// backslash.
// A name's problem completes a sentence naming it ("is empty"); a tag's is a sentence
// of its own ("'..' is dots and blanks only ..."). Empty when the name or tag is fine.
std::string EntryNameProblem(const std::string& name, const ILeadBytes& codePage = SingleByteCodePage());
std::string EntryTagProblem(const std::string& tag, const ILeadBytes& codePage = SingleByteCodePage());
// The rule of a tag that is no tool tag: a relative folder path below the run directory.
std::string RelativeFolderProblem(const std::string& folder, const ILeadBytes& codePage = SingleByteCodePage());
bool IsSafeEntryName(const std::string& name, const ILeadBytes& codePage = SingleByteCodePage());
bool IsSafeEntryTag(const std::string& tag, const ILeadBytes& codePage = SingleByteCodePage());

// A tag beginning with "QTOOL." marks a tool program or one of its files. Such an
// entry is written into the destination directory itself; the tag is only compared.
bool IsToolTag(const std::string& tag);

struct TFoundTrailer {
    uint64_t Offset = 0;  // file offset of the trailer's first byte
    TSessionTrailerInfo Info;
};

// The valid trailer in the 220-byte window ending at windowEnd; with scan, also the
// windows ending one byte further back each, down to the one ending at offset 2,048.
std::optional<TFoundTrailer> FindTrailer(IArchiveReader& archive, uint64_t windowEnd, bool scan);

// The last session's trailer, whatever its name: first before a certificate table (a
// signed program), then in the windows ending at the end of the file.
std::optional<TFoundTrailer> FindLastTrailer(IArchiveReader& archive, bool scan);

// The last session named exactly sessionName, walking from the end of the file over
// earlier sessions. A trailer whose session start lies beyond its own position ends
// the walk (it would otherwise lead back to itself for ever).
// A signed program ends with its certificate table: the walk then starts with the
// windows ending where the table starts (and the up to 7 padding bytes before it), and
// falls back to the windows ending at the end of the file.
std::optional<TFoundTrailer> FindSession(IArchiveReader& archive, const std::string& sessionName, bool scan);

// Every session from the last to the first, with backward search; the last one found
// as FindSession finds it.
std::vector<TFoundTrailer> ListSessions(IArchiveReader& archive);

// After a session was not found: true when the file holds no valid trailer anywhere
// (backward search on) but a valid entry header somewhere, i.e. it ends inside its
// session (an interrupted copy, a damaged trailer). Reads the whole file; for error
// messages only.
bool EndsInsideASession(IArchiveReader& archive);

}  // namespace quindle
