// quindle-pack extract: writes a session's entries below a folder through the
// runner's own extractor. It never writes over a file that is there unless --force,
// and never loses one: each entry is written under a temporary name and takes its
// place only once its data is proven whole, so a failure removes only what this run made.
#include <cstdio>
#include <functional>
#include <memory>

#include "base/Text.h"
#include "package/SessionArchive.h"
#include "package/SessionExtractor.h"
#include "tools/pack/CodePage.h"
#include "tools/pack/CommandLine.h"
#include "tools/pack/HostFiles.h"
#include "tools/pack/Progress.h"

namespace quindle::pack {

namespace {

const char* const kExtractHelp =
    "usage: quindle-pack extract SHOW.exe --to DIR [--session NAME] [--force] [--codepage N]\n"
    "Writes the session's entries into DIR (tagged ones into DIR/TAG/, except tool tags\n"
    "beginning with QTOOL., which the runner never turns into a folder), restoring their\n"
    "last-write times. The session defaults to Session1.\n"
    "Files already in DIR are not replaced: they are listed and nothing is written\n"
    "(exit 2), unless --force. A damaged entry (exit 1) leaves every file that was there\n"
    "as it was.\n"
    "  --codepage N  the show's Windows code page, for its names (default 1252)\n";

const char* const kUnfinished = ".quindle-partial";

// An entry is written beside its place and moved there once finished, i.e. once the
// extractor sets its last-write time after proving its data whole.
class TPlacedWriter : public IArchiveWriter {
public:
    TPlacedWriter(std::unique_ptr<IArchiveWriter> inner, std::string temp, std::string path)
        : inner_(std::move(inner)), temp_(std::move(temp)), path_(std::move(path)) {}
    void Write(const void* data, size_t count) override { inner_->Write(data, count); }
    bool SetLastWriteTime(uint64_t fileTime) override {
        const bool set = inner_->SetLastWriteTime(fileTime);
        inner_.reset();
        MoveReplacing(temp_, path_);
        return set;
    }

private:
    std::unique_ptr<IArchiveWriter> inner_;
    std::string temp_, path_;
};

class TPlacingFiles : public IArchiveFileSystem {
public:
    explicit TPlacingFiles(IArchiveFileSystem& host) : host_(host) {}
    std::unique_ptr<IArchiveReader> OpenArchive(const std::string& path) override { return host_.OpenArchive(path); }
    std::unique_ptr<IArchiveWriter> CreateExclusive(const std::string& path) override {
        return std::make_unique<TPlacedWriter>(host_.CreateExclusive(path + kUnfinished), path + kUnfinished, path);
    }
    // The extractor removes an entry it could not finish: only its temporary file exists.
    bool RemoveFile(const std::string& path) override { return host_.RemoveFile(path + kUnfinished); }
    std::string OwnExecutablePath() override { return {}; }
    bool IsLeadByte(unsigned char c) const override { return host_.IsLeadByte(c); }

private:
    IArchiveFileSystem& host_;
};

struct TExtractArguments {
    std::string show, to, session = kRunnerSessionName;
    bool force = false;
    int codePage = kDefaultCodePage;
};

// The extractor set up for the show, routing as the command does: tagged entries into
// DIR/TAG (tool entries land beside the others, as in the runner: their tag is no
// path), names as the host spells them. onEntry sees each entry's full path.
void SetUpExtractor(TSessionExtractor& extractor, const TExtractArguments& a,
                    std::function<void(const std::string& path, bool& skip)> onEntry) {
    extractor.UseOwnExecutable = false;
    extractor.ArchiveFileName = a.show;
    extractor.DestinationDir = a.to;
    extractor.OnFile = [a, onEntry](TSessionExtractor& sender, std::string& fileName, std::string& dir, bool& skip) {
        fileName = HostFileName(fileName, a.codePage);
        if (!sender.EntryTag.empty() && !IsToolTag(sender.EntryTag))
            dir = a.to + "\\" + HostFileName(sender.EntryTag, a.codePage);
        onEntry(WithTrailingBackslash(dir) + fileName, skip);
    };
}

// The files of the session that are in DIR already, found by a pass over the headers.
std::vector<std::string> FilesInTheWay(const TExtractArguments& a) {
    auto files = MakeHostFileSystem();
    TSessionExtractor extractor(*files);
    std::vector<std::string> found;
    SetUpExtractor(extractor, a, [&found](const std::string& path, bool& skip) {
        if (HostPathExists(path)) found.push_back(HostPath(path));
        skip = true;
    });
    extractor.Extract(a.session);
    return found;
}

}  // namespace

int RunExtract(TArgumentList& args) {
    TExtractArguments a;
    while (!args.Done()) {
        const std::string arg = args.Take();
        if (IsHelpRequest(arg)) {
            std::fputs(kExtractHelp, stdout);
            return 0;
        } else if (arg == "--to")
            a.to = args.ValueOf(arg);
        else if (arg == "--session")
            a.session = args.ValueOf(arg);
        else if (arg == "--force")
            a.force = true;
        else if (arg == "--codepage")
            a.codePage = CodePageOption(args, arg);
        else if (arg.compare(0, 2, "--") == 0 || !a.show.empty())
            throw EUsageError("unexpected argument " + arg);
        else
            a.show = arg;
    }
    if (a.show.empty()) throw EUsageError("missing SHOW.exe");
    if (a.to.empty()) throw EUsageError("missing --to DIR");

    if (!a.force) {
        const std::vector<std::string> inTheWay = FilesInTheWay(a);
        for (const std::string& path : inTheWay)
            std::fprintf(stderr, "quindle-pack: already there: %s\n", path.c_str());
        if (!inTheWay.empty())
            throw EUsageError(std::to_string(inTheWay.size()) + " file(s) of the show are in " + a.to +
                              " already: nothing written (--force replaces them)");
    }
    MakeDirectories(a.to);
    auto host = MakeHostFileSystem();
    TPlacingFiles files(*host);
    TSessionExtractor extractor(files);
    SetUpExtractor(extractor, a, [](const std::string& path, bool&) { MakeDirectories(FolderPart(path)); });
    std::unique_ptr<TProgressBar> progress;
    extractor.OnProgress = [&progress](TSessionExtractor& sender, const std::string&, int32_t, bool&) {
        if (!progress) progress = std::make_unique<TProgressBar>("extracting", uint32_t(sender.SessionTotal));
        progress->Update(uint32_t(sender.SessionDone));
    };
    extractor.Extract(a.session);
    return 0;
}

}  // namespace quindle::pack
