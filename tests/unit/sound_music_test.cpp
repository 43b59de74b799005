// The background music against a fake MCI device and a fake runner: the loop counts,
// the notifications that end a pass, the failures that leave the show silent, and the
// shut-down order.
#include "sound/BackgroundMusic.h"

#include "FakeMciDevice.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>

namespace quindle {
namespace {

const std::string kSong = "C:\\Temp\\Qgl_Rt\\song.mid";
constexpr uintptr_t kRunnerWnd = 0x4242;

class FakeMusicHost : public IMusicHost {
public:
    FakeMusicHost(std::vector<std::string>& log, FakeMciDevice& mci) : log_(log), mci_(mci) {}
    TBackgroundMusic* Music = nullptr;
    std::set<std::string> Files{kSong};

    bool FileExists(const std::string& path) override { return Files.count(path) > 0; }
    void PumpMessages() override {
        log_.push_back("pump");
        Deliver();
    }
    void RemoveFile(const std::string& path) override {
        log_.push_back("delete " + path);
        Files.erase(path);
    }
    // The runner window passing each posted MM_MCINOTIFY on, until the queue is empty.
    void Deliver() {
        while (!mci_.Posted.empty()) {
            const uintptr_t code = mci_.Posted.front();
            mci_.Posted.pop_front();
            Music->HandleNotify(code);
        }
    }

private:
    std::vector<std::string>& log_;
    FakeMciDevice& mci_;
};

class MusicTest : public ::testing::Test {
protected:
    std::vector<std::string> log;
    FakeMciDevice mci{log};
    FakeMusicHost host{log, mci};
    TProjectSettings settings;
    TBackgroundMusic music{mci, host, settings};

    void SetUp() override { host.Music = &music; }
    void Loop(bool on, int32_t times) {
        settings.MusicRepeats.Checked = on;
        settings.MusicLoopCount = times;
    }
    // Lets each pass run out until the music is silent (or limit passes were heard).
    int PassesHeard(int limit) {
        int passes = 0;
        while (mci.Playing && passes < limit) {
            ++passes;
            mci.EndPass();
            host.Deliver();
        }
        return passes;
    }
};

TEST_F(MusicTest, LoopSettingsGiveTheNumberOfPasses) {
    const struct {
        bool loop;
        int32_t times;
        int passes;
    } cases[] = {{true, 3, 3}, {true, 1, 1}, {true, -1, 1}, {true, INT32_MIN, 1}, {false, 5, 1}, {false, 0, 1}};
    for (const auto& c : cases) {
        FakeMciDevice device(log);
        FakeMusicHost runner(log, device);
        TProjectSettings s;
        s.MusicRepeats.Checked = c.loop;
        s.MusicLoopCount = c.times;
        TBackgroundMusic m(device, runner, s);
        runner.Music = &m;
        m.Start(kSong, kRunnerWnd);
        int passes = 0;
        while (device.Playing && passes < 10) {
            ++passes;
            device.EndPass();
            runner.Deliver();
        }
        EXPECT_EQ(passes, c.passes) << c.loop << " " << c.times;
        EXPECT_EQ(device.Plays, c.passes);
        EXPECT_FALSE(device.Playing);
    }
}

TEST_F(MusicTest, ZeroLoopTimesPlaysWithoutEnd) {
    Loop(true, 0);
    music.Start(kSong, kRunnerWnd);
    EXPECT_EQ(PassesHeard(1000), 1000);
    EXPECT_TRUE(mci.Playing);
    // Without end is as many passes as the counter holds.
    EXPECT_EQ(LoopPassesOf(0), INT32_MAX);
}

TEST_F(MusicTest, StartOpensTheFileForTheRunnerWindowAndPlaysWithNotify) {
    Loop(true, 2);
    music.Start(kSong, kRunnerWnd);
    EXPECT_EQ(mci.OpenedElement, kSong);
    EXPECT_EQ(mci.LastCallback, kRunnerWnd);
    EXPECT_EQ(log, (std::vector<std::string>{"open 0x202", "status 0x102 item 2", "status 0x102 item 1", "play 0x1"}));
}

TEST_F(MusicTest, EveryNotificationEndsAPassAndLoopingGoesOn) {
    Loop(true, 10);
    music.Start(kSong, kRunnerWnd);
    for (uintptr_t code : {mci::kNotifyFailure, mci::kNotifySuperseded, mci::kNotifyAborted, mci::kNotifySuccessful}) {
        const int plays = mci.Plays;
        mci.EndPass(code);
        host.Deliver();
        EXPECT_EQ(mci.Plays, plays + 1) << code;
        EXPECT_TRUE(mci.Playing);
    }
    // Each of the four ended a pass of the ten: six more are heard.
    EXPECT_EQ(PassesHeard(100), 6);
    EXPECT_EQ(mci.Plays, 10);
}

TEST_F(MusicTest, WithoutLoopTheEndingNotificationReachesNoHandler) {
    Loop(false, 3);
    music.Start(kSong, kRunnerWnd);
    mci.EndPass();
    log.clear();
    host.Deliver();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(music.Player().NotifyValue(), TMPNotifyValue::Successful);
}

TEST_F(MusicTest, MutingMidiDuringTheRunEndsTheLoop) {
    Loop(true, 5);
    music.Start(kSong, kRunnerWnd);
    settings.MidiMuted.Checked = true;
    EXPECT_EQ(PassesHeard(10), 1);
}

TEST_F(MusicTest, MissingFileOrFailingOpenStaysSilent) {
    music.Start("", kRunnerWnd);
    host.Files.clear();
    music.Start(kSong, kRunnerWnd);
    EXPECT_TRUE(log.empty());
    host.Files.insert(kSong);
    mci.OpenError = 266;
    EXPECT_NO_THROW(music.Start(kSong, kRunnerWnd));
    EXPECT_EQ(log, std::vector<std::string>{"open 0x202"});
    EXPECT_FALSE(music.Player().IsOpen());
}

TEST_F(MusicTest, ShutDownDuringPlayStopsIgnoresTheAbortClosesAndDeletes) {
    Loop(true, 5);
    music.Start(kSong, kRunnerWnd);
    log.clear();
    music.ShutDown(kSong);
    EXPECT_EQ(log, (std::vector<std::string>{"status 0x102 item 4", "stop 0x2", "pump", "close 0x2", "pump",
                                             "delete " + kSong}));
    EXPECT_EQ(music.Player().NotifyValue(), TMPNotifyValue::Aborted);
    EXPECT_EQ(mci.Plays, 1);
    EXPECT_FALSE(music.Player().IsOpen());
    EXPECT_EQ(host.Files.count(kSong), 0u);
    // A notification still on its way after the shut-down starts no pass either.
    mci.Posted.push_back(mci::kNotifySuccessful);
    host.Deliver();
    EXPECT_EQ(mci.Plays, 1);
}

TEST_F(MusicTest, ShutDownAfterTheLastPassSendsNoStop) {
    Loop(true, 2);
    music.Start(kSong, kRunnerWnd);
    EXPECT_EQ(PassesHeard(10), 2);
    log.clear();
    music.ShutDown(kSong);
    // The last pass end asked for a notification that no play took: the close carries it,
    // and the shut-down keeps it from starting a pass.
    EXPECT_EQ(log, (std::vector<std::string>{"status 0x102 item 4", "pump", "close 0x3", "pump", "delete " + kSong}));
    EXPECT_EQ(mci.Plays, 2);
}

TEST_F(MusicTest, ShutDownOfMusicThatNeverOpenedOnlyDeletesTheFile) {
    mci.OpenError = 266;
    music.Start(kSong, kRunnerWnd);
    log.clear();
    music.ShutDown(kSong);
    EXPECT_EQ(log, (std::vector<std::string>{"pump", "pump", "delete " + kSong}));
    log.clear();
    music.ShutDown("");
    EXPECT_TRUE(log.empty());
}

}  // namespace
}  // namespace quindle
