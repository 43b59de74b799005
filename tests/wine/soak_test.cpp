// A short soak of one packaged presentation: shows in a row, two at once from copies
// of the file and two at once of the same file. Every show must come up with its
// projector inside, close and end, and nothing may be left behind afterwards.
// bench/soak.sh runs the long version and prints its figures.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/harness/Harness.h"
#include "tests/harness/Presentation.h"
#include "tests/harness/ShowRuns.h"

namespace harness {
namespace {

std::string Describe(const std::vector<ShowOutcome>& outcomes) {
    std::string text;
    for (size_t i = 0; i < outcomes.size(); ++i)
        text += "\n  show " + std::to_string(i + 1) + ": " + (outcomes[i].Failure.empty() ? "ok" : outcomes[i].Failure);
    return text;
}

// Every trace but hook libraries that Wine's desktop process still has loaded: the
// runner could only leave those for deletion at the next restart (Windows unloads a
// hook library from every process once its hooks are removed). Those are printed.
std::string TracesNotHeldByWinesDesktop(const std::vector<Trace>& traces) {
    std::string text;
    for (const Trace& trace : traces) {
        if (::lstrcmpiA(trace.HeldBy.c_str(), "explorer.exe") == 0)
            std::printf("  note: %s\n", Describe(trace).c_str());
        else
            text += "\n  " + Describe(trace);
    }
    return text;
}

class Soak : public ::testing::Test {
protected:
    Soak() {
        spec_.Name = "SoakShow";
        spec_.Ini = "[Settings]\r\nPassword=0\r\nCurrentDir=1\r\n";
    }
    ~Soak() override {
        for (const std::string& name : names_)
            RegDeleteTree("Software\\Nimbrel Soft\\" + name.substr(0, name.size() - 4));
    }

    // Every show shown, closed and ended; then no trace of any of them.
    void ExpectCleanShows(const Presentation& show, const std::vector<ShowOutcome>& outcomes) {
        for (const ShowOutcome& outcome : outcomes) EXPECT_EQ(outcome.Failure, "") << Describe(outcomes);
        EXPECT_EQ(TracesNotHeldByWinesDesktop(Leftovers(show, names_, int(outcomes.size()))), "");
    }

    // KNOWN RACE, to be removed with its mend: runners started together each write the
    // project ini under one shared name into the temporary folder, read it and delete
    // it, so one of them cannot create it ("Cannot create file ...", Application Error)
    // or reads it half written or gone. Such a failure skips the test with its evidence.
    void SkipOnTheSettingsIniRace(const Presentation& show, const std::vector<ShowOutcome>& outcomes) {
        const std::string evidence = "Cannot create file " + show.Temp() + spec_.IniName;
        for (const ShowOutcome& outcome : outcomes)
            if (outcome.Failure.find(evidence) != std::string::npos)
                GTEST_SKIP() << "settings ini race of runners started together: " << outcome.Failure;
    }

    PresentationSpec spec_;
    std::vector<std::string> names_ = {"SoakShow.exe"};
};

TEST_F(Soak, ThreeShowsInARow) {
    Presentation show(spec_);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    std::vector<ShowOutcome> outcomes;
    for (int i = 0; i < 3; ++i) outcomes.push_back(RunShowsAtOnce(show, {show.ExePath()}).front());
    ExpectCleanShows(show, outcomes);
}

TEST_F(Soak, TwoAtOnceFromCopies) {
    Presentation show(spec_);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    std::vector<std::string> copies;
    for (const char* name : {"SoakCopy1.exe", "SoakCopy2.exe"}) {
        copies.push_back(show.MakeCopy(name));
        ASSERT_FALSE(copies.back().empty());
        names_.push_back(name);
    }
    const std::vector<ShowOutcome> outcomes = RunShowsAtOnce(show, copies);
    SkipOnTheSettingsIniRace(show, outcomes);
    if (IsSkipped()) return;
    ExpectCleanShows(show, outcomes);
}

TEST_F(Soak, TwoAtOnceOfTheSameFile) {
    Presentation show(spec_);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    const std::vector<ShowOutcome> outcomes = RunShowsAtOnce(show, {show.ExePath(), show.ExePath()});
    SkipOnTheSettingsIniRace(show, outcomes);
    if (IsSkipped()) return;
    ExpectCleanShows(show, outcomes);
}

}  // namespace
}  // namespace harness
