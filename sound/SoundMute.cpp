// The mixer walk over the wave-output mute controls, the wave volume, and the
// start-of-run mute with its run-end restore.
#include "sound/SoundMute.h"

#include <algorithm>
#include <functional>

namespace quindle {
namespace {

bool FeedsWaveOutput(uint32_t destinationTarget) {
    return destinationTarget == mixer::kTargetUndefined || destinationTarget == mixer::kTargetWaveOut ||
           destinationTarget == mixer::kTargetAux;
}

// What to write into the k-th control met; nothing leaves it as it is.
using TNewState = std::function<std::optional<bool>(size_t k)>;

class TMuteWalk {
public:
    TMuteWalk(IMixerSystem& mixers, TNewState newState) : mixers_(mixers), newState_(std::move(newState)) {}

    // Every device, every destination that can carry wave output, every wave-output
    // source of it, every mute control of that source; a control reachable through
    // several destinations of one device is met once.
    TMuteStates Run() {
        const uint32_t devices = mixers_.DeviceCount();
        for (uint32_t d = 0; d < devices; ++d) {
            visited_.clear();
            uint32_t destinations = 0;
            if (!mixers_.DestinationCount(d, destinations)) continue;
            std::unique_ptr<IMixerDevice> device = mixers_.Open(d);
            if (!device) continue;
            for (uint32_t i = 0; i < destinations; ++i) VisitDestination(*device, i);
        }
        return std::move(previous_);
    }

private:
    void VisitDestination(IMixerDevice& device, uint32_t i) {
        TMixerLine destination;
        if (!device.Destination(i, destination) || !FeedsWaveOutput(destination.TargetType)) return;
        for (uint32_t s = 0; s < destination.Connections; ++s) {
            TMixerLine source;
            std::vector<TMixerControl> controls;
            if (!device.Source(i, s, source) || source.TargetType != mixer::kTargetWaveOut) continue;
            if (!device.Controls(source, controls)) continue;
            for (const TMixerControl& control : controls) VisitControl(device, control);
        }
    }

    void VisitControl(IMixerDevice& device, const TMixerControl& control) {
        if (control.Type != mixer::kControlMute) return;
        if (std::find(visited_.begin(), visited_.end(), control.Id) != visited_.end()) return;
        visited_.push_back(control.Id);
        bool muted = false;
        // A state that cannot be read cannot be put back: such a control is left alone.
        if (!device.ReadFlag(control.Id, muted)) return;
        const std::optional<bool> next = newState_(previous_.Count());
        previous_.Append(muted);
        if (next) device.WriteFlag(control.Id, *next);
    }

    IMixerSystem& mixers_;
    TNewState newState_;
    std::vector<uint32_t> visited_;  // control IDs met on the current device
    TMuteStates previous_;
};

}  // namespace

void TMuteStates::Append(bool muted) {
    if (count_ % 32 == 0) words_.push_back(0);
    if (muted) words_.back() |= 1u << (count_ % 32);
    ++count_;
}

TMuteStates MuteWaveOutControls(IMixerSystem& mixers) {
    return TMuteWalk(mixers, [](size_t) { return std::optional<bool>(true); }).Run();
}

void RestoreWaveOutControls(IMixerSystem& mixers, const TMuteStates& saved) {
    // A control that was not there when the run began was not muted by it.
    TMuteWalk(mixers, [&saved](size_t k) {
        return k < saved.Count() ? std::optional<bool>(saved.At(k)) : std::nullopt;
    }).Run();
}

std::optional<uint32_t> ReadWaveVolume(IWaveVolume& wave) {
    uint32_t volume = 0;
    if (!wave.MapperHasVolume() || !wave.GetVolume(volume)) return std::nullopt;
    return volume;
}

void WriteWaveVolume(IWaveVolume& wave, uint32_t volume) {
    if (ReadWaveVolume(wave)) wave.SetVolume(volume);
}

TSoundMute::TSoundMute(IWaveVolume& wave, IMixerSystem& mixers) : wave_(wave), mixers_(mixers) {}

TSoundMute::~TSoundMute() { RestoreAfterRun(); }

void TSoundMute::MuteForRun(bool soundMute) {
    if (!soundMute || applied_) return;
    savedVolume_ = ReadWaveVolume(wave_);
    savedMutes_ = MuteWaveOutControls(mixers_);
    if (savedVolume_) WriteWaveVolume(wave_, 0);
    applied_ = true;
}

void TSoundMute::RestoreAfterRun() {
    if (!applied_) return;
    applied_ = false;
    RestoreWaveOutControls(mixers_, savedMutes_);
    if (savedVolume_) WriteWaveVolume(wave_, *savedVolume_);
}

}  // namespace quindle
