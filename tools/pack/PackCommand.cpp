// quindle-pack pack: argument parsing for appending a session.
#include <cstdio>
#include <filesystem>

#include "package/SessionArchive.h"
#include "tools/pack/CommandLine.h"
#include "tools/pack/PackInputs.h"
#include "tools/pack/SessionPacker.h"

namespace quindle::pack {

namespace {
const char* const kPackHelp =
    "usage: quindle-pack pack --stub RUNNER.exe --out SHOW.exe [--session NAME] [--level 0-9]\n"
    "                         [--threads N] INPUT...\n"
    "Appends a session to a copy of the runner. An INPUT is a file, a folder (its top-level\n"
    "files untagged, files in subfolders tagged with their relative folder path, written\n"
    "with backslashes; under an active --tag both are prefixed with that tag), or\n"
    "--tag TAG, which tags the files after it (--tag \"\" clears it).\n"
    "  --session NAME  session name, under 64 characters (default Session1)\n"
    "  --level N       zlib level (default 6)\n"
    "  --threads N     compression threads (default: every core)\n";
}  // namespace

int RunPack(ArgumentList& args) {
    if (args.AskedForHelp()) {
        std::fputs(kPackHelp, stdout);
        return 0;
    }
    PackOptions options;
    PackInputList inputs;
    while (!args.Done()) {
        const std::string arg = args.Take();
        if (arg == "--stub") options.stub = args.ValueOf(arg);
        else if (arg == "--out") options.out = args.ValueOf(arg);
        else if (arg == "--session") options.session = args.ValueOf(arg);
        else if (arg == "--level") options.level = ParseIntOption(arg, args.ValueOf(arg), 0, 9);
        else if (arg == "--threads") options.threads = unsigned(ParseIntOption(arg, args.ValueOf(arg), 1, 1024));
        else if (arg == "--tag") inputs.SetTag(args.ValueOf(arg));
        else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) throw UsageError("unknown option " + arg);
        else inputs.Add(arg);
    }
    if (options.stub.empty()) throw UsageError("missing --stub RUNNER.exe");
    if (options.out.empty()) throw UsageError("missing --out SHOW.exe");
    if (!std::filesystem::is_regular_file(options.stub)) throw UsageError("stub not found: " + options.stub);
    if (inputs.Inputs().empty()) throw UsageError("no input files");
    if (options.session.size() > kMaxSessionNameLength)
        throw UsageError("session name of 64 or more characters: " + options.session);
    PackSession(options, inputs.Inputs());
    return 0;
}

}  // namespace quindle::pack
