// quindle-pack verify: runs the runner's extractor over every session with the
// written bytes thrown away, so a fault is reported with the runner's own message.
#include <cstdio>

#include "package/SessionArchive.h"
#include "package/SessionExtractor.h"
#include "tools/pack/CommandLine.h"
#include "tools/pack/HostFiles.h"

namespace quindle::pack {

namespace {

const char* const kVerifyHelp =
    "usage: quindle-pack verify SHOW.exe\n"
    "Walks every session, checks every header and inflates every entry to its size.\n"
    "Exit 0 when sound, else 1 with the runner's message for the first fault.\n";

// The archive seen as ending at one session's trailer, so each session, including one
// hidden behind a later session of the same name, is the last in its view.
class TSessionView : public IArchiveReader {
public:
    TSessionView(std::unique_ptr<IArchiveReader> inner, uint64_t end) : inner_(std::move(inner)), end_(end) {}
    uint64_t Size() override { return end_; }
    void Seek(uint64_t position) override {
        position_ = position;
        inner_->Seek(position);
    }
    size_t Read(void* buffer, size_t count) override {
        if (position_ >= end_) return 0;
        const size_t got = inner_->Read(buffer, size_t(std::min<uint64_t>(count, end_ - position_)));
        position_ += got;
        return got;
    }

private:
    std::unique_ptr<IArchiveReader> inner_;
    uint64_t end_;
    uint64_t position_ = 0;
};

class TDiscard : public IArchiveWriter {
public:
    void Write(const void*, size_t) override {}
    bool SetLastWriteTime(uint64_t) override { return true; }
};

class TVerifyFiles : public IArchiveFileSystem {
public:
    TVerifyFiles(IArchiveFileSystem& host, uint64_t end) : host_(host), end_(end) {}
    std::unique_ptr<IArchiveReader> OpenArchive(const std::string& path) override {
        return std::make_unique<TSessionView>(host_.OpenArchive(path), end_);
    }
    std::unique_ptr<IArchiveWriter> CreateExclusive(const std::string&) override {
        return std::make_unique<TDiscard>();
    }
    bool RemoveFile(const std::string&) override { return true; }
    std::string OwnExecutablePath() override { return std::string(); }
    bool IsLeadByte(unsigned char c) const override { return host_.IsLeadByte(c); }

private:
    IArchiveFileSystem& host_;
    uint64_t end_;
};

}  // namespace

int RunVerify(TArgumentList& args) {
    if (args.Done()) throw EUsageError("missing SHOW.exe");
    const std::string show = args.Take();
    if (IsHelpRequest(show)) {
        std::fputs(kVerifyHelp, stdout);
        return 0;
    }
    if (!args.Done()) throw EUsageError("unexpected argument " + args.Take());

    auto host = MakeHostFileSystem();
    const std::unique_ptr<IArchiveReader> archive = host->OpenArchive(show);
    std::vector<TFoundTrailer> sessions = ListSessions(*archive);
    if (sessions.empty()) throw std::runtime_error(SessionNotFoundMessage(*archive, show));
    int entries = 0;
    for (const TFoundTrailer& session : sessions) {
        TVerifyFiles files(*host, session.Offset + sizeof(TSessionTrailer));
        TSessionExtractor extractor(files);
        extractor.UseOwnExecutable = false;
        extractor.ScanForTrailer = false;
        extractor.ArchiveFileName = show;
        extractor.Extract(session.Info.SessionName);
        entries += session.Info.EntryCount > 0 ? session.Info.EntryCount : 0;
    }
    std::printf("%s: %zu session(s), %d entries, sound\n", show.c_str(), sessions.size(), entries);
    return 0;
}

}  // namespace quindle::pack
