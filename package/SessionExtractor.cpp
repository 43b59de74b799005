// The session extractor: finds the named session, walks its entries and writes
// each one out in 64 KiB chunks, reporting progress and honouring cancels.
#include "package/SessionExtractor.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "package/ArchiveCursor.h"
#include "package/EntryData.h"
#include "package/SessionArchive.h"

namespace quindle {

namespace {

constexpr uint32_t kChunk = 65536;

// A destination file until it is finished: closed and deleted unless committed.
class TUnfinishedFile {
public:
    TUnfinishedFile(IArchiveFileSystem& files, const std::string& path)
        : files_(files), path_(path), writer_(files.CreateExclusive(path)) {}
    ~TUnfinishedFile() {
        if (!writer_) return;
        writer_.reset();
        files_.RemoveFile(path_);
    }
    IArchiveWriter& Writer() { return *writer_; }
    void Commit() { writer_.reset(); }

private:
    IArchiveFileSystem& files_;
    std::string path_;
    std::unique_ptr<IArchiveWriter> writer_;
};

int32_t Wrap(int64_t value) { return int32_t(uint32_t(uint64_t(value))); }

// MulDiv(done, 100, total) over the counters read as the unsigned byte counts they are:
// an entry of 2 GiB or more must not report a negative percentage.
int32_t ProgressPercent(int32_t done, int32_t total) {
    const uint64_t d = uint32_t(done), t = uint32_t(total);
    if (t == 0) return -1;
    return int32_t(std::min<uint64_t>((d * 100 + t / 2) / t, INT32_MAX));
}

[[noreturn]] void RefuseName(const std::string& archivePath, const std::string& name, const std::string& problem) {
    throw std::runtime_error("Unsafe entry name on extract from " + archivePath + ": \"" + name + "\" " + problem);
}

// A folder name may follow directly: the path ends in a separator or a drive's colon.
bool EndsInSeparator(const std::string& path, const ILeadBytes& codePage) {
    return EndsInBackslash(path, codePage) || path.back() == '/' || path.back() == ':';
}

// What the routing places below the destination directory must be folders Windows
// can create there, never a stream (":") or a drive-relative path made of an entry's
// text; and the name it gives must be one Windows can create. A routing may still send
// an entry somewhere else altogether (Dir is its choice).
void CheckDestination(const std::string& destination, const std::string& dir, const std::string& name,
                      const std::string& archivePath, const ILeadBytes& codePage) {
    std::string problem = EntryNameProblem(name, codePage);
    if (problem.empty() && !destination.empty() && dir.compare(0, destination.size(), destination) == 0) {
        std::string below = dir.substr(destination.size());
        const bool separated = EndsInSeparator(destination, codePage);
        if (!separated && !below.empty() && below[0] != '\\' && below[0] != '/') return;  // a sibling folder
        if (!separated && !below.empty()) below.erase(0, 1);
        if (!RelativeFolderProblem(below, codePage).empty())
            problem = "is routed to " + dir + ", where " + RelativeFolderProblem(below, codePage);
    }
    if (!problem.empty()) RefuseName(archivePath, name, problem);
}

}  // namespace

std::string SessionNotFoundMessage(IArchiveReader& archive, const std::string& archivePath) {
    return "Session not found on extract from " + archivePath +
           (EndsInsideASession(archive) ? ": the file ends inside its session (cut short, or its trailer damaged)"
                                        : "");
}

TEntryHeaderInfo ReadEntryHeader(TArchiveCursor& cursor, const std::string& archivePath, const ILeadBytes& codePage) {
    TSessionEntryHeader raw;
    if (cursor.Read(&raw, sizeof raw) != sizeof raw)
        throw std::runtime_error("Stream read error on extract from " + archivePath +
                                 ": the file ends inside its session");
    TEntryHeaderInfo entry;
    if (!DecodeEntryHeader(raw, entry))
        throw std::runtime_error("File prefix format error on extract from " + archivePath);
    std::string problem = EntryNameProblem(entry.FileName, codePage);
    if (problem.empty() && !EntryTagProblem(entry.Tag, codePage).empty())
        problem = "has the tag \"" + entry.Tag + "\", in which " + EntryTagProblem(entry.Tag, codePage);
    if (!problem.empty()) RefuseName(archivePath, entry.FileName, problem);
    return entry;
}

TSessionExtractor::TSessionExtractor(IArchiveFileSystem& files) : files_(files) {}

TSessionExtractor::~TSessionExtractor() = default;

bool TSessionExtractor::NotifyProgress() {
    if (!OnProgress) return false;
    bool cancel = false;
    OnProgress(*this, EntryName, ProgressPercent(SessionDone, SessionTotal), cancel);
    return cancel;
}

bool TSessionExtractor::NotifyFileProgress() {
    if (!OnFileProgress) return false;
    bool cancel = false;
    OnFileProgress(*this, EntryName, ProgressPercent(EntryDone, EntrySize), cancel);
    return cancel;
}

void TSessionExtractor::Extract(const std::string& sessionName) {
    if (sessionName.size() > kMaxSessionNameLength) throw std::runtime_error("Session name too long");
    const std::string archivePath = UseOwnExecutable ? files_.OwnExecutablePath() : ArchiveFileName;
    std::unique_ptr<IArchiveReader> archive = files_.OpenArchive(archivePath);

    std::optional<TFoundTrailer> session = FindSession(*archive, sessionName, ScanForTrailer);
    if (!session) throw std::runtime_error(SessionNotFoundMessage(*archive, archivePath));
    SessionTotal = int32_t(session->Info.SessionTotal);
    if (SessionTotal == 0) return;

    TArchiveCursor cursor(*archive, session->Info.SessionStart);
    TWholeEntryInflater whole(WholeEntryLimit);
    SessionDone = 0;
    for (int32_t i = 0; i < session->Info.EntryCount; ++i) {
        const TEntryHeaderInfo entry = ReadEntryHeader(cursor, archivePath, files_);
        EntryName = entry.FileName;
        EntrySize = int32_t(entry.Size);
        EntryTag = entry.Tag;
        if (NotifyProgress()) return;

        std::string dir = DestinationDir.empty() ? entry.SourceDir : DestinationDir;
        bool skip = false;
        if (OnFile) OnFile(*this, EntryName, dir, skip);
        if (!dir.empty() && dir.back() != ':' && dir.back() != '\\') dir += '\\';
        if (!skip) CheckDestination(DestinationDir, dir, EntryName, archivePath, files_);

        if (skip)
            cursor.Seek(cursor.Position() + entry.StoredSize);
        else if (!WriteEntry(cursor, entry, dir, archivePath, whole))
            return;
        SessionDone = Wrap(int64_t(SessionDone) + entry.Size);
        if (NotifyProgress()) return;
    }
}

bool TSessionExtractor::WriteEntry(TArchiveCursor& cursor, const TEntryHeaderInfo& entry, const std::string& dir,
                                   const std::string& archivePath, TWholeEntryInflater& whole) {
    TUnfinishedFile file(files_, dir + EntryName);
    EntryDone = 0;
    if (NotifyFileProgress()) return false;

    // Declared after the file so the inflater is released before the file is deleted.
    TEntryDataReader data(cursor, entry, archivePath, &whole);
    for (uint32_t left = entry.Size; left > 0;) {
        const uint32_t length = std::min(left, kChunk);
        file.Writer().Write(data.Read(length), length);
        left -= length;
        EntryDone = Wrap(int64_t(EntryDone) + length);
        if (NotifyFileProgress()) return false;
    }
    // The file is finished only once its data is proven whole.
    data.Finish();
    file.Writer().SetLastWriteTime(entry.LastWriteTime);
    file.Commit();
    return true;
}

}  // namespace quindle
