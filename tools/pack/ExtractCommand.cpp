// quindle-pack extract: writes a session's entries below a folder through the
// runner's own extractor.
#include <cstdio>

#include "package/SessionArchive.h"
#include "package/SessionExtractor.h"
#include "tools/pack/CommandLine.h"
#include "tools/pack/HostFiles.h"
#include "tools/pack/Progress.h"

namespace quindle::pack {

namespace {
const char* const kExtractHelp =
    "usage: quindle-pack extract SHOW.exe --to DIR [--session NAME]\n"
    "Writes the session's entries into DIR (tagged ones into DIR/TAG/, except tool tags\n"
    "beginning with QTOOL., which the runner never turns into a folder), restoring their\n"
    "last-write times. The session defaults to Session1.\n";
}  // namespace

int RunExtract(TArgumentList& args) {
    if (args.AskedForHelp()) {
        std::fputs(kExtractHelp, stdout);
        return 0;
    }
    std::string show, to, session = kRunnerSessionName;
    while (!args.Done()) {
        const std::string arg = args.Take();
        if (arg == "--to")
            to = args.ValueOf(arg);
        else if (arg == "--session")
            session = args.ValueOf(arg);
        else if (arg.compare(0, 2, "--") == 0 || !show.empty())
            throw EUsageError("unexpected argument " + arg);
        else
            show = arg;
    }
    if (show.empty()) throw EUsageError("missing SHOW.exe");
    if (to.empty()) throw EUsageError("missing --to DIR");

    MakeDirectories(to);
    auto files = MakeHostFileSystem();
    TSessionExtractor extractor(*files);
    extractor.UseOwnExecutable = false;
    extractor.ArchiveFileName = show;
    extractor.DestinationDir = to;
    extractor.OnFile = [&to](TSessionExtractor& sender, std::string&, std::string& dir, bool&) {
        // Tool entries land beside the others, as in the runner: their tag is no path.
        if (sender.EntryTag.empty() || IsToolTag(sender.EntryTag)) return;
        dir = to + "\\" + sender.EntryTag;
        MakeDirectories(dir);
    };
    std::unique_ptr<TProgressBar> progress;
    extractor.OnProgress = [&progress](TSessionExtractor& sender, const std::string&, int32_t, bool&) {
        if (!progress) progress = std::make_unique<TProgressBar>("extracting", uint32_t(sender.SessionTotal));
        progress->Update(uint32_t(sender.SessionDone));
    };
    extractor.Extract(session);
    return 0;
}

}  // namespace quindle::pack
