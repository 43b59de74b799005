// TMediaPlayer against a fake MCI device: the wait/notify rules, the errors, the
// auto-rewind, the notification handler and the close on destruction.
#include "sound/MediaPlayer.h"

#include "FakeMciDevice.h"
#include "error_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace quindle {
namespace {

class PlayerTest : public ::testing::Test {
protected:
    std::vector<std::string> log;
    FakeMciDevice mci{log};
    std::unique_ptr<TMediaPlayer> player = std::make_unique<TMediaPlayer>(mci);

    void OpenSong() {
        player->FileName = "C:\\Run\\song.mid";
        player->Open();
        log.clear();
    }
    std::string ErrorOf(const std::function<void()>& action) { return testing::ErrorOf<EMCIDeviceError>(action); }
};

TEST_F(PlayerTest, OverridesShapeTheFlagsOfTheNextCommandOnly) {
    const struct {
        const char* name;
        std::function<void(TMediaPlayer&)> setUp;
        std::vector<std::string> expected;
    } cases[] = {
        {"defaults", [](TMediaPlayer&) {}, {"open 0x202", "stop 0x2", "close 0x2"}},
        {"shareable, no file",
         [](TMediaPlayer& p) {
             p.Shareable = true;
             p.FileName.clear();
         },
         {"open 0x102", "stop 0x2", "close 0x2"}},
        {"notify on", [](TMediaPlayer& p) { p.SetNotify(true); }, {"open 0x203", "stop 0x2", "close 0x2"}},
        {"no wait", [](TMediaPlayer& p) { p.SetWait(false); }, {"open 0x200", "stop 0x2", "close 0x2"}},
        {"wait kept, notify off",
         [](TMediaPlayer& p) {
             p.SetWait(true);
             p.SetNotify(false);
         },
         {"open 0x202", "stop 0x2", "close 0x2"}},
    };
    for (const auto& c : cases) {
        log.clear();
        TMediaPlayer p(mci);
        p.FileName = "song.mid";
        c.setUp(p);
        p.Open();
        p.Stop();
        p.Close();
        EXPECT_EQ(log, c.expected) << c.name;
        EXPECT_FALSE(p.IsOpen());
    }
}

TEST_F(PlayerTest, PlayNotifiesUnlessToldAndWaitsOnlyWhenAsked) {
    OpenSong();
    player->Play();
    player->SetNotify(false);
    player->Play();
    player->SetWait(true);
    player->Play();
    player->SetNotify(true);
    player->Stop();
    player->Stop();
    const std::string status = "status 0x102 item ";
    EXPECT_EQ(log,
              (std::vector<std::string>{status + "2", status + "1", "play 0x1", status + "2", status + "1", "play 0x0",
                                        status + "2", status + "1", "play 0x3", "stop 0x3", "stop 0x2"}));
    EXPECT_EQ(player->LastFlags(), mci::kWait);
    EXPECT_EQ(mci.LastCallback, player->NotificationWindow);
}

TEST_F(PlayerTest, OpenFailureRaisesTheMciTextAndLeavesThePlayerClosed) {
    mci.OpenError = 263;
    player->FileName = "missing.mid";
    EXPECT_EQ(ErrorOf([&] { player->Open(); }), "MCI error 263");
    EXPECT_EQ(player->LastError(), 263u);
    EXPECT_FALSE(player->IsOpen());
    EXPECT_EQ(player->DeviceId(), 0);
    mci.HasErrorText = false;
    EXPECT_EQ(ErrorOf([&] { player->Open(); }), "Unknown MCI Error");
}

TEST_F(PlayerTest, OpenRecordsTheDeviceAndTheElement) {
    player->NotificationWindow = 0x1234;
    OpenSong();
    EXPECT_TRUE(player->IsOpen());
    EXPECT_EQ(player->DeviceId(), FakeMciDevice::kDevice);
    EXPECT_EQ(mci.OpenedElement, "C:\\Run\\song.mid");
    EXPECT_EQ(mci.LastCallback, 0x1234u);
    // Opening again closes the device first.
    player->Open();
    EXPECT_EQ(log, (std::vector<std::string>{"close 0x2", "open 0x202"}));
}

TEST_F(PlayerTest, ClosedPlayerRefusesOrIgnoresEachOperation) {
    for (const auto& op : std::vector<std::function<void()>>{[&] { player->Play(); }, [&] { player->Stop(); },
                                                             [&] { player->Rewind(); }, [&] { player->GetLength(); }})
        EXPECT_EQ(ErrorOf(op), "Device Not Open");
    EXPECT_EQ(player->GetMode(), mpNotReady);
    player->Close();
    EXPECT_TRUE(log.empty());
}

TEST_F(PlayerTest, PlayRewindsOnlyAfterAPassRanToTheEnd) {
    OpenSong();
    player->Play();
    EXPECT_EQ(std::count(log.begin(), log.end(), "seek 0x102"), 0);
    mci.EndPass();
    player->Play();
    EXPECT_EQ(std::count(log.begin(), log.end(), "seek 0x102"), 1);
    EXPECT_EQ(mci.Position, 0u);
    mci.EndPass();
    player->AutoRewind = false;
    log.clear();
    player->Play();
    EXPECT_EQ(log, std::vector<std::string>{"play 0x1"});
}

TEST_F(PlayerTest, ModeIsMciModeCountedFromNotReady) {
    OpenSong();
    EXPECT_EQ(player->GetMode(), mpStopped);
    player->Play();
    EXPECT_EQ(player->GetMode(), mpPlaying);
    EXPECT_EQ(log.back(), "status 0x102 item 4");
}

TEST_F(PlayerTest, PlayFailureIsRecordedNotRaised) {
    OpenSong();
    mci.PlayError = 275;
    EXPECT_EQ(player->Play(), 275u);
    EXPECT_EQ(player->LastError(), 275u);
}

TEST_F(PlayerTest, EachNotificationSetsItsValueAndReachesOnNotify) {
    int calls = 0;
    player->OnNotify = [&](TMediaPlayer& p) {
        EXPECT_EQ(&p, player.get());
        ++calls;
    };
    const struct {
        uintptr_t code;
        TMPNotifyValue value;
    } cases[] = {{mci::kNotifyAborted, TMPNotifyValue::Aborted},
                 {mci::kNotifySuperseded, TMPNotifyValue::Superseded},
                 {mci::kNotifyFailure, TMPNotifyValue::Failure},
                 {16, TMPNotifyValue::Failure},  // unknown: the value stays
                 {mci::kNotifySuccessful, TMPNotifyValue::Successful}};
    for (const auto& c : cases) {
        player->HandleNotify(c.code);
        EXPECT_EQ(player->NotifyValue(), c.value) << c.code;
    }
    EXPECT_EQ(calls, 5);
}

TEST_F(PlayerTest, DestructionClosesADeviceStillOpen) {
    OpenSong();
    player.reset();
    EXPECT_EQ(log, std::vector<std::string>{"close 0x2"});
    log.clear();
    { TMediaPlayer neverOpened(mci); }
    EXPECT_TRUE(log.empty());
}

}  // namespace
}  // namespace quindle
