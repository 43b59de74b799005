// The movie command classifier: prefixes folded to lower case over ASCII letters only,
// the DDE service and topic compared exactly.
#include "commands/MovieCommand.h"

#include "base/Text.h"

namespace quindle {

namespace {

bool StartsWithFolded(const std::string& text, const std::string& lowerPrefix) {
    return text.size() >= lowerPrefix.size() && LowerAscii(text.substr(0, lowerPrefix.size())) == lowerPrefix;
}

// Drops name + ":" from the front of rest when it is there exactly.
bool DropExact(std::string& rest, const std::string& name) {
    const std::string expected = name + ":";
    if (rest.compare(0, expected.size(), expected) != 0) return false;
    rest.erase(0, expected.size());
    return true;
}

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string Trim(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlankOrControl(text[begin])) ++begin;
    while (end > begin && IsBlankOrControl(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// "dde:" + application + ":" + topic + ":" + data. Quoted data is a URL followed by the
// rest of the DDE argument list, which must not be missing.
bool IsDdeCommand(const std::string& text, const std::string& application, const std::string& topic) {
    const std::string prefix = "dde:";
    if (!StartsWithFolded(text, prefix)) return false;
    std::string rest = text.substr(prefix.size());
    if (!DropExact(rest, application) || !DropExact(rest, topic)) return false;
    const std::string data = Trim(rest);
    if (data.empty() || data[0] != '"') return true;
    const size_t closing = data.find('"', 1);
    return closing != std::string::npos && closing + 1 < data.size();
}

}  // namespace

TMovieCommand ClassifyMovieCommand(uintptr_t selector, const std::string& text, const std::string& ddeApplication,
                                   const std::string& ddeTopic) {
    TMovieCommand command;
    if (selector == kAnyCommandSelector) {
        if (StartsWithFolded(text, "qcommandw:")) {
            command.Kind = TMovieCommand::QCommandW;
            return command;
        }
        if (StartsWithFolded(text, "qcommand:")) {
            command.Kind = TMovieCommand::QCommand;
            return command;
        }
    }
    if ((selector == kAnyCommandSelector || selector == kDdeCommandSelector) &&
        IsDdeCommand(text, ddeApplication, ddeTopic)) {
        command.Kind = TMovieCommand::Dde;
    }
    return command;
}

}  // namespace quindle
