// The password attempts: how many, what ends them, and what the user is told.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window/HashPassword.h"
#include "window/PasswordCheck.h"

namespace quindle {
namespace {

// Answers with the scripted entries and records what the check asked for.
class ScriptedPrompt : public IPasswordPrompt {
public:
    explicit ScriptedPrompt(std::vector<std::string> entries) : entries_(std::move(entries)) {}
    std::string AskPassword() override {
        events.push_back("ask");
        if (asked_ >= entries_.size()) ADD_FAILURE() << "asked more often than scripted";
        return asked_ < entries_.size() ? entries_[asked_++] : std::string(kPasswordCancelMarker);
    }
    void ReportWrongPassword() override { events.push_back("wrong"); }
    std::vector<std::string> events;

private:
    std::vector<std::string> entries_;
    size_t asked_ = 0;
};

const std::string kRight = "Open Sesame";

TEST(CheckPassword, FollowsTheEntriesOfEachCase) {
    const std::string cancel = kPasswordCancelMarker;
    const struct {
        const char* name;
        std::vector<std::string> entries;
        bool accepted;
        std::vector<std::string> events;
    } cases[] = {
        {"right at once", {kRight}, true, {"ask"}},
        {"right on the third attempt", {"a", "b", kRight}, true, {"ask", "wrong", "ask", "wrong", "ask"}},
        {"three wrong ones", {"a", "b", "c"}, false, {"ask", "wrong", "ask", "wrong", "ask", "wrong"}},
        {"cancel first", {cancel}, false, {"ask"}},
        {"cancel after a wrong one", {"a", cancel}, false, {"ask", "wrong", "ask"}},
        {"CanCel typed and confirmed", {"CanCel"}, false, {"ask"}},
        {"CanCel with blanks around it", {"  CanCel "}, false, {"ask"}},
        {"cancel in another case is a wrong entry", {"cancel", kRight}, true, {"ask", "wrong", "ask"}},
        {"blanks around the right password", {"\t " + kRight + "  "}, true, {"ask"}},
        {"another letter case",
         {"open sesame", "OPEN SESAME", "Open sesame"},
         false,
         {"ask", "wrong", "ask", "wrong", "ask", "wrong"}},
        {"a blank inside is another password", {"Open  Sesame", kRight}, true, {"ask", "wrong", "ask"}},
    };
    for (const auto& c : cases) {
        ScriptedPrompt prompt(c.entries);
        EXPECT_EQ(CheckPassword(true, HashPassword(kRight), prompt), c.accepted) << c.name;
        EXPECT_EQ(prompt.events, c.events) << c.name;
    }
}

TEST(CheckPassword, NoPasswordAskedForRunsWithoutAPrompt) {
    ScriptedPrompt prompt({});
    EXPECT_TRUE(CheckPassword(false, HashPassword(kRight), prompt));
    EXPECT_TRUE(prompt.events.empty());
}

TEST(CheckPassword, TheCancelMarkerIsItsFourBytesAndLetters) {
    EXPECT_EQ(std::string(kPasswordCancelMarker), std::string("\x01"
                                                              "CanCel"
                                                              "\x0E"));
}

}  // namespace
}  // namespace quindle
