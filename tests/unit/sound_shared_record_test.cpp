// The user's one saved sound across runners: who saves it, who puts it back, and the
// repair of a record whose runners died, with each runner's mute over one fake system.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "sound/SharedSoundRecord.h"
#include "sound/SoundMute.h"
#include "tests/unit/FakeSoundSystem.h"

namespace quindle {
namespace {

// One runner's reach into the user's system: cut when the runner dies.
class TReach : public IWaveVolume, public IMixerSystem {
public:
    TReach(FakeWave& wave, FakeMixerSystem& mixers) : wave_(wave), mixers_(mixers) {}
    bool Alive = true;
    bool MapperHasVolume() override { return Alive && wave_.MapperHasVolume(); }
    bool GetVolume(uint32_t& volume) override { return Alive && wave_.GetVolume(volume); }
    bool SetVolume(uint32_t volume) override { return Alive && wave_.SetVolume(volume); }
    uint32_t DeviceCount() override { return Alive ? mixers_.DeviceCount() : 0; }
    bool Capabilities(uint32_t device, TMixerCaps& caps) override { return mixers_.Capabilities(device, caps); }
    std::unique_ptr<IMixerDevice> Open(uint32_t device) override { return mixers_.Open(device); }

private:
    FakeWave& wave_;
    FakeMixerSystem& mixers_;
};

// The user's sound: one mixer with two wave-output mute controls, one muted, and a volume.
class SharedSoundTest : public ::testing::Test {
protected:
    struct TRunnerSound {
        TRunnerSound(SharedSoundTest& t, const std::string& name)
            : reach(t.wave, t.mixers), record(&t.recordText, &t.liveRunners, name), mute(reach, reach, record) {}
        TReach reach;
        FakeSharedRecord record;
        TSoundMute mute;
    };

    void SetUp() override {
        FakeMixer speakers;
        speakers.Destinations = {{mixer::kTargetWaveOut, {{mixer::kTargetWaveOut, {Mute(1), Mute(2)}}}}};
        speakers.Values = {{1, false}, {2, true}};
        mixers.Devices = {speakers};
        wave.Volume = kUsersVolume;
    }
    std::unique_ptr<TRunnerSound> Start(const std::string& name) {
        auto runner = std::make_unique<TRunnerSound>(*this, name);
        runner->mute.RepairLeftOver();
        return runner;
    }
    // A runner killed while its show runs: no clean-up, and its process is gone.
    void Kill(std::unique_ptr<TRunnerSound>& runner) {
        liveRunners.erase(runner->record.OwnHolder());
        runner->reach.Alive = false;
        runner->record.Connected = false;
        runner.reset();
    }
    bool UsersSound() const {
        return mixers.Devices[0].Values == std::map<uint32_t, bool>{{1, false}, {2, true}} &&
               wave.Volume == kUsersVolume;
    }
    bool Silent() const {
        return mixers.Devices[0].Values == std::map<uint32_t, bool>{{1, true}, {2, true}} && wave.Volume == 0;
    }

    static constexpr uint32_t kUsersVolume = 0x80004000;
    FakeMixerSystem mixers;
    FakeWave wave;
    std::string recordText;
    std::set<std::string> liveRunners;
};

TEST_F(SharedSoundTest, TwoMutedShowsGiveTheUsersSoundBackWhenTheLastEnds) {
    auto a = Start("A");
    a->mute.MuteForRun(true);
    auto b = Start("B");
    b->mute.MuteForRun(true);
    EXPECT_TRUE(Silent());
    a->mute.RestoreAfterRun();
    EXPECT_TRUE(Silent()) << "A ended while B plays";
    b->mute.RestoreAfterRun();
    EXPECT_TRUE(UsersSound());
    EXPECT_EQ(recordText, "") << "the last one out removes the record";
}

TEST_F(SharedSoundTest, TheFirstToStartNeedNotBeTheLastToEnd) {
    auto a = Start("A");
    a->mute.MuteForRun(true);
    auto b = Start("B");
    b->mute.MuteForRun(true);
    b->mute.RestoreAfterRun();
    EXPECT_TRUE(Silent());
    a->mute.RestoreAfterRun();
    EXPECT_TRUE(UsersSound());
}

TEST_F(SharedSoundTest, AShowWithSoundLeavesTheRecordOfAMutedOneAlone) {
    auto a = Start("A");
    a->mute.MuteForRun(true);
    auto b = Start("B");
    b->mute.MuteForRun(false);
    b->mute.RestoreAfterRun();
    EXPECT_TRUE(Silent());
    a->mute.RestoreAfterRun();
    EXPECT_TRUE(UsersSound());
}

TEST_F(SharedSoundTest, TheNextRunnerPutsBackWhatAKilledOneSaved) {
    auto a = Start("A");
    a->mute.MuteForRun(true);
    Kill(a);
    EXPECT_TRUE(Silent()) << "nobody put it back";
    auto c = Start("C");
    EXPECT_TRUE(UsersSound());
    EXPECT_EQ(recordText, "");
    c->mute.MuteForRun(true);
    c->mute.RestoreAfterRun();
    EXPECT_TRUE(UsersSound());
}

TEST_F(SharedSoundTest, AMutedRunnerAfterAKilledOneSavesTheUsersSoundNotTheSilence) {
    auto a = Start("A");
    a->mute.MuteForRun(true);
    auto b = Start("B");
    b->mute.MuteForRun(true);
    Kill(a);
    Kill(b);
    // Started before anyone repaired it: the mute itself finds the record unheld.
    auto c = std::make_unique<TRunnerSound>(*this, "C");
    c->mute.MuteForRun(true);
    EXPECT_TRUE(Silent());
    c->mute.RestoreAfterRun();
    EXPECT_TRUE(UsersSound());
}

TEST_F(SharedSoundTest, ARecordStillHeldIsNotRepaired) {
    auto a = Start("A");
    a->mute.MuteForRun(true);
    auto c = Start("C");
    EXPECT_TRUE(Silent()) << "A still plays";
    a->mute.RestoreAfterRun();
    EXPECT_TRUE(UsersSound());
}

TEST_F(SharedSoundTest, AFirstRunnerWhoseRecordIsLostPutsBackWhatItSavedItself) {
    auto a = Start("A");
    a->mute.MuteForRun(true);
    recordText = "";  // refused or removed
    a->mute.RestoreAfterRun();
    EXPECT_TRUE(UsersSound());
}

TEST(SoundRecordText, ReadsBackWhatItWrites) {
    TSoundRecord record;
    record.Holders = {"QuindleSoundHolder_12_3_1", "QuindleSoundHolder_40_7_2"};
    record.Saved.Volume = 0x8000FFFF;
    record.Saved.Mutes.Append({"Realtek HD Audio#0", 0xFFFF0001u, 7, true});
    record.Saved.Mutes.Append({"Line\r\nbreak#1", 3, 9, false});
    const std::string text = FormatSoundRecord(record);
    EXPECT_EQ(text,
              "holder QuindleSoundHolder_12_3_1\nholder QuindleSoundHolder_40_7_2\nvolume 8000FFFF\n"
              "mute 4294901761 7 1 Realtek HD Audio#0\nmute 3 9 0 Line  break#1\n");
    const auto back = ParseSoundRecord(text);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->Holders, record.Holders);
    EXPECT_EQ(back->Saved.Volume, record.Saved.Volume);
    EXPECT_EQ(back->Saved.Mutes.Find("Realtek HD Audio#0", 0xFFFF0001u, 7), std::optional<bool>(true));
    EXPECT_EQ(back->Saved.Mutes.Find("Line  break#1", 3, 9), std::optional<bool>(false));
}

TEST(SoundRecordText, DamagedTextIsNoRecord) {
    for (const char* text : {"", "holder\n", "volume xyz\n", "mute 1 2 3 Dev\n", "mute 1 two 0 Dev\n", "other 1\n",
                             "volume 1FFFFFFFF\n"}) {
        EXPECT_FALSE(ParseSoundRecord(text).has_value()) << text;
    }
    const auto none = ParseSoundRecord("holder X\n");
    ASSERT_TRUE(none.has_value());
    EXPECT_FALSE(none->Saved.Volume.has_value()) << "an unreadable volume is not saved";
}

}  // namespace
}  // namespace quindle
