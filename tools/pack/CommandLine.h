// Shared pieces of quindle-pack's command line: the bad-use error (exit code 2) and
// the small helpers every command uses to read its arguments.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "tools/pack/CodePage.h"

namespace quindle::pack {

// Bad use of the tool: reported on one line, exit code 2.
class EUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Walks the arguments after the command name.
class TArgumentList {
public:
    // args as the C runtime gives them (file names); texts the same arguments as UTF-8
    // (on Windows from the wide command line), or empty when args are UTF-8 already.
    explicit TArgumentList(std::vector<std::string> args, std::vector<std::string> texts = {})
        : args_(std::move(args)), texts_(texts.size() == args_.size() ? std::move(texts) : args_) {}
    bool Done() const { return next_ >= args_.size(); }
    const std::string& Take() { return args_[next_++]; }
    // The next argument as UTF-8 text.
    const std::string& TakeText() {
        Take();
        return CurrentText();
    }
    // The argument taken last, as UTF-8 text.
    const std::string& CurrentText() const { return texts_[next_ - 1]; }
    const std::string& TextValueOf(const std::string& option) {
        ValueOf(option);
        return texts_[next_ - 1];
    }
    // The value after an option such as "--out"; bad use when it is missing.
    const std::string& ValueOf(const std::string& option) {
        if (Done()) throw EUsageError("missing value after " + option);
        return Take();
    }

private:
    std::vector<std::string> args_;
    std::vector<std::string> texts_;
    size_t next_ = 0;
};

// "--help" or "-h" where an option stands; an option's value is never taken for it.
inline bool IsHelpRequest(const std::string& arg) { return arg == "--help" || arg == "-h"; }

int ParseIntOption(const std::string& option, const std::string& value, int low, int high);
// The value of --codepage, checked to be one the host converts.
int CodePageOption(TArgumentList& args, const std::string& option);

// The arguments of an inspecting command: one file, --json and --codepage N, or help.
struct TInspectArguments {
    std::string file;
    bool json = false;
    int codePage = kDefaultCodePage;
    bool help = false;
};
TInspectArguments ParseInspectArguments(TArgumentList& args, const std::string& fileName);

// The commands; each returns the process exit code.
int RunPack(TArgumentList& args);
int RunList(TArgumentList& args);
int RunExtract(TArgumentList& args);
int RunVerify(TArgumentList& args);
int RunHashPassword(TArgumentList& args);
int RunSettings(TArgumentList& args);
int RunCheck(TArgumentList& args);
int RunInfo(TArgumentList& args);

}  // namespace quindle::pack
