// quindle-pack: packages a presentation into a runner and inspects packaged runners.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tools/pack/CommandLine.h"
#include "window/HashPassword.h"

namespace quindle::pack {

namespace {

const char* const kHelp =
    "usage: quindle-pack COMMAND [ARGS]\n"
    "  pack --stub RUNNER.exe --out SHOW.exe [--session NAME] [--level 0-9] INPUT...\n"
    "  list SHOW.exe [--json]\n"
    "  extract SHOW.exe --to DIR [--session NAME]\n"
    "  verify SHOW.exe\n"
    "  hash-password TEXT\n"
    "Each command takes --help. Exit codes: 0 done, 1 failed, 2 bad use.\n";

int Dispatch(const std::string& command, ArgumentList& args) {
    if (command == "pack") return RunPack(args);
    if (command == "list") return RunList(args);
    if (command == "extract") return RunExtract(args);
    if (command == "verify") return RunVerify(args);
    if (command == "hash-password") return RunHashPassword(args);
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kHelp, stdout);
        return 0;
    }
    throw UsageError("unknown command " + command + " (see quindle-pack --help)");
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
        throw UsageError(option + " takes a number from " + std::to_string(low) + " to " + std::to_string(high));
    return n;
}

int RunHashPassword(ArgumentList& args) {
    if (args.AskedForHelp()) {
        std::fputs("usage: quindle-pack hash-password TEXT\n"
                   "Prints the password hash a project ini carries as AlignmentX.\n",
                   stdout);
        return 0;
    }
    if (args.Done()) throw UsageError("missing TEXT");
    const std::string text = args.Take();
    if (!args.Done()) throw UsageError("unexpected argument " + args.Take());
    std::printf("%u\n", unsigned(HashPassword(text)));
    return 0;
}

}  // namespace quindle::pack

int main(int argc, char** argv) {
    using namespace quindle::pack;
    if (argc < 2) {
        std::fprintf(stderr, "quindle-pack: missing command (see quindle-pack --help)\n");
        return 2;
    }
    ArgumentList args(std::vector<std::string>(argv + 2, argv + argc));
    try {
        return Dispatch(argv[1], args);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "quindle-pack: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quindle-pack: %s\n", e.what());
        return 1;
    }
}
