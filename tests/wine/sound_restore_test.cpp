// The user's sound through whole runners under Wine, with a winmm.dll of our own beside
// each runner (Wine has neither mixers nor a readable wave volume here): its mixer and
// wave mapper keep their states in a file, so the test sees what the runners left. Two
// muted shows at once, a muted show killed and the next runner's repair, and a log-off.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "contract/ControlBlock.h"
#include "tests/harness/Harness.h"
#include "tests/harness/Presentation.h"

namespace harness {
namespace {

// The fake's file: the wave volume, mute controls 7 and 9, one mixer device.
constexpr char kUsersSound[] = "volume 8000C000\nmute 7 0\nmute 9 1\ndevices 1\n";
constexpr char kSilent[] = "volume 00000000\nmute 7 1\nmute 9 1\ndevices 1\n";
// The record the user's runners share.
constexpr char kMakerKey[] = "Software\\Nimbrel Soft";
constexpr char kRecordValue[] = "Quindle Saved Sound";

class SoundRestore : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(RegSetString(kMakerKey, kRecordValue, ""));
        ASSERT_TRUE(WriteFile(statePath_, kUsersSound));
    }
    void TearDown() override {
        RegSetString(kMakerKey, kRecordValue, "");
        for (const std::string& exe : overridden_) RegDeleteTree("Software\\Wine\\AppDefaults\\" + exe);
    }

    // A show that runs with the fake winmm.dll beside it; muted unless said otherwise.
    PresentationSpec Spec(const std::string& name, bool muted = true) const {
        PresentationSpec spec;
        spec.Name = name;
        spec.Ini = IniWith(muted ? "Sound=0\r\n" : "Sound=1\r\n");
        return spec;
    }
    // Wine takes the winmm.dll beside the runner in place of its own for that program only.
    bool PutFakeBeside(const Presentation& show) {
        const std::string exe = show.ExePath().substr(show.Folder().size());
        overridden_.push_back(exe);
        return show.Packed() &&
               ::CopyFileA((BinDir() + "fakewinmm.dll").c_str(), (show.Folder() + "winmm.dll").c_str(), FALSE) &&
               RegSetString("Software\\Wine\\AppDefaults\\" + exe + "\\DllOverrides", "winmm", "native,builtin");
    }
    // Starts the runner; its window once the projector shows inside, else nullptr.
    HWND StartShown(const Presentation& show, Program& runner, std::map<std::string, std::string> env = {}) const {
        env["FAKE_WINMM_STATE"] = statePath_;
        runner = show.Start(env);
        return WaitForShow(runner);
    }
    std::string Sound() const { return ReadFile(statePath_); }
    std::string Record() const { return RegGetString(kMakerKey, kRecordValue).value_or("(none)"); }

    std::vector<std::string> overridden_;  // programs given the fake
    ScratchDir state_{"qsound"};
    const std::string statePath_ = state_.Path() + "sound.txt";
};

TEST_F(SoundRestore, TwoMutedShowsGiveTheUsersSoundBackOnlyWhenTheLastEnds) {
    Presentation show(Spec("MutedTwice"));
    ASSERT_TRUE(PutFakeBeside(show)) << show.PackOutput();
    Program first;
    const HWND firstWnd = StartShown(show, first);
    ASSERT_NE(firstWnd, nullptr);
    EXPECT_EQ(Sound(), kSilent);
    Program second;
    const HWND secondWnd = StartShown(show, second);
    ASSERT_NE(secondWnd, nullptr);
    EXPECT_EQ(Sound(), kSilent);

    ASSERT_TRUE(WaitForSupervisedShow(quindle::InstanceTagForRunNumber(0)));
    EXPECT_EQ(CloseShow(firstWnd, first), std::optional<DWORD>(0));
    EXPECT_EQ(Sound(), kSilent) << "the first show's end gave the sound back while the second plays";
    ASSERT_TRUE(WaitForSupervisedShow(quindle::InstanceTagForRunNumber(1)));
    EXPECT_EQ(CloseShow(secondWnd, second), std::optional<DWORD>(0));
    EXPECT_EQ(Sound(), kUsersSound);
    EXPECT_EQ(Record(), "");
}

TEST_F(SoundRestore, TheNextRunnerGivesBackTheSoundAKilledMutedShowTook) {
    Presentation muted(Spec("MutedKilled"));
    ASSERT_TRUE(PutFakeBeside(muted)) << muted.PackOutput();
    Program killed;
    const HWND killedWnd = StartShown(muted, killed);
    ASSERT_NE(killedWnd, nullptr);
    OrphanedProjector projector(WaitForEmbeddedProjector(killedWnd));
    ASSERT_TRUE(projector.Known());
    ASSERT_TRUE(::TerminateProcess(killed.Handle(), 9));
    ASSERT_EQ(killed.WaitExit(), std::optional<DWORD>(9));
    ASSERT_TRUE(projector.End());
    EXPECT_EQ(Sound(), kSilent) << "no clean-up ran";
    EXPECT_NE(Record(), "");

    // The next show plays with sound: its start puts the user's sound back.
    Presentation next(Spec("WithSound", false));
    ASSERT_TRUE(PutFakeBeside(next)) << next.PackOutput();
    Program runner;
    const HWND runnerWnd = StartShown(next, runner);
    ASSERT_NE(runnerWnd, nullptr);
    EXPECT_EQ(Sound(), kUsersSound);
    EXPECT_EQ(Record(), "");
    ASSERT_TRUE(WaitForSupervisedShow(quindle::InstanceTagForRunNumber(0)));
    EXPECT_EQ(CloseShow(runnerWnd, runner), std::optional<DWORD>(0));
    EXPECT_EQ(Sound(), kUsersSound);
}

// The system may end the runner as soon as it has answered the end of the session: by
// then the sound is back, and the files no longer in use are gone. The projector here
// does not close when asked, so nothing but the answer itself can have done it.
TEST_F(SoundRestore, TheEndOfTheSessionGivesTheSoundBackBeforeItsAnswer) {
    PresentationSpec spec = Spec("MutedLogOff");
    spec.Extras["notes.txt"] = "the presenter's notes";
    Presentation show(spec);
    ASSERT_TRUE(PutFakeBeside(show)) << show.PackOutput();
    Program runner;
    const HWND runnerWnd = StartShown(show, runner, {{"STANDIN_STAY_ON_CLOSE", "1"}});
    ASSERT_NE(runnerWnd, nullptr);
    OrphanedProjector projector(WaitForEmbeddedProjector(runnerWnd));
    ASSERT_TRUE(WaitForSupervisedShow(quindle::InstanceTagForRunNumber(0)));
    ASSERT_EQ(Sound(), kSilent);
    ASSERT_TRUE(FileExists(show.RunDir() + "\\notes.txt"));

    DWORD_PTR answer = 0;
    ASSERT_NE(::SendMessageTimeoutA(runnerWnd, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 10000, &answer), 0);
    EXPECT_EQ(Sound(), kSilent) << "the log-off may still be cancelled";
    ASSERT_NE(::SendMessageTimeoutA(runnerWnd, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 10000, &answer), 0);
    EXPECT_EQ(Sound(), kUsersSound);
    EXPECT_EQ(Record(), "");
    EXPECT_FALSE(FileExists(show.RunDir() + "\\notes.txt"));
    EXPECT_TRUE(runner.Running()) << "the system ends it, not the answer";
    runner.Kill();
}

}  // namespace
}  // namespace harness
