// quindle-pack pack: argument parsing for appending a session; the checks of what it
// packs run in PackChecks before anything is written.
#include <cstdio>

#include "package/SessionArchive.h"
#include "tools/pack/CommandLine.h"
#include "tools/pack/IniCheck.h"
#include "tools/pack/PackChecks.h"
#include "tools/pack/ParallelDeflate.h"
#include "tools/pack/PasswordReadBack.h"
#include "tools/pack/SessionPacker.h"

namespace quindle::pack {

namespace {
const char* const kPackHelp =
    "usage: quindle-pack pack --stub RUNNER.exe --out SHOW.exe [--session NAME] [--level 0-12]\n"
    "                         [--threads N] [--password TEXT | --password-file F] [--codepage N]\n"
    "                         [--strict] [--add-session] [--strip-signature] INPUT...\n"
    "Appends a session to a copy of the runner. An INPUT is a file, a folder (its top-level\n"
    "files untagged, files in subfolders tagged with their relative folder path, written\n"
    "with backslashes; under an active --tag both are prefixed with that tag), or\n"
    "--tag TAG, which tags the files after it (--tag \"\" clears it).\n"
    "The project ini among the inputs (the last .ini, as the runner picks it) is checked\n"
    "as by quindle-pack check; its warnings are printed.\n"
    "Refused before anything is written (exit 2): an output that is the stub or an input,\n"
    "a signed stub, a stub holding a session already, no program among the inputs, two entries the\n"
    "runner would write to one file, names Windows cannot create or the code page cannot\n"
    "hold, a packaged show found in an input folder, an ini in UTF-16 or with a UTF-8\n"
    "byte order mark, a password nobody can use.\n"
    "  --session NAME     session name, under 64 characters (default Session1)\n"
    "  --level N          compression level (default 6): 1 to 9 as zlib's, 10 to 12 slower and\n"
    "                     smaller (libdeflate's); every level writes zlib streams any runner reads\n"
    "  --threads N        compression threads (default: every core)\n"
    "  --password TEXT    packs the ini with Password=1 and AlignmentX set to the hash of TEXT;\n"
    "                     the password itself is stored nowhere\n"
    "  --password-file F  the same with the password read from F (UTF-8, one line)\n"
    "  --codepage N       the show's Windows code page (default 1252): names, tags, ini texts\n"
    "                     and the password are stored in it\n"
    "  --strict           warnings are errors: nothing is written\n"
    "  --add-session      the stub may hold sessions already; one more is added\n"
    "  --strip-signature  a signed stub is refused, since the session would break its\n"
    "                     signature; with this, the show is packed onto the stub without\n"
    "                     its signature (sign the packed show afterwards)\n";

// The first line of the file, without a UTF-8 byte order mark.
std::string PasswordFromFile(const std::string& path) {
    std::string text = ReadIniFile(path);
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    return text.substr(0, text.find_first_of("\r\n"));
}

}  // namespace

int RunPack(TArgumentList& args) {
    TPackRequest request;
    TPackOptions& options = request.options;
    while (!args.Done()) {
        const std::string arg = args.Take();
        if (IsHelpRequest(arg)) {
            std::fputs(kPackHelp, stdout);
            return 0;
        } else if (arg == "--stub")
            options.stub = args.ValueOf(arg);
        else if (arg == "--out")
            options.out = args.ValueOf(arg);
        else if (arg == "--session")
            options.session = args.ValueOf(arg);
        else if (arg == "--level")
            options.level = ParseIntOption(arg, args.ValueOf(arg), 0, kMaxPackLevel);
        else if (arg == "--threads")
            options.threads = unsigned(ParseIntOption(arg, args.ValueOf(arg), 1, 1024));
        else if (arg == "--tag")
            request.inputs.SetTag(args.TextValueOf(arg));
        else if (arg == "--codepage")
            request.codePage = CodePageOption(args, arg);
        else if (arg == "--strict")
            request.strict = true;
        else if (arg == "--add-session")
            request.addSession = true;
        else if (arg == "--strip-signature")
            request.stripSignature = true;
        else if (arg == "--password" || arg == "--password-file") {
            if (request.password.given) throw EUsageError("give the password once");
            request.password.given = true;
            request.password.source = arg == "--password" ? arg : args.ValueOf(arg);
            request.password.text =
                arg == "--password" ? args.TextValueOf(arg) : PasswordFromFile(request.password.source);
        } else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0)
            throw EUsageError("unknown option " + arg);
        else
            request.inputs.Add(arg, args.CurrentText());
    }
    if (options.stub.empty()) throw EUsageError("missing --stub RUNNER.exe");
    if (options.out.empty()) throw EUsageError("missing --out SHOW.exe");
    if (options.session.size() > kMaxSessionNameLength)
        throw EUsageError("session name of 64 or more characters: " + options.session);
    const uint32_t hash = CheckPackRequest(request);
    PackSession(options, request.inputs.Inputs(), [&request, hash](const std::string& written) {
        if (request.password.given) CheckPasswordReadsBack(written, hash);
    });
    return 0;
}

}  // namespace quindle::pack
