// quindle-pack pack: argument parsing for appending a session, the check of the
// project ini it packs and the password it sets.
#include <cstdio>
#include <filesystem>

#include "package/SessionArchive.h"
#include "tools/pack/CodePage.h"
#include "tools/pack/CommandLine.h"
#include "tools/pack/IniCheck.h"
#include "tools/pack/PackInputs.h"
#include "tools/pack/PasswordIni.h"
#include "tools/pack/SessionPacker.h"
#include "tools/pack/SessionRouting.h"
#include "tools/pack/Signature.h"
#include "window/HashPassword.h"

namespace quindle::pack {

namespace {
const char* const kPackHelp =
    "usage: quindle-pack pack --stub RUNNER.exe --out SHOW.exe [--session NAME] [--level 0-9]\n"
    "                         [--threads N] [--password TEXT | --password-file F] [--codepage N]\n"
    "                         [--strict] [--strip-signature] INPUT...\n"
    "Appends a session to a copy of the runner. An INPUT is a file, a folder (its top-level\n"
    "files untagged, files in subfolders tagged with their relative folder path, written\n"
    "with backslashes; under an active --tag both are prefixed with that tag), or\n"
    "--tag TAG, which tags the files after it (--tag \"\" clears it).\n"
    "The project ini among the inputs (the last .ini, as the runner picks it) is checked\n"
    "as by quindle-pack check; its warnings are printed.\n"
    "  --session NAME     session name, under 64 characters (default Session1)\n"
    "  --level N          zlib level (default 6)\n"
    "  --threads N        compression threads (default: every core)\n"
    "  --password TEXT    packs the ini with Password=1 and AlignmentX set to the hash of TEXT;\n"
    "                     the password itself is stored nowhere\n"
    "  --password-file F  the same with the password read from F (UTF-8, one line)\n"
    "  --codepage N       the Windows code page the password is typed in (default 1252)\n"
    "  --strict           the ini's warnings are errors: nothing is written\n"
    "  --strip-signature  a signed stub is refused, since the session would break its\n"
    "                     signature; with this, the show is packed onto the stub without\n"
    "                     its signature (sign the packed show afterwards)\n";

// The first line of the file, without a UTF-8 byte order mark.
std::string PasswordFromFile(const std::string& path) {
    std::string text = ReadIniFile(path);
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    return text.substr(0, text.find_first_of("\r\n"));
}

struct TPasswordRequest {
    bool given = false;
    std::string text;  // UTF-8
};

// Checks the project ini among the inputs and writes the password into it.
void PrepareProjectIni(TPackInputList& inputs, const TPasswordRequest& password, int codePage, bool strict) {
    std::vector<TSessionEntry> entries;
    for (const TPackInput& input : inputs.Inputs()) entries.push_back({input.name, input.tag});
    const int index = ProjectIniIndex(entries);
    if (index < 0) {
        if (password.given) throw EUsageError("--password needs a project ini among the inputs");
        return;
    }
    const TPackInput& ini = inputs.Inputs()[size_t(index)];
    const std::string bytes = ReadIniFile(ini.path);
    TIniCheckOptions options;
    options.codePage = codePage;
    options.passwordFromTool = password.given;
    const std::vector<TIniFinding> findings = CheckProjectIni(bytes, options);
    PrintFindings(stderr, strict ? "quindle-pack: error: " : "quindle-pack: warning: ", ini.path, findings);
    if (strict && !findings.empty())
        throw std::runtime_error(std::to_string(findings.size()) + " problem(s) in " + ini.path + " (--strict)");
    if (password.given)
        inputs.Replace(size_t(index), SetPasswordHash(bytes, HashPassword(EncodeForCodePage(password.text, codePage))));
}

}  // namespace

int RunPack(TArgumentList& args) {
    if (args.AskedForHelp()) {
        std::fputs(kPackHelp, stdout);
        return 0;
    }
    TPackOptions options;
    TPackInputList inputs;
    TPasswordRequest password;
    int codePage = kDefaultCodePage;
    bool strict = false, stripSignature = false;
    while (!args.Done()) {
        const std::string arg = args.Take();
        if (arg == "--stub")
            options.stub = args.ValueOf(arg);
        else if (arg == "--out")
            options.out = args.ValueOf(arg);
        else if (arg == "--session")
            options.session = args.ValueOf(arg);
        else if (arg == "--level")
            options.level = ParseIntOption(arg, args.ValueOf(arg), 0, 9);
        else if (arg == "--threads")
            options.threads = unsigned(ParseIntOption(arg, args.ValueOf(arg), 1, 1024));
        else if (arg == "--tag")
            inputs.SetTag(args.ValueOf(arg));
        else if (arg == "--codepage")
            codePage = CodePageOption(args, arg);
        else if (arg == "--strict")
            strict = true;
        else if (arg == "--strip-signature")
            stripSignature = true;
        else if (arg == "--password" || arg == "--password-file") {
            if (password.given) throw EUsageError("give the password once");
            password.given = true;
            password.text = arg == "--password" ? args.TextValueOf(arg) : PasswordFromFile(args.ValueOf(arg));
        } else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0)
            throw EUsageError("unknown option " + arg);
        else
            inputs.Add(arg);
    }
    if (options.stub.empty()) throw EUsageError("missing --stub RUNNER.exe");
    if (options.out.empty()) throw EUsageError("missing --out SHOW.exe");
    if (!std::filesystem::is_regular_file(options.stub)) throw EUsageError("stub not found: " + options.stub);
    if (inputs.Inputs().empty()) throw EUsageError("no input files");
    if (options.session.size() > kMaxSessionNameLength)
        throw EUsageError("session name of 64 or more characters: " + options.session);
    options.stubImage = StubImageForPack(options.stub, stripSignature);
    PrepareProjectIni(inputs, password, codePage, strict);
    PackSession(options, inputs.Inputs());
    return 0;
}

}  // namespace quindle::pack
