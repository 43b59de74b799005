// TSessionExtractor: reads the session archive appended to an executable and writes
// one named session to disk; a callback decides where each entry goes.
//
// Failures are std::runtime_error whose what() is the user-visible text:
//   "Session name too long"                         requested name of 64 or more characters
//   "Cannot open file " + path                      archive cannot be opened
//   "Session not found on extract from " + path     no valid trailer with that name
//   "File prefix format error on extract from " + path   entry header signature or checksum wrong
//   "Unsafe entry name on extract from " + path     entry name or tag would leave the destination
//   "Cannot create file " + path                    destination file cannot be created
//   "Extract error on " + dir + name                entry data ends early (raw data at the end of
//                                                   the file, a zlib stream ending short of Size)
//   "Stream read error"                             archive ends inside a header or a zlib stream
//   "error"                                         inflate finds the data corrupt
//   "Stream write error"                            destination disk full
// The archive is closed and the unfinished file deleted before the error leaves.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "package/ArchiveFiles.h"

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

    // A cancel from either progress event ends the extraction early without an error.
    void Extract(const std::string& sessionName);
    // Percent = MulDiv(done, 100, total) over the unsigned byte counts: nearest integer,
    // -1 for a total of 0.
    virtual bool NotifyProgress();
    virtual bool NotifyFileProgress();

private:
    // False when a progress event cancelled.
    bool WriteEntry(TArchiveCursor& cursor, const TEntryHeaderInfo& entry, const std::string& dir,
                    std::vector<uint8_t>& chunk);

    IArchiveFileSystem& files_;
};

// Reads the entry header at the cursor and checks it as the extraction does: its
// signature and checksum, and a name and tag that stay inside the destination.
TEntryHeaderInfo ReadEntryHeader(TArchiveCursor& cursor, const std::string& archivePath,
                                 const ILeadBytes& codePage = SingleByteCodePage());

}  // namespace quindle
