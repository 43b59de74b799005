// TSessionExtractor: reads the session archive appended to an executable and writes
// one named session to disk; a callback decides where each entry goes.
//
// Failures are std::runtime_error whose what() is the user-visible text:
//   "Session name too long"                         requested name of 64 or more characters
//   "Cannot open file " + path                      archive cannot be opened (or is a folder)
//   "Session not found on extract from " + path     no valid trailer with that name; when the file
//                                                   holds entries but no trailer at all, followed by
//                                                   ": the file ends inside its session (...)"
//   "Stream read error on extract from " + path + ": the file ends inside its session"
//                                                   an entry header cut off by the end of the file
//   "File prefix format error on extract from " + path   entry header signature or checksum wrong
//   "Unsafe entry name on extract from " + path + ": \"NAME\" " + why
//                                                   entry name or tag Windows cannot create in the
//                                                   destination, or routed below it into a folder
//                                                   Windows cannot create
//   "Cannot create file " + path                    destination file cannot be created
//   "Extract error on entry \"NAME\" of " + path + ": " + fault   (EDamagedEntry)
//                                                   the entry's data is not whole: the file ends
//                                                   inside it, inflate finds it corrupt (zlib's
//                                                   message, a wrong Adler-32 among them), or its
//                                                   zlib stream does not end, within its stored
//                                                   size, after exactly Size bytes
//   "Stream read error"                             the system refuses a read of the archive
//   "Stream write error"                            destination disk full
// The archive is closed and the unfinished file deleted before the error leaves.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "package/ArchiveFiles.h"
#include "package/WholeEntry.h"

namespace quindle {

class TArchiveCursor;
struct TEntryHeaderInfo;

class TSessionExtractor {
public:
    // OnFile(Sender, var FileName, var Dir, var Skip)
    using TFileEvent =
        std::function<void(TSessionExtractor& sender, std::string& fileName, std::string& dir, bool& skip)>;
    // OnProgress / OnFileProgress(Sender, FileName, Percent, var Cancel)
    using TProgressEvent =
        std::function<void(TSessionExtractor& sender, const std::string& fileName, int32_t percent, bool& cancel)>;

    explicit TSessionExtractor(IArchiveFileSystem& files);
    virtual ~TSessionExtractor();

    TFileEvent OnFile;
    TProgressEvent OnProgress, OnFileProgress;
    bool UseOwnExecutable = true;
    bool ScanForTrailer = true;
    std::string ArchiveFileName, DestinationDir;
    int32_t SessionTotal = 0, SessionDone = 0, EntrySize = 0, EntryDone = 0;
    std::string EntryName, EntryTag;
    // Compressed entries of at most this many bytes are inflated at once in memory
    // (package/WholeEntry.h), larger ones stream; 0 streams every entry.
    uint32_t WholeEntryLimit = kWholeEntryLimit;

    // A cancel from either progress event ends the extraction early without an error.
    void Extract(const std::string& sessionName);
    // Percent = MulDiv(done, 100, total) over the unsigned byte counts: nearest integer,
    // -1 for a total of 0.
    virtual bool NotifyProgress();
    virtual bool NotifyFileProgress();

private:
    // False when a progress event cancelled.
    bool WriteEntry(TArchiveCursor& cursor, const TEntryHeaderInfo& entry, const std::string& dir,
                    const std::string& archivePath, TWholeEntryInflater& whole);

    IArchiveFileSystem& files_;
};

// "Session not found on extract from " + archivePath, followed by what the file shows
// of why: it ends inside its session.
std::string SessionNotFoundMessage(IArchiveReader& archive, const std::string& archivePath);

// Reads the entry header at the cursor and checks it as the extraction does: its
// signature and checksum, and a name and tag that stay inside the destination.
TEntryHeaderInfo ReadEntryHeader(TArchiveCursor& cursor, const std::string& archivePath,
                                 const ILeadBytes& codePage = SingleByteCodePage());

}  // namespace quindle
