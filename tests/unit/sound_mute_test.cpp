// The start-of-run mute and the run-end restore against a fake mixer system and a
// fake wave mapper: which controls the walk touches, what comes back, and when
// nothing at all is called.
#include "sound/SoundMute.h"

#include <gtest/gtest.h>

#include "tests/unit/FakeSoundSystem.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>

namespace quindle {
namespace {

// Device 0: speakers (wave output) with a wave source and a synthesizer source, an aux
// destination reaching the same wave mute again plus one of its own, and a recording
// destination whose wave source carries a mute too. Device 1: one undefined
// destination whose wave source reuses ID 1. Device 2 does not open.
class MuteTest : public ::testing::Test {
protected:
    FakeMixerSystem mixers;
    FakeWave wave;
    std::string recordText;
    std::set<std::string> liveRunners;
    FakeSharedRecord record{&recordText, &liveRunners, "this"};
    TSoundMute mute{wave, mixers, record};

    void SetUp() override {
        FakeMixer first;
        first.Destinations = {
            {mixer::kTargetWaveOut,
             {{mixer::kTargetWaveOut, {Volume(2), Mute(1)}}, {mixer::kTargetMidiOut, {Mute(3)}}}},
            {mixer::kTargetAux, {{mixer::kTargetWaveOut, {Mute(1), Mute(4)}}}},
            {mixer::kTargetWaveIn, {{mixer::kTargetWaveOut, {Mute(5)}}}},
            {mixer::kTargetMidiIn, {{mixer::kTargetWaveOut, {Mute(6)}}}},
        };
        first.Values = {{1, false}, {2, false}, {3, false}, {4, true}, {5, false}, {6, false}};
        FakeMixer second;
        second.Destinations = {{mixer::kTargetUndefined, {{mixer::kTargetWaveOut, {Mute(1)}}}}};
        second.Values = {{1, true}};
        FakeMixer closed;
        closed.Opens = false;
        closed.Destinations = {{mixer::kTargetWaveOut, {{mixer::kTargetWaveOut, {Mute(1)}}}}};
        mixers.Devices = {first, second, closed};
    }
    std::map<uint32_t, bool>& Values(size_t device) { return mixers.Devices[device].Values; }
};

TEST_F(MuteTest, MuteSwitchesOnEachWaveOutputMuteOnceAndSavesTheStatesInWalkOrder) {
    const auto before0 = Values(0);
    mute.MuteForRun(true);
    EXPECT_TRUE(mute.Applied());
    EXPECT_EQ(Values(0),
              (std::map<uint32_t, bool>{{1, true}, {2, false}, {3, false}, {4, true}, {5, false}, {6, false}}));
    EXPECT_EQ(Values(1), (std::map<uint32_t, bool>{{1, true}}));
    EXPECT_EQ(mixers.Devices[2].Values, (std::map<uint32_t, bool>{}));
    for (const FakeMixer& m : mixers.Devices) EXPECT_EQ(m.OpenCount, m.CloseCount);

    mute.RestoreAfterRun();
    EXPECT_EQ(Values(0), before0);
    EXPECT_EQ(Values(1), (std::map<uint32_t, bool>{{1, true}}));
}

TEST_F(MuteTest, SavedStatesNameTheirControlsInWalkOrder) {
    // Walk order: device 0 ID 1 (off), device 0 ID 4 (on), device 1 ID 1 (on); the second
    // device has the first one's name, so it is told apart by its place among them.
    const TMuteStates saved = MuteWaveOutControls(mixers);
    ASSERT_EQ(saved.Count(), 3u);
    const auto& s = saved.States();
    EXPECT_EQ(std::make_tuple(s[0].Device, s[0].LineId, s[0].ControlId, s[0].Muted),
              std::make_tuple(std::string("Mixer#0"), 1u, 1u, false));
    EXPECT_EQ(std::make_tuple(s[1].Device, s[1].LineId, s[1].ControlId, s[1].Muted),
              std::make_tuple(std::string("Mixer#0"), (1u << 16) | 1u, 4u, true));
    EXPECT_EQ(std::make_tuple(s[2].Device, s[2].LineId, s[2].ControlId, s[2].Muted),
              std::make_tuple(std::string("Mixer#1"), 1u, 1u, true));
}

TEST_F(MuteTest, TheUsersChangeDuringTheRunIsOverwrittenAtTheEnd) {
    mute.MuteForRun(true);
    Values(0)[1] = false;
    Values(0)[4] = false;
    Values(1)[1] = false;
    mute.RestoreAfterRun();
    EXPECT_FALSE(Values(0)[1]);
    EXPECT_TRUE(Values(0)[4]);
    EXPECT_TRUE(Values(1)[1]);
}

TEST_F(MuteTest, WithTheMuteFlagOffNothingIsCalled) {
    mute.MuteForRun(false);
    mute.RestoreAfterRun();
    EXPECT_FALSE(mute.Applied());
    EXPECT_EQ(mixers.Calls, 0);
    EXPECT_EQ(wave.Calls, 0);
}

TEST_F(MuteTest, ARunThatNeverMutedRestoresNothing) {
    // The projector did not start: the mute was never carried out.
    mute.RestoreAfterRun();
    EXPECT_EQ(mixers.Calls, 0);
    EXPECT_EQ(wave.Calls, 0);
}

TEST_F(MuteTest, RestoreRunsOnceAndTheOwnerFinishesAForgottenOne) {
    {
        TSoundMute scoped(wave, mixers, record);
        scoped.MuteForRun(true);
        EXPECT_EQ(wave.Volume, 0u);
    }
    EXPECT_EQ(wave.Volume, 0x80004000u);
    EXPECT_FALSE(Values(0)[1]);
    mute.MuteForRun(true);
    mute.RestoreAfterRun();
    const int calls = mixers.Calls + wave.Calls;
    mute.RestoreAfterRun();
    EXPECT_EQ(mixers.Calls + wave.Calls, calls);
}

TEST_F(MuteTest, WaveVolumeIsZeroedAndPutBackOnlyWhenItCouldBeRead) {
    const struct {
        const char* name;
        bool hasVolume, readableAtStart, readableAtEnd;
        std::vector<uint32_t> written;
    } cases[] = {
        {"volume control", true, true, true, {0, 0x80004000}},
        {"no volume control", false, true, true, {}},
        {"read fails after the capability test", true, false, true, {}},
        {"read fails at the end", true, true, false, {0}},
    };
    for (const auto& c : cases) {
        FakeWave w;
        FakeMixerSystem none;
        w.HasVolume = c.hasVolume;
        w.Readable = c.readableAtStart;
        TSoundMute m(w, none, record);
        m.MuteForRun(true);
        w.Readable = c.readableAtEnd;
        m.RestoreAfterRun();
        EXPECT_EQ(w.Written, c.written) << c.name;
        EXPECT_EQ(none.Calls, 2) << "a system without mixers: only the device count, at start and end";
    }
}

TEST_F(MuteTest, UnreadableLinesSourcesAndControlsAreLeftAlone) {
    mixers.Devices[0].Destinations[0].Readable = false;
    mixers.Devices[0].Destinations[1].Sources[0].Controls.push_back(Mute(7));
    mixers.Devices[0].Unreadable = {4};
    mixers.Devices[1].Destinations[0].Sources[0].ControlsListed = false;
    Values(0)[7] = false;
    const TMuteStates saved = MuteWaveOutControls(mixers);
    EXPECT_EQ(saved.Count(), 2u);  // IDs 1 and 7, through the aux destination
    EXPECT_TRUE(Values(0)[1]);
    EXPECT_TRUE(Values(0)[4]);  // was muted and could not be read: not written
    EXPECT_TRUE(Values(0)[7]);
    EXPECT_TRUE(Values(1)[1]);  // untouched: it was on already
    EXPECT_EQ(mixers.Devices[1].OpenCount, mixers.Devices[1].CloseCount);
}

// More controls than a 32-bit mask holds: each keeps a state of its own.
TEST_F(MuteTest, EveryControlBeyondTheThirtySecondGetsItsOwnStateBack) {
    FakeMixer big;
    FakeSource wideSource;
    for (uint32_t id = 100; id < 140; ++id) {
        wideSource.Controls.push_back(Mute(id));
        big.Values[id] = id % 3 == 0;
    }
    big.Destinations = {{mixer::kTargetWaveOut, {wideSource}}};
    mixers.Devices = {big};
    const auto before = Values(0);

    mute.MuteForRun(true);
    for (const auto& v : Values(0)) EXPECT_TRUE(v.second) << v.first;
    mute.RestoreAfterRun();
    EXPECT_EQ(Values(0), before);

    const TMuteStates saved = MuteWaveOutControls(mixers);
    ASSERT_EQ(saved.Count(), 40u);
    for (uint32_t k = 0; k < 40; ++k) EXPECT_EQ(saved.States()[k].Muted, (100 + k) % 3 == 0) << "ID " << 100 + k;
}

TEST_F(MuteTest, ControlsAddedDuringTheRunAreNotWrittenAtTheEnd) {
    mute.MuteForRun(true);
    mixers.Devices[1].Destinations[0].Sources[0].Controls.push_back(Mute(9));
    Values(1)[9] = true;
    mute.RestoreAfterRun();
    EXPECT_TRUE(Values(1)[9]);
}

}  // namespace
}  // namespace quindle

namespace quindle {
namespace {

// States go back to the controls they were read from, whatever comes and goes between.
TEST_F(MuteTest, AControlUnreadableAtTheStartIsNotGivenAnotherControlsState) {
    // Walk order at the start: device 0 ID 1 (off), ID 4 unreadable, device 1 ID 1 (on).
    mixers.Devices[0].Unreadable = {4};
    mute.MuteForRun(true);
    Values(0)[4] = false;  // the user's own state, readable by the end
    mixers.Devices[0].Unreadable.clear();
    mute.RestoreAfterRun();
    EXPECT_FALSE(Values(0)[1]);
    EXPECT_FALSE(Values(0)[4]) << "not saved, so not written";
    EXPECT_TRUE(Values(1)[1]);
}

TEST_F(MuteTest, ADeviceUnpluggedDuringTheRunShiftsNothingOntoTheOthers) {
    FakeMixer front;
    front.Name = "Front";
    front.Destinations = {{mixer::kTargetWaveOut, {{mixer::kTargetWaveOut, {Mute(1), Mute(2)}}}}};
    front.Values = {{1, true}, {2, false}};
    FakeMixer headset = front;
    headset.Name = "Headset";
    headset.Values = {{1, false}, {2, true}};
    mixers.Devices = {front, headset};
    mute.MuteForRun(true);
    mixers.Devices.erase(mixers.Devices.begin());  // the headset is device 0 now
    mute.RestoreAfterRun();
    EXPECT_EQ(Values(0), (std::map<uint32_t, bool>{{1, false}, {2, true}}));
}

}  // namespace
}  // namespace quindle
