// A fake mixer system, wave mapper and shared sound record for the sound tests: each
// records what was written, and can refuse what a real system may refuse.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "sound/SoundMute.h"

namespace quindle {

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
    std::string Name = "Mixer";
    std::vector<FakeDestination> Destinations;
    std::map<uint32_t, bool> Values;  // control ID -> muted
    std::set<uint32_t> Unreadable;
    bool Opens = true;
    int OpenCount = 0, CloseCount = 0;
};

inline TMixerControl Mute(uint32_t id) { return {id, mixer::kControlMute}; }
inline TMixerControl Volume(uint32_t id) { return {id, 0x50030001}; }

class FakeMixerSystem : public IMixerSystem {
public:
    std::vector<FakeMixer> Devices;
    int Calls = 0;

    uint32_t DeviceCount() override {
        ++Calls;
        return uint32_t(Devices.size());
    }
    bool Capabilities(uint32_t device, TMixerCaps& caps) override {
        ++Calls;
        caps = {Devices.at(device).Name, uint32_t(Devices.at(device).Destinations.size())};
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

// The user's runners' record in memory; a holder is live until the test ends its runner.
class FakeSharedRecord : public ISharedSoundRecord {
public:
    explicit FakeSharedRecord(std::string* text, std::set<std::string>* live, std::string holder)
        : text_(text), live_(live), holder_(std::move(holder)) {
        live_->insert(holder_);
    }
    int Locked = 0;
    bool Connected = true;  // false: its runner has died, and reaches nothing any more
    void Lock() override { EXPECT_EQ(Locked++, 0); }
    void Unlock() override { --Locked; }
    std::string Read() override {
        EXPECT_EQ(Locked, 1) << "read outside the lock";
        return Connected ? *text_ : std::string();
    }
    void Write(const std::string& text) override {
        EXPECT_EQ(Locked, 1) << "written outside the lock";
        if (Connected) *text_ = text;
    }
    std::string OwnHolder() override { return holder_; }
    bool IsLive(const std::string& holder) override { return live_->count(holder) != 0; }

private:
    std::string* text_;
    std::set<std::string>* live_;
    std::string holder_;
};

}  // namespace quindle
