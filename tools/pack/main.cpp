// quindle-pack: packages a presentation into a runner and inspects packaged runners.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tools/pack/CodePage.h"
#include "tools/pack/CommandLine.h"
#include "tools/pack/HostFiles.h"
#include "window/HashPassword.h"

namespace quindle::pack {

namespace {

const char* const kHelp =
    "usage: quindle-pack COMMAND [ARGS]\n"
    "  pack --stub RUNNER.exe --out SHOW.exe [--password TEXT] [--strict] [OPTIONS] INPUT...\n"
    "                           package a presentation (its project ini checked on the way)\n"
    "  settings [--json]        every key a project ini can hold, its values and meaning\n"
    "  check SHOW.ini [--json]  what in a project ini would behave unlike what is written\n"
    "  info SHOW.exe [--json]   what a packaged presentation will do, its effective settings\n"
    "  list SHOW.exe [--json]   the sessions and entries of a packaged presentation\n"
    "  extract SHOW.exe --to DIR [--session NAME]\n"
    "  verify SHOW.exe\n"
    "  hash-password TEXT [--codepage N]\n"
    "Texts are hashed and shown in the presentation's Windows code page (--codepage N,\n"
    "default 1252).\n"
    "Each command takes --help. Exit codes: 0 done, 1 failed, 2 bad use.\n";

int Dispatch(const std::string& command, TArgumentList& args) {
    if (command == "pack") return RunPack(args);
    if (command == "list") return RunList(args);
    if (command == "extract") return RunExtract(args);
    if (command == "verify") return RunVerify(args);
    if (command == "hash-password") return RunHashPassword(args);
    if (command == "settings") return RunSettings(args);
    if (command == "check") return RunCheck(args);
    if (command == "info") return RunInfo(args);
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kHelp, stdout);
        return 0;
    }
    throw EUsageError("unknown command " + command + " (see quindle-pack --help)");
}

}  // namespace

int ParseIntOption(const std::string& option, const std::string& value, int low, int high) {
    size_t used = 0;
    int n = 0;
    try {
        n = std::stoi(value, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != value.size() || n < low || n > high)
        throw EUsageError(option + " takes a number from " + std::to_string(low) + " to " + std::to_string(high));
    return n;
}

int CodePageOption(TArgumentList& args, const std::string& option) {
    const int codePage = ParseIntOption(option, args.ValueOf(option), 1, 65535);
    RequireCodePage(codePage);
    return codePage;
}

TInspectArguments ParseInspectArguments(TArgumentList& args, const std::string& fileName) {
    TInspectArguments parsed;
    while (!args.Done()) {
        const std::string arg = args.Take();
        if (IsHelpRequest(arg)) {
            parsed.help = true;
            return parsed;
        }
        if (arg == "--json")
            parsed.json = true;
        else if (arg == "--codepage")
            parsed.codePage = CodePageOption(args, arg);
        else if (arg.compare(0, 2, "--") == 0 || !parsed.file.empty())
            throw EUsageError("unexpected argument " + arg);
        else
            parsed.file = arg;
    }
    if (parsed.file.empty()) throw EUsageError("missing " + fileName);
    return parsed;
}

int RunHashPassword(TArgumentList& args) {
    std::string text;
    bool haveText = false;
    int codePage = kDefaultCodePage;
    while (!args.Done()) {
        const std::string& arg = args.TakeText();
        if (IsHelpRequest(arg)) {
            std::fputs(
                "usage: quindle-pack hash-password TEXT [--codepage N]\n"
                "Prints the password hash a project ini carries as AlignmentX: the hash of TEXT\n"
                "as the runner's password dialog sees it, in Windows code page N (default 1252).\n"
                "A character the code page cannot hold is refused.\n",
                stdout);
            return 0;
        }
        if (arg == "--codepage")
            codePage = CodePageOption(args, arg);
        else if (haveText)
            throw EUsageError("unexpected argument " + arg);
        else
            text = arg, haveText = true;
    }
    if (!haveText) throw EUsageError("missing TEXT");
    std::printf("%u\n", unsigned(HashPassword(EncodeForCodePage(text, codePage))));
    return 0;
}

}  // namespace quindle::pack

int main(int argc, char** argv) {
    using namespace quindle::pack;
    if (argc < 2) {
        std::fprintf(stderr, "quindle-pack: missing command (see quindle-pack --help)\n");
        return 2;
    }
    std::vector<std::string> texts = ArgumentTexts(argc, argv);
    texts.erase(texts.begin(), texts.begin() + std::min<std::ptrdiff_t>(2, std::ptrdiff_t(texts.size())));
    TArgumentList args(std::vector<std::string>(argv + 2, argv + argc), std::move(texts));
    try {
        return Dispatch(argv[1], args);
    } catch (const EUsageError& e) {
        std::fprintf(stderr, "quindle-pack: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quindle-pack: %s\n", e.what());
        return 1;
    }
}
