// waveOut* on WAVE_MAPPER and mixer* by device index. Each open mixer is closed by
// its owner; the walk itself is portable (sound/SoundMute.cpp).
#include "sound/win32/Win32SoundSystem.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstring>

namespace quindle {
namespace {

// The mapper's ID stands in for a device handle, as waveOut*Volume accepts.
HWAVEOUT WaveMapper() { return reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(WAVE_MAPPER)); }

class TWin32MixerDevice : public IMixerDevice {
public:
    explicit TWin32MixerDevice(HMIXER mixer) : mixer_(mixer) {}
    ~TWin32MixerDevice() override { ::mixerClose(mixer_); }
    TWin32MixerDevice(const TWin32MixerDevice&) = delete;
    TWin32MixerDevice& operator=(const TWin32MixerDevice&) = delete;

    bool Destination(uint32_t index, TMixerLine& line) override {
        MIXERLINEA info{};
        info.cbStruct = sizeof info;
        info.dwDestination = index;
        return Read(info, MIXER_GETLINEINFOF_DESTINATION, line);
    }
    bool Source(uint32_t destination, uint32_t index, TMixerLine& line) override {
        MIXERLINEA info{};
        info.cbStruct = sizeof info;
        info.dwDestination = destination;
        info.dwSource = index;
        return Read(info, MIXER_GETLINEINFOF_SOURCE, line);
    }
    bool Controls(const TMixerLine& line, std::vector<TMixerControl>& controls) override {
        if (line.ControlCount == 0) return true;
        std::vector<MIXERCONTROLA> found(line.ControlCount);
        MIXERLINECONTROLSA request{};
        request.cbStruct = sizeof request;
        request.dwLineID = line.LineId;
        request.cControls = line.ControlCount;
        request.cbmxctrl = sizeof(MIXERCONTROLA);
        request.pamxctrl = found.data();
        if (::mixerGetLineControlsA(Object(), &request, MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ALL) !=
            MMSYSERR_NOERROR)
            return false;
        for (const MIXERCONTROLA& c : found) controls.push_back({c.dwControlID, c.dwControlType});
        return true;
    }
    bool ReadFlag(uint32_t controlId, bool& value) override {
        MIXERCONTROLDETAILS_BOOLEAN flag{};
        MIXERCONTROLDETAILS details = Details(controlId, flag);
        if (::mixerGetControlDetailsA(Object(), &details, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) !=
            MMSYSERR_NOERROR)
            return false;
        value = flag.fValue != 0;
        return true;
    }
    bool WriteFlag(uint32_t controlId, bool value) override {
        MIXERCONTROLDETAILS_BOOLEAN flag{};
        flag.fValue = value ? 1 : 0;
        MIXERCONTROLDETAILS details = Details(controlId, flag);
        return ::mixerSetControlDetails(Object(), &details, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) ==
               MMSYSERR_NOERROR;
    }

private:
    HMIXEROBJ Object() const { return reinterpret_cast<HMIXEROBJ>(mixer_); }
    bool Read(MIXERLINEA& info, DWORD which, TMixerLine& line) {
        if (::mixerGetLineInfoA(Object(), &info, MIXER_OBJECTF_HMIXER | which) != MMSYSERR_NOERROR) return false;
        line = {info.Target.dwType, info.cConnections, info.dwLineID, info.cControls};
        return true;
    }
    // One channel, no multiple items, one boolean.
    static MIXERCONTROLDETAILS Details(uint32_t controlId, MIXERCONTROLDETAILS_BOOLEAN& flag) {
        MIXERCONTROLDETAILS details{};
        details.cbStruct = sizeof details;
        details.dwControlID = controlId;
        details.cChannels = 1;
        details.cMultipleItems = 0;
        details.cbDetails = sizeof flag;
        details.paDetails = &flag;
        return details;
    }

    HMIXER mixer_;
};

}  // namespace

bool TWin32WaveVolume::MapperHasVolume() {
    WAVEOUTCAPSA caps{};
    return ::waveOutGetDevCapsA(WAVE_MAPPER, &caps, sizeof caps) == MMSYSERR_NOERROR &&
           (caps.dwSupport & WAVECAPS_VOLUME) != 0;
}

bool TWin32WaveVolume::GetVolume(uint32_t& volume) {
    DWORD value = 0;
    if (::waveOutGetVolume(WaveMapper(), &value) != MMSYSERR_NOERROR) return false;
    volume = value;
    return true;
}

bool TWin32WaveVolume::SetVolume(uint32_t volume) {
    return ::waveOutSetVolume(WaveMapper(), volume) == MMSYSERR_NOERROR;
}

uint32_t TWin32MixerSystem::DeviceCount() { return ::mixerGetNumDevs(); }

bool TWin32MixerSystem::Capabilities(uint32_t device, TMixerCaps& caps) {
    MIXERCAPSA read{};
    if (::mixerGetDevCapsA(device, &read, sizeof read) != MMSYSERR_NOERROR) return false;
    caps.Name.assign(read.szPname, ::strnlen(read.szPname, sizeof read.szPname));
    caps.Destinations = read.cDestinations;
    return true;
}

std::unique_ptr<IMixerDevice> TWin32MixerSystem::Open(uint32_t device) {
    HMIXER mixer = nullptr;
    if (::mixerOpen(&mixer, device, 0, 0, 0) != MMSYSERR_NOERROR || !mixer) return nullptr;
    return std::make_unique<TWin32MixerDevice>(mixer);
}

}  // namespace quindle
