// Silencing the system's wave output for a run that asks for it, and putting the
// user's states back at its end: every mute control of the mixers' wave-output lines
// switched on, and the wave-output volume set to 0. The winmm calls sit behind
// IWaveVolume and IMixerSystem (Win32 in sound/win32, fakes in tests).
//
// Two choices keep the user's settings safe where a plain 32-bit record would not:
// - The saved mute states are kept in 32-bit words, one bit per control in walk
//   order; the first word is the mask of the first 32 controls. A 33rd and later
//   control gets a bit of its own instead of sharing bit (k mod 32) with an earlier
//   one, so a system with more than 32 wave-output mute controls gets every one of
//   them back as it was. At the end, only the controls that were saved are written.
// - A wave volume that cannot be read (waveOutGetVolume fails although the wave
//   mapper reports volume control) is not saved at all. Then the volume is neither set
//   to 0 nor written back at the end: writing back a value never read would leave the
//   user's volume at that value, 0 for instance.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace quindle {

class IWaveVolume {
public:
    virtual ~IWaveVolume() = default;
    // waveOutGetDevCaps(WAVE_MAPPER) succeeds and reports WAVECAPS_VOLUME.
    virtual bool MapperHasVolume() = 0;
    // Low word left channel, high word right channel. False when the call fails.
    virtual bool GetVolume(uint32_t& volume) = 0;
    virtual bool SetVolume(uint32_t volume) = 0;
};

// The winmm mixer values the walk looks at.
namespace mixer {
constexpr uint32_t kTargetUndefined = 0;
constexpr uint32_t kTargetWaveOut = 1;
constexpr uint32_t kTargetWaveIn = 2;
constexpr uint32_t kTargetMidiOut = 3;
constexpr uint32_t kTargetMidiIn = 4;
constexpr uint32_t kTargetAux = 5;
constexpr uint32_t kControlMute = 0x20010002;
}  // namespace mixer

struct TMixerLine {
    uint32_t TargetType = 0;
    uint32_t Connections = 0;  // destinations: number of source lines
    uint32_t LineId = 0;
    uint32_t ControlCount = 0;
};

struct TMixerControl {
    uint32_t Id = 0;
    uint32_t Type = 0;
};

// One open mixer device; closed when released.
class IMixerDevice {
public:
    virtual ~IMixerDevice() = default;
    virtual bool Destination(uint32_t index, TMixerLine& line) = 0;
    virtual bool Source(uint32_t destination, uint32_t index, TMixerLine& line) = 0;
    virtual bool Controls(const TMixerLine& line, std::vector<TMixerControl>& controls) = 0;
    // One channel, one boolean value.
    virtual bool ReadFlag(uint32_t controlId, bool& value) = 0;
    virtual bool WriteFlag(uint32_t controlId, bool value) = 0;
};

class IMixerSystem {
public:
    virtual ~IMixerSystem() = default;
    virtual uint32_t DeviceCount() = 0;
    // From the device's capabilities; false when they cannot be read.
    virtual bool DestinationCount(uint32_t device, uint32_t& count) = 0;
    // Null when the device does not open.
    virtual std::unique_ptr<IMixerDevice> Open(uint32_t device) = 0;
};

// One bit per wave-output mute control, in walk order (1 = muted).
class TMuteStates {
public:
    size_t Count() const { return count_; }
    bool At(size_t k) const { return k < count_ && (words_[k / 32] >> (k % 32) & 1u) != 0; }
    void Append(bool muted);

private:
    std::vector<uint32_t> words_;
    size_t count_ = 0;
};

// Switches every wave-output mute control on; returns the states they had.
TMuteStates MuteWaveOutControls(IMixerSystem& mixers);
// Writes each saved state back to the control at the same place in the walk.
void RestoreWaveOutControls(IMixerSystem& mixers, const TMuteStates& saved);

// The wave mapper's volume, or nothing when it has no volume control or cannot be read.
std::optional<uint32_t> ReadWaveVolume(IWaveVolume& wave);
// Sets the volume only when the mapper has volume control and its volume can be read.
void WriteWaveVolume(IWaveVolume& wave, uint32_t volume);

// The start-of-run mute and the run-end restore, with what lies between them.
class TSoundMute {
public:
    TSoundMute(IWaveVolume& wave, IMixerSystem& mixers);
    // A run that ends without its restore (an error between) still gets it.
    ~TSoundMute();
    TSoundMute(const TSoundMute&) = delete;
    TSoundMute& operator=(const TSoundMute&) = delete;

    // After the projector process is created, before it is resumed. Nothing at all
    // unless soundMute (the Sound option's Checked) is set.
    void MuteForRun(bool soundMute);
    // On the run's shut-down path: puts back what MuteForRun saved, once; nothing
    // when it did not mute.
    void RestoreAfterRun();
    bool Applied() const { return applied_; }

private:
    IWaveVolume& wave_;
    IMixerSystem& mixers_;
    bool applied_ = false;
    std::optional<uint32_t> savedVolume_;
    TMuteStates savedMutes_;
};

}  // namespace quindle
