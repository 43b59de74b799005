// Session archive layout: checksum, field coding and the search for trailers.
#include "package/SessionArchive.h"

#include "package/PeImage.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace quindle {
namespace {

uint32_t Load32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void Store32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// A length byte larger than the field could hold is cut to the field, so a damaged
// header never reads into its neighbours.
template <size_t N>
std::string LoadText(const uint8_t (&field)[N]) {
    size_t length = std::min<size_t>(field[0], N - 1);
    return std::string(reinterpret_cast<const char*>(field + 1), length);
}

template <size_t N>
void StoreText(uint8_t (&field)[N], const std::string& text, size_t maxLength, const char* what) {
    if (text.size() > maxLength || text.size() > N - 1)
        throw std::invalid_argument(std::string(what) + " too long: " + text);
    std::memset(field, 0, N);
    field[0] = uint8_t(text.size());
    std::memcpy(field + 1, text.data(), text.size());
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Offset of the character after the one at i: two bytes for a lead byte followed by a
// possible trail byte. Trail bytes are 0x40 and above in every double-byte code page,
// so "/", ":", dots, blanks and control characters are always characters of their own.
size_t NextCharacter(const std::string& text, size_t i, const ILeadBytes& codePage) {
    const bool pair = i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x40 &&
                      codePage.IsLeadByte(static_cast<unsigned char>(text[i]));
    return i + (pair ? 2 : 1);
}

// Offset of the first "\" or "/" at or after start that is a character of its own;
// the text's size when there is none.
size_t NextSeparator(const std::string& text, size_t start, const ILeadBytes& codePage) {
    size_t i = start;
    while (i < text.size() && !IsSeparator(text[i])) i = NextCharacter(text, i, codePage);
    return std::min(i, text.size());
}

bool IsTrailerAt(const uint8_t* window) {
    return Load32(window) == kArchiveSignature &&
           Load32(window + offsetof(TSessionTrailer, EndSignature)) == kArchiveEndSignature;
}

}  // namespace

uint32_t HeaderChecksum(const uint8_t* data, size_t count) {
    uint32_t h = 0;
    for (size_t i = 0; i < count; ++i) h = h * 3u + data[i];
    return h;
}

bool DecodeTrailer(const TSessionTrailer& raw, TSessionTrailerInfo& info) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&raw);
    if (Load32(raw.Signature) != kArchiveSignature || Load32(raw.EndSignature) != kArchiveEndSignature ||
        Load32(raw.Checksum) != HeaderChecksum(bytes, offsetof(TSessionTrailer, Checksum)))
        return false;
    info.SessionStart = Load32(raw.SessionStart);
    info.SessionLength = Load32(raw.SessionLength);
    info.EntryCount = int32_t(Load32(raw.EntryCount));
    info.SessionTotal = Load32(raw.SessionTotal);
    info.ToolVersion = LoadText(raw.ToolVersion);
    info.SessionName = LoadText(raw.SessionName);
    return true;
}

bool DecodeEntryHeader(const TSessionEntryHeader& raw, TEntryHeaderInfo& info) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&raw);
    if (Load32(raw.Signature) != kArchiveSignature || Load32(raw.EndSignature) != kArchiveEndSignature ||
        Load32(raw.Checksum) != HeaderChecksum(bytes, offsetof(TSessionEntryHeader, Checksum)))
        return false;
    info.FileName = LoadText(raw.FileName);
    info.SourceDir = LoadText(raw.SourceDir);
    info.Tag = LoadText(raw.Tag);
    info.Size = Load32(raw.Size);
    info.StoredSize = Load32(raw.StoredSize);
    info.LastWriteTime = uint64_t(Load32(raw.LastWriteTime)) | uint64_t(Load32(raw.LastWriteTime + 4)) << 32;
    return true;
}

TSessionTrailer EncodeTrailer(const TSessionTrailerInfo& info) {
    TSessionTrailer raw;
    std::memset(&raw, 0, sizeof raw);
    Store32(raw.Signature, kArchiveSignature);
    Store32(raw.SessionStart, info.SessionStart);
    Store32(raw.SessionLength, info.SessionLength);
    Store32(raw.EntryCount, uint32_t(info.EntryCount));
    Store32(raw.SessionTotal, info.SessionTotal);
    StoreText(raw.ToolVersion, info.ToolVersion, kMaxToolVersionLength, "Tool version");
    StoreText(raw.SessionName, info.SessionName, kMaxSessionNameLength, "Session name");
    Store32(raw.Checksum, HeaderChecksum(reinterpret_cast<const uint8_t*>(&raw), offsetof(TSessionTrailer, Checksum)));
    Store32(raw.EndSignature, kArchiveEndSignature);
    return raw;
}

TSessionEntryHeader EncodeEntryHeader(const TEntryHeaderInfo& info) {
    TSessionEntryHeader raw;
    std::memset(&raw, 0, sizeof raw);
    Store32(raw.Signature, kArchiveSignature);
    StoreText(raw.FileName, info.FileName, kMaxEntryTextLength, "File name");
    StoreText(raw.SourceDir, info.SourceDir, kMaxEntryTextLength, "Source directory");
    StoreText(raw.Tag, info.Tag, kMaxEntryTextLength, "Tag");
    Store32(raw.Size, info.Size);
    Store32(raw.StoredSize, info.StoredSize);
    Store32(raw.LastWriteTime, uint32_t(info.LastWriteTime));
    Store32(raw.LastWriteTime + 4, uint32_t(info.LastWriteTime >> 32));
    Store32(raw.Checksum,
            HeaderChecksum(reinterpret_cast<const uint8_t*>(&raw), offsetof(TSessionEntryHeader, Checksum)));
    Store32(raw.EndSignature, kArchiveEndSignature);
    return raw;
}

namespace {

const char* const kDeviceNames[] = {"CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3",   "COM4",
                                    "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2",   "LPT3",
                                    "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9", "CONIN$", "CONOUT$"};

// Windows opens the device, not a file, for these names, whatever extension follows
// and whatever blanks end the name's first part ("con .txt" is the console too).
bool IsDeviceName(const std::string& component) {
    std::string base = component.substr(0, component.find('.'));
    base.erase(base.find_last_not_of(' ') + 1);
    for (const char* device : kDeviceNames)
        if (SameTextAscii(base, device)) return true;
    return false;
}

const char kDotsOnly[] = "is dots and blanks only (Windows reads it as \".\" or \"..\")";

// Tool tags are compared, never made a path, so they keep a rule of their own: no
// control characters, and no component of dots and blanks only, which Windows trims
// to "..", except ".".
std::string ToolTagComponentProblem(const std::string& component) {
    for (unsigned char c : component)
        if (c < 32) return "holds a control character";
    if (component != "." && component.find_first_not_of(". ") == std::string::npos) return kDotsOnly;
    return {};
}

// Why Windows cannot create a file or folder of this name in the run directory, or
// would create it under another name or open a device instead; empty when it can.
// Characters are walked with codePage, so a trail byte that looks like "\" or "|"
// belongs to its double-byte character. A NUL cuts what the system sees; it counts
// among the control characters.
std::string ComponentProblem(const std::string& component, const ILeadBytes& codePage) {
    if (component.empty()) return "is empty";
    for (size_t i = 0; i < component.size();) {
        const size_t next = NextCharacter(component, i, codePage);
        const unsigned char c = static_cast<unsigned char>(component[i]);
        if (next == i + 1 && c < 32) return "holds a control character";
        if (next == i + 1 && std::strchr("<>:\"/\\|?*", c)) return std::string("holds the character '") + char(c) + "'";
        i = next;
    }
    if (component.find_first_not_of(". ") == std::string::npos) return kDotsOnly;
    const char last = component.back();
    if (last == '.' || last == ' ') return "ends in a dot or a blank, which Windows drops";
    if (IsDeviceName(component)) return "is the name of a Windows device";
    return {};
}

}  // namespace

std::string EntryNameProblem(const std::string& name, const ILeadBytes& codePage) {
    return ComponentProblem(name, codePage);
}

bool IsSafeEntryName(const std::string& name, const ILeadBytes& codePage) {
    return EntryNameProblem(name, codePage).empty();
}

bool IsToolTag(const std::string& tag) { return tag.compare(0, 6, "QTOOL.") == 0; }

namespace {

// Walks the components of a tag or folder path: a trailing separator is harmless; an
// empty component elsewhere is a leading or doubled one (absolute or ambiguous).
template <typename TComponentRule>
std::string PathProblem(const std::string& path, const ILeadBytes& codePage, TComponentRule rule) {
    for (size_t start = 0; start <= path.size();) {
        const size_t end = NextSeparator(path, start, codePage);
        if (start == path.size() && start > 0) break;
        const std::string component = path.substr(start, end - start);
        if (component.empty()) return "a leading or doubled separator makes an empty folder name";
        const std::string problem = rule(component);
        if (!problem.empty()) return "'" + component + "' " + problem;
        start = end + 1;
    }
    return {};
}

}  // namespace

std::string RelativeFolderProblem(const std::string& folder, const ILeadBytes& codePage) {
    if (folder.empty()) return {};
    return PathProblem(folder, codePage, [&codePage](const std::string& component) {
        return component == "." ? std::string() : ComponentProblem(component, codePage);
    });
}

std::string EntryTagProblem(const std::string& tag, const ILeadBytes& codePage) {
    if (!IsToolTag(tag)) return RelativeFolderProblem(tag, codePage);
    return PathProblem(tag, codePage, ToolTagComponentProblem);
}

bool IsSafeEntryTag(const std::string& tag, const ILeadBytes& codePage) {
    return EntryTagProblem(tag, codePage).empty();
}

namespace {

constexpr uint64_t kWindow = sizeof(TSessionTrailer);

// The valid trailer in the windows ending at windowEnd, one byte further back each,
// down to the one ending at lowestEnd.
std::optional<TFoundTrailer> FindTrailerBetween(IArchiveReader& archive, uint64_t windowEnd, uint64_t lowestEnd) {
    if (windowEnd < kWindow) return std::nullopt;
    lowestEnd = std::max(lowestEnd, kWindow);

    // Read the searched range backwards in blocks that overlap by one window.
    constexpr uint64_t kBlockEnds = 64 * 1024;
    std::vector<uint8_t> block;
    uint64_t highEnd = windowEnd;
    while (highEnd >= lowestEnd) {
        const uint64_t lowEnd = highEnd - std::min(highEnd - lowestEnd, kBlockEnds - 1);
        const uint64_t first = lowEnd - kWindow;
        block.resize(size_t(highEnd - first));
        archive.Seek(first);
        const size_t got = archive.Read(block.data(), block.size());
        for (uint64_t end = highEnd; end >= lowEnd; --end) {
            const size_t at = size_t(end - kWindow - first);
            if (at + kWindow > got || !IsTrailerAt(block.data() + at)) continue;
            TSessionTrailer raw;
            std::memcpy(&raw, block.data() + at, kWindow);
            TFoundTrailer found;
            if (DecodeTrailer(raw, found.Info)) {
                found.Offset = end - kWindow;
                return found;
            }
        }
        if (lowEnd == lowestEnd) break;
        highEnd = lowEnd - 1;
    }
    return std::nullopt;
}

// Signing appends the certificate table after everything else, so a signed show's last
// session ends where the table starts, give or take the padding put before it.
std::optional<TFoundTrailer> FindTrailerBeforeSignature(IArchiveReader& archive) {
    const std::optional<uint64_t> table = TrailingCertificateTableStart(archive);
    if (!table) return std::nullopt;
    const uint64_t padding = kCertificateTableAlignment - 1;
    return FindTrailerBetween(archive, *table, *table > padding ? *table - padding : 0);
}

}  // namespace

std::optional<TFoundTrailer> FindLastTrailer(IArchiveReader& archive, bool scan) {
    if (std::optional<TFoundTrailer> found = FindTrailerBeforeSignature(archive)) return found;
    return FindTrailer(archive, archive.Size(), scan);
}

std::optional<TFoundTrailer> FindTrailer(IArchiveReader& archive, uint64_t windowEnd, bool scan) {
    return FindTrailerBetween(archive, windowEnd, scan ? std::min(windowEnd, kTrailerSearchFloor) : windowEnd);
}

std::optional<TFoundTrailer> FindSession(IArchiveReader& archive, const std::string& sessionName, bool scan) {
    std::optional<TFoundTrailer> found = FindLastTrailer(archive, scan);
    while (found && found->Info.SessionName != sessionName) {
        if (found->Info.SessionStart > found->Offset) return std::nullopt;
        found = FindTrailer(archive, found->Info.SessionStart, scan);
    }
    return found;
}

std::vector<TFoundTrailer> ListSessions(IArchiveReader& archive) {
    std::vector<TFoundTrailer> sessions;
    for (std::optional<TFoundTrailer> found = FindLastTrailer(archive, true); found;) {
        sessions.push_back(*found);
        if (found->Info.SessionStart > found->Offset) break;
        found = FindTrailer(archive, found->Info.SessionStart, true);
    }
    return sessions;
}

bool EndsInsideASession(IArchiveReader& archive) {
    const uint64_t size = archive.Size();
    if (FindTrailer(archive, size, true)) return false;
    // Blocks overlap by one header less a byte, so every offset is looked at once.
    constexpr uint64_t kHeader = sizeof(TSessionEntryHeader), kBlock = 1 << 20;
    std::vector<uint8_t> block;
    for (uint64_t first = 0; first + kHeader <= size; first += kBlock) {
        block.resize(size_t(std::min(kBlock + kHeader - 1, size - first)));
        archive.Seek(first);
        const size_t got = archive.Read(block.data(), block.size());
        for (size_t at = 0; at + kHeader <= got && at < kBlock; ++at) {
            if (Load32(block.data() + at) != kArchiveSignature) continue;
            TSessionEntryHeader raw;
            std::memcpy(&raw, block.data() + at, sizeof raw);
            TEntryHeaderInfo info;
            if (DecodeEntryHeader(raw, info)) return true;
        }
    }
    return false;
}

}  // namespace quindle
