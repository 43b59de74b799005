// The mixer walk over the wave-output mute controls, the wave volume, and the
// start-of-run mute with its run-end restore.
#include "sound/SoundMute.h"

#include <algorithm>
#include <functional>
#include <map>
#include <string>

#include "sound/SharedSoundRecord.h"

namespace quindle {
namespace {

bool FeedsWaveOutput(uint32_t destinationTarget) {
    return destinationTarget == mixer::kTargetUndefined || destinationTarget == mixer::kTargetWaveOut ||
           destinationTarget == mixer::kTargetAux;
}

// What to write into a control met, from its state; nothing leaves it as it is.
using TNewState = std::function<std::optional<bool>(const TSavedMute& met)>;

class TMuteWalk {
public:
    TMuteWalk(IMixerSystem& mixers, TNewState newState) : mixers_(mixers), newState_(std::move(newState)) {}

    // Every device, every destination that can carry wave output, every wave-output
    // source of it, every mute control of that source; a control reachable through
    // several destinations of one device is met once.
    TMuteStates Run() {
        const uint32_t devices = mixers_.DeviceCount();
        std::map<std::string, int> namesMet;
        for (uint32_t d = 0; d < devices; ++d) {
            visited_.clear();
            TMixerCaps caps;
            if (!mixers_.Capabilities(d, caps)) continue;
            device_ = caps.Name + "#" + std::to_string(namesMet[caps.Name]++);
            std::unique_ptr<IMixerDevice> device = mixers_.Open(d);
            if (!device) continue;
            for (uint32_t i = 0; i < caps.Destinations; ++i) VisitDestination(*device, i);
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
            for (const TMixerControl& control : controls) VisitControl(device, source.LineId, control);
        }
    }

    void VisitControl(IMixerDevice& device, uint32_t lineId, const TMixerControl& control) {
        if (control.Type != mixer::kControlMute) return;
        if (std::find(visited_.begin(), visited_.end(), control.Id) != visited_.end()) return;
        visited_.push_back(control.Id);
        TSavedMute met{device_, lineId, control.Id, false};
        // A state that cannot be read cannot be put back: such a control is left alone.
        if (!device.ReadFlag(control.Id, met.Muted)) return;
        const std::optional<bool> next = newState_(met);
        previous_.Append(met);
        if (next) device.WriteFlag(control.Id, *next);
    }

    IMixerSystem& mixers_;
    TNewState newState_;
    std::string device_;             // the current device's name in the saved states
    std::vector<uint32_t> visited_;  // control IDs met on the current device
    TMuteStates previous_;
};

// One runner's turn at the shared record: locked while it lives, the record read at the
// start and written back (removed when reset) at the end.
class TSharedRecordTurn {
public:
    explicit TSharedRecordTurn(ISharedSoundRecord& store) : store_(store) {
        store_.Lock();
        Record = ParseSoundRecord(store_.Read());
        before_ = Record ? FormatSoundRecord(*Record) : std::string();
    }
    ~TSharedRecordTurn() {
        const std::string after = Record ? FormatSoundRecord(*Record) : std::string();
        if (after != before_) store_.Write(after);
        store_.Unlock();
    }
    TSharedRecordTurn(const TSharedRecordTurn&) = delete;
    TSharedRecordTurn& operator=(const TSharedRecordTurn&) = delete;

    std::function<bool(const std::string&)> IsLive() {
        return [this](const std::string& holder) { return store_.IsLive(holder); };
    }

    std::optional<TSoundRecord> Record;

private:
    ISharedSoundRecord& store_;
    std::string before_;
};

// Puts back the sound of a record that no live runner holds, and empties the record.
void PutBackUnheldSound(TSharedRecordTurn& turn, IWaveVolume& wave, IMixerSystem& mixers) {
    if (!turn.Record) return;
    if (std::optional<TSavedSound> unheld = TakeUnheldSound(*turn.Record, turn.IsLive())) {
        RestoreSavedSound(wave, mixers, *unheld);
        turn.Record.reset();
    }
}

}  // namespace

std::optional<bool> TMuteStates::Find(const std::string& device, uint32_t lineId, uint32_t controlId) const {
    for (const TSavedMute& state : states_) {
        if (state.Device == device && state.LineId == lineId && state.ControlId == controlId) return state.Muted;
    }
    return std::nullopt;
}

TMuteStates MuteWaveOutControls(IMixerSystem& mixers) {
    return TMuteWalk(mixers, [](const TSavedMute&) { return std::optional<bool>(true); }).Run();
}

void RestoreWaveOutControls(IMixerSystem& mixers, const TMuteStates& saved) {
    // A control that was not saved when the run began was not muted by it.
    TMuteWalk(mixers, [&saved](const TSavedMute& met) {
        return saved.Find(met.Device, met.LineId, met.ControlId);
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

void RestoreSavedSound(IWaveVolume& wave, IMixerSystem& mixers, const TSavedSound& saved) {
    RestoreWaveOutControls(mixers, saved.Mutes);
    if (saved.Volume) WriteWaveVolume(wave, *saved.Volume);
}

TSoundMute::TSoundMute(IWaveVolume& wave, IMixerSystem& mixers, ISharedSoundRecord& record)
    : wave_(wave), mixers_(mixers), record_(record) {}

TSoundMute::~TSoundMute() { RestoreAfterRun(); }

void TSoundMute::RepairLeftOver() {
    TSharedRecordTurn turn(record_);
    PutBackUnheldSound(turn, wave_, mixers_);
}

void TSoundMute::MuteForRun(bool soundMute) {
    if (!soundMute || applied_) return;
    TSharedRecordTurn turn(record_);
    PutBackUnheldSound(turn, wave_, mixers_);
    if (!turn.Record) turn.Record.emplace();
    // The first runner in saves the user's sound; a later one finds it muted already.
    if (turn.Record->Holders.empty()) {
        turn.Record->Saved.Volume = ReadWaveVolume(wave_);
        turn.Record->Saved.Mutes = MuteWaveOutControls(mixers_);
        savedHere_ = turn.Record->Saved;
    } else {
        MuteWaveOutControls(mixers_);
    }
    WriteWaveVolume(wave_, 0);
    turn.Record->Holders.push_back(record_.OwnHolder());
    applied_ = true;
}

void TSoundMute::RestoreAfterRun() {
    if (!applied_) return;
    applied_ = false;
    TSharedRecordTurn turn(record_);
    if (!turn.Record) {
        if (savedHere_) RestoreSavedSound(wave_, mixers_, *savedHere_);
        return;
    }
    const std::string self = record_.OwnHolder();
    auto& holders = turn.Record->Holders;
    holders.erase(std::remove(holders.begin(), holders.end(), self), holders.end());
    PutBackUnheldSound(turn, wave_, mixers_);
}

}  // namespace quindle
