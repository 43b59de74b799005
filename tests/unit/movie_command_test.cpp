#include "commands/MovieCommand.h"

#include <gtest/gtest.h>

namespace quindle {
namespace {

using F = TMovieCommand::TForm;
constexpr char kApp[] = "IExplore";
constexpr char kTopic[] = "WWW_OpenURL";

struct Case {
    const char* name;
    uintptr_t selector;
    std::string text;
    F form;
};

void Check(const Case* begin, const Case* end, const std::string& app, const std::string& topic) {
    for (const Case* c = begin; c != end; ++c) {
        const TMovieCommand command = ClassifyMovieCommand(c->selector, c->text, app, topic);
        EXPECT_EQ(command.Kind, c->form) << c->name;
        EXPECT_EQ(command.Accepted(), c->form != F::None) << c->name;
    }
}

TEST(MovieCommand, QuindlePrefixes) {
    const Case cases[] = {
        {"qcommand in capitals", 0, "QCOMMAND:quit", F::QCommand},
        {"qcommand mixed case, nothing after", 0, "qComMand:", F::QCommand},
        {"qcommandw", 0, "qcommandw:run notes.txt", F::QCommandW},
        {"qcommandw in capitals", 0, "QCommandW:x", F::QCommandW},
        {"selector 1 admits no qcommand", 1, "QCOMMAND:quit", F::None},
        {"selector 1 admits no qcommandw", 1, "qcommandw:x", F::None},
        {"selector 2 admits nothing", 2, "qcommand:quit", F::None},
        {"a large selector admits nothing", 0xFFFFFFFFu, "qcommand:quit", F::None},
        {"prefix without its colon", 0, "qcommand", F::None},
        {"qcommandw without its colon", 0, "qcommandwx", F::None},
        {"shorter than the prefix", 0, "qcomm", F::None},
        {"empty text", 0, "", F::None},
        {"prefix not at the start", 0, " qcommand:quit", F::None},
        {"a caption", 0, "My Presentation", F::None},
    };
    Check(std::begin(cases), std::end(cases), kApp, kTopic);
}

TEST(MovieCommand, DdeTexts) {
    const std::string head = std::string("dde:") + kApp + ":" + kTopic + ":";
    const Case cases[] = {
        {"unquoted URL", 0, head + "http://example.org/", F::Dde},
        {"unquoted URL with selector 1", 1, head + "http://example.org/", F::Dde},
        {"selector 2", 2, head + "http://example.org/", F::None},
        {"blanks, quoted URL and the rest of the list", 0, head + "  \t\"http://example.org/\",,0,0", F::Dde},
        {"quoted URL, nothing after the closing quote", 0, head + "\"http://example.org/\"", F::None},
        {"quoted URL, only blanks after it", 0, head + "\"http://example.org/\"   ", F::None},
        {"opening quote without a closing one", 0, head + "\"http://example.org/,,0,0", F::None},
        {"empty data", 0, head, F::Dde},
        {"prefix in capitals", 0, std::string("DDE:") + kApp + ":" + kTopic + ":x", F::Dde},
        {"application in another case", 0, std::string("dde:iexplore:") + kTopic + ":x", F::None},
        {"topic in another case", 0, std::string("dde:") + kApp + ":www_openurl:x", F::None},
        {"topic missing", 0, std::string("dde:") + kApp + ":x", F::None},
        {"application without its colon", 0, std::string("dde:") + kApp, F::None},
        {"two colons only", 0, "dde:::x", F::None},
        {"prefix without its colon", 0, "dde", F::None},
        {"shorter than the prefix", 0, "dd", F::None},
    };
    Check(std::begin(cases), std::end(cases), kApp, kTopic);
}

TEST(MovieCommand, DdeWithoutAnAssociation) {
    const Case cases[] = {
        {"two colons after the prefix", 0, "dde:::http://example.org/", F::Dde},
        {"two colons, selector 1", 1, "DDE:::x", F::Dde},
        {"two colons and nothing else", 0, "dde:::", F::Dde},
        {"one colon", 0, "dde::x", F::None},
        {"a named service", 0, std::string("dde:") + kApp + ":" + kTopic + ":x", F::None},
    };
    Check(std::begin(cases), std::end(cases), "", "");
}

}  // namespace
}  // namespace quindle
