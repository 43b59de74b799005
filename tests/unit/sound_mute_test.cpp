// The start-of-run mute and the run-end restore against a fake mixer system and a
// fake wave mapper: which controls the walk touches, what comes back, and when
// nothing at all is called.
#include "sound/SoundMute.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>

namespace quindle {
namespace {

struct FakeSource {
    uint32_t Target = mixer::kTargetWaveOut;
    std::vector<TMixerControl> Controls;
    bool ControlsListed = true;
};
struct FakeDestination {
    uint32_t Target = mixer::kTargetWaveOut;
    std::vector<FakeSource> Sources;
    bool Readable = true;
};
struct FakeMixer {
    std::vector<FakeDestination> Destinations;
    std::map<uint32_t, bool> Values;  // control ID -> muted
    std::set<uint32_t> Unreadable;
    bool Opens = true;
    int OpenCount = 0, CloseCount = 0;
};

TMixerControl Mute(uint32_t id) { return {id, mixer::kControlMute}; }
TMixerControl Volume(uint32_t id) { return {id, 0x50030001}; }

class FakeMixerSystem : public IMixerSystem {
public:
    std::vector<FakeMixer> Devices;
    int Calls = 0;

    uint32_t DeviceCount() override {
        ++Calls;
        return uint32_t(Devices.size());
    }
    bool DestinationCount(uint32_t device, uint32_t& count) override {
        ++Calls;
        count = uint32_t(Devices.at(device).Destinations.size());
        return true;
    }
    std::unique_ptr<IMixerDevice> Open(uint32_t device) override {
        ++Calls;
        FakeMixer& mixer = Devices.at(device);
        if (!mixer.Opens) return nullptr;
        ++mixer.OpenCount;
        return std::make_unique<Device>(mixer);
    }

private:
    class Device : public IMixerDevice {
    public:
        explicit Device(FakeMixer& m) : m_(m) {}
        ~Device() override { ++m_.CloseCount; }
        bool Destination(uint32_t index, TMixerLine& line) override {
            const FakeDestination& d = m_.Destinations.at(index);
            if (!d.Readable) return false;
            line = {d.Target, uint32_t(d.Sources.size()), index << 16, 0};
            return true;
        }
        bool Source(uint32_t destination, uint32_t index, TMixerLine& line) override {
            const FakeSource& s = m_.Destinations.at(destination).Sources.at(index);
            line = {s.Target, 0, destination << 16 | (index + 1), uint32_t(s.Controls.size())};
            return true;
        }
        bool Controls(const TMixerLine& line, std::vector<TMixerControl>& controls) override {
            const FakeSource& s = m_.Destinations.at(line.LineId >> 16).Sources.at((line.LineId & 0xFFFF) - 1);
            if (!s.ControlsListed) return false;
            controls = s.Controls;
            return true;
        }
        bool ReadFlag(uint32_t id, bool& value) override {
            if (m_.Unreadable.count(id)) return false;
            value = m_.Values[id];
            return true;
        }
        bool WriteFlag(uint32_t id, bool value) override {
            m_.Values[id] = value;
            return true;
        }

    private:
        FakeMixer& m_;
    };
};

class FakeWave : public IWaveVolume {
public:
    bool HasVolume = true;
    bool Readable = true;
    uint32_t Volume = 0x80004000;
    std::vector<uint32_t> Written;
    int Calls = 0;

    bool MapperHasVolume() override {
        ++Calls;
        return HasVolume;
    }
    bool GetVolume(uint32_t& volume) override {
        ++Calls;
        volume = Volume;
        return Readable;
    }
    bool SetVolume(uint32_t volume) override {
        ++Calls;
        Written.push_back(volume);
        Volume = volume;
        return true;
    }
};

// Device 0: speakers (wave output) with a wave source and a synthesizer source, an aux
// destination reaching the same wave mute again plus one of its own, and a recording
// destination whose wave source carries a mute too. Device 1: one undefined
// destination whose wave source reuses ID 1. Device 2 does not open.
class MuteTest : public ::testing::Test {
protected:
    FakeMixerSystem mixers;
    FakeWave wave;
    TSoundMute mute{wave, mixers};

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

TEST_F(MuteTest, SavedMaskHoldsOneBitPerControlMet) {
    // Walk order: device 0 ID 1 (off), device 0 ID 4 (on), device 1 ID 1 (on).
    const TMuteStates saved = MuteWaveOutControls(mixers);
    ASSERT_EQ(saved.Count(), 3u);
    EXPECT_FALSE(saved.At(0));
    EXPECT_TRUE(saved.At(1));
    EXPECT_TRUE(saved.At(2));
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
        TSoundMute scoped(wave, mixers);
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
        TSoundMute m(w, none);
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
    for (uint32_t k = 0; k < 40; ++k) EXPECT_EQ(saved.At(k), (100 + k) % 3 == 0) << "ID " << 100 + k;
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
