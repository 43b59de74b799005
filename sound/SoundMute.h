// Silencing the system's wave output for a run that asks for it, and putting the
// user's states back at its end: every mute control of the mixers' wave-output lines
// switched on, and the wave-output volume set to 0. The winmm calls sit behind
// IWaveVolume and IMixerSystem (Win32 in sound/win32, fakes in tests).
//
// Choices that keep the user's settings safe:
// - Each saved mute state names its control: the mixer device (its name, and which of
//   the devices of that name), the line and the control ID. At the end a state goes
//   back only to the control it was read from, so a control unreadable at the start
//   or a device unplugged during the run shifts nothing onto another control, and
//   only the controls that were saved are written.
// - A wave volume that cannot be read (waveOutGetVolume fails although the wave
//   mapper reports volume control) is not saved at all. Then the volume is neither set
//   to 0 nor written back at the end: writing back a value never read would leave the
//   user's volume at that value, 0 for instance.
// - The user has one saved sound, whatever number of muted shows run: the first runner
//   to mute saves it in a record shared by the user's runners (ISharedSoundRecord),
//   later ones count themselves in, and the last one out puts it back. A record whose
//   runners all ended without their restore (a crash, a kill, a power cut) is put back
//   by the next runner that starts.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
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

// What a device's capabilities tell.
struct TMixerCaps {
    std::string Name;
    uint32_t Destinations = 0;
};

class IMixerSystem {
public:
    virtual ~IMixerSystem() = default;
    virtual uint32_t DeviceCount() = 0;
    // False when they cannot be read.
    virtual bool Capabilities(uint32_t device, TMixerCaps& caps) = 0;
    // Null when the device does not open.
    virtual std::unique_ptr<IMixerDevice> Open(uint32_t device) = 0;
};

// One wave-output mute control and its state. Device: the device's name, then "#" and
// how many devices of that name come before it.
struct TSavedMute {
    std::string Device;
    uint32_t LineId = 0;
    uint32_t ControlId = 0;
    bool Muted = false;
};

// The states of the wave-output mute controls, in walk order.
class TMuteStates {
public:
    size_t Count() const { return states_.size(); }
    const std::vector<TSavedMute>& States() const { return states_; }
    void Append(TSavedMute state) { states_.push_back(std::move(state)); }
    // The state saved for that control; nothing when it was not saved.
    std::optional<bool> Find(const std::string& device, uint32_t lineId, uint32_t controlId) const;

private:
    std::vector<TSavedMute> states_;
};

// Switches every wave-output mute control on; returns the states they had.
TMuteStates MuteWaveOutControls(IMixerSystem& mixers);
// Writes each saved state back to the control it was read from.
void RestoreWaveOutControls(IMixerSystem& mixers, const TMuteStates& saved);

// The user's sound before the first muted run.
struct TSavedSound {
    std::optional<uint32_t> Volume;
    TMuteStates Mutes;
};

// Puts the saved sound back: the mute states, then the volume.
void RestoreSavedSound(IWaveVolume& wave, IMixerSystem& mixers, const TSavedSound& saved);

// The record the user's runners share, locked around each read and change.
class ISharedSoundRecord {
public:
    virtual ~ISharedSoundRecord() = default;
    // One runner at a time between Lock and Unlock; a lock that cannot be had in time
    // is gone on without (a race costs less than a user left muted).
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
    // "" when there is no record; writing "" removes it.
    virtual std::string Read() = 0;
    virtual void Write(const std::string& text) = 0;
    // This runner's name in the record, and whether the runner of a name still runs.
    virtual std::string OwnHolder() = 0;
    virtual bool IsLive(const std::string& holder) = 0;
};

// The wave mapper's volume, or nothing when it has no volume control or cannot be read.
std::optional<uint32_t> ReadWaveVolume(IWaveVolume& wave);
// Sets the volume only when the mapper has volume control and its volume can be read.
void WriteWaveVolume(IWaveVolume& wave, uint32_t volume);

// The start-of-run mute and the run-end restore, with what lies between them.
class TSoundMute {
public:
    TSoundMute(IWaveVolume& wave, IMixerSystem& mixers, ISharedSoundRecord& record);
    // A run that ends without its restore (an error between) still gets it.
    ~TSoundMute();
    TSoundMute(const TSoundMute&) = delete;
    TSoundMute& operator=(const TSoundMute&) = delete;

    // At the start of every show: puts back the sound a record of runners that all
    // ended without their restore still holds.
    void RepairLeftOver();
    // After the projector process is created, before it is resumed. Nothing at all
    // unless soundMute (the Sound option's Checked) is set.
    void MuteForRun(bool soundMute);
    // On the run's shut-down path, once: counts this runner out, and as the last one
    // out puts the user's sound back; nothing when it did not mute.
    void RestoreAfterRun();
    bool Applied() const { return applied_; }

private:
    IWaveVolume& wave_;
    IMixerSystem& mixers_;
    ISharedSoundRecord& record_;
    bool applied_ = false;
    // What this runner saved as the first one; put back by itself when the record is
    // lost (it could not be written, or was removed).
    std::optional<TSavedSound> savedHere_;
};

}  // namespace quindle
