// A winmm.dll of our own for the sound tests: one mixer device with a wave-output line
// holding two mute controls, and a wave mapper with volume control. Their states live
// in a text file (FAKE_WINMM_STATE) that every process loading this library shares, so
// the test sees what each runner left. The test puts it beside a runner and asks Wine
// for it in place of the system's; MCI is refused, as on a machine without a sequencer.
//
// The file's lines: "volume HEX", "mute ID 0|1", and "devices N" (0 unplugs the mixer).
#define _WINMM_
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

namespace {

constexpr DWORD kMuteA = 7, kVolumeControl = 8, kMuteB = 9;
constexpr DWORD kDestinationLine = 0xFFFF0000, kSourceLine = 0x00000001;
HMIXER const kMixer = reinterpret_cast<HMIXER>(static_cast<UINT_PTR>(0x5151));

struct TState {
    DWORD Volume = 0;
    std::map<DWORD, BOOL> Mutes;
    DWORD Devices = 1;
};

std::string StatePath() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableA("FAKE_WINMM_STATE", path, MAX_PATH);
    return length && length < MAX_PATH ? std::string(path, length) : std::string();
}

TState Load() {
    TState state;
    FILE* file = std::fopen(StatePath().c_str(), "rb");
    if (!file) return state;
    char word[32];
    unsigned long a = 0, b = 0;
    while (std::fscanf(file, "%31s", word) == 1) {
        if (!std::strcmp(word, "volume") && std::fscanf(file, "%lx", &a) == 1) state.Volume = a;
        if (!std::strcmp(word, "mute") && std::fscanf(file, "%lu %lu", &a, &b) == 2) state.Mutes[a] = b != 0;
        if (!std::strcmp(word, "devices") && std::fscanf(file, "%lu", &a) == 1) state.Devices = a;
    }
    std::fclose(file);
    return state;
}

void Save(const TState& state) {
    FILE* file = std::fopen(StatePath().c_str(), "wb");
    if (!file) return;
    std::fprintf(file, "volume %08lX\n", static_cast<unsigned long>(state.Volume));
    for (const auto& [id, muted] : state.Mutes)
        std::fprintf(file, "mute %lu %d\n", static_cast<unsigned long>(id), muted ? 1 : 0);
    std::fprintf(file, "devices %lu\n", static_cast<unsigned long>(state.Devices));
    std::fclose(file);
}

bool IsMapper(HWAVEOUT wave) { return reinterpret_cast<UINT_PTR>(wave) == WAVE_MAPPER; }

void FillControl(MIXERCONTROLA& control, DWORD id, DWORD type) {
    std::memset(&control, 0, sizeof control);
    control.cbStruct = sizeof control;
    control.dwControlID = id;
    control.dwControlType = type;
    control.cMultipleItems = 0;
}

}  // namespace

extern "C" {

MMRESULT WINAPI waveOutGetDevCapsA(UINT_PTR device, LPWAVEOUTCAPSA caps, UINT size) {
    if (device != WAVE_MAPPER || !caps || size < sizeof *caps) return MMSYSERR_BADDEVICEID;
    std::memset(caps, 0, size);
    std::strcpy(caps->szPname, "Fake Wave Mapper");
    caps->dwSupport = WAVECAPS_VOLUME | WAVECAPS_LRVOLUME;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutGetVolume(HWAVEOUT wave, LPDWORD volume) {
    if (!IsMapper(wave) || !volume) return MMSYSERR_INVALHANDLE;
    *volume = Load().Volume;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutSetVolume(HWAVEOUT wave, DWORD volume) {
    if (!IsMapper(wave)) return MMSYSERR_INVALHANDLE;
    TState state = Load();
    state.Volume = volume;
    Save(state);
    return MMSYSERR_NOERROR;
}

UINT WINAPI mixerGetNumDevs() { return Load().Devices; }

MMRESULT WINAPI mixerGetDevCapsA(UINT_PTR device, LPMIXERCAPSA caps, UINT size) {
    if (device >= Load().Devices || !caps || size < sizeof *caps) return MMSYSERR_BADDEVICEID;
    std::memset(caps, 0, size);
    std::strcpy(caps->szPname, "Fake Speakers");
    caps->cDestinations = 1;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI mixerOpen(LPHMIXER mixer, UINT device, DWORD_PTR, DWORD_PTR, DWORD) {
    if (device >= Load().Devices || !mixer) return MMSYSERR_BADDEVICEID;
    *mixer = kMixer;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI mixerClose(HMIXER mixer) { return mixer == kMixer ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE; }

MMRESULT WINAPI mixerGetLineInfoA(HMIXEROBJ, LPMIXERLINEA line, DWORD flags) {
    if (!line || line->dwDestination != 0) return MIXERR_INVALLINE;
    const DWORD which = flags & MIXER_GETLINEINFOF_QUERYMASK;
    if (which == MIXER_GETLINEINFOF_DESTINATION) {
        line->dwLineID = kDestinationLine;
        line->cConnections = 1;
        line->cControls = 0;
        line->Target.dwType = MIXERLINE_TARGETTYPE_WAVEOUT;
        return MMSYSERR_NOERROR;
    }
    if (which == MIXER_GETLINEINFOF_SOURCE && line->dwSource == 0) {
        line->dwLineID = kSourceLine;
        line->cConnections = 0;
        line->cControls = 3;
        line->Target.dwType = MIXERLINE_TARGETTYPE_WAVEOUT;
        return MMSYSERR_NOERROR;
    }
    return MIXERR_INVALLINE;
}

MMRESULT WINAPI mixerGetLineControlsA(HMIXEROBJ, LPMIXERLINECONTROLSA request, DWORD) {
    if (!request || request->dwLineID != kSourceLine || request->cControls < 3) return MIXERR_INVALLINE;
    FillControl(request->pamxctrl[0], kMuteA, MIXERCONTROL_CONTROLTYPE_MUTE);
    FillControl(request->pamxctrl[1], kVolumeControl, MIXERCONTROL_CONTROLTYPE_VOLUME);
    FillControl(request->pamxctrl[2], kMuteB, MIXERCONTROL_CONTROLTYPE_MUTE);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI mixerGetControlDetailsA(HMIXEROBJ, LPMIXERCONTROLDETAILS details, DWORD) {
    if (!details || (details->dwControlID != kMuteA && details->dwControlID != kMuteB)) return MIXERR_INVALCONTROL;
    static_cast<MIXERCONTROLDETAILS_BOOLEAN*>(details->paDetails)->fValue = Load().Mutes[details->dwControlID];
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI mixerSetControlDetails(HMIXEROBJ, LPMIXERCONTROLDETAILS details, DWORD) {
    if (!details || (details->dwControlID != kMuteA && details->dwControlID != kMuteB)) return MIXERR_INVALCONTROL;
    TState state = Load();
    state.Mutes[details->dwControlID] = static_cast<MIXERCONTROLDETAILS_BOOLEAN*>(details->paDetails)->fValue;
    Save(state);
    return MMSYSERR_NOERROR;
}

MCIERROR WINAPI mciSendCommandA(MCIDEVICEID, UINT, DWORD_PTR, DWORD_PTR) { return MCIERR_DEVICE_NOT_INSTALLED; }

BOOL WINAPI mciGetErrorStringA(MCIERROR, LPSTR text, UINT length) {
    if (text && length) text[0] = '\0';
    return FALSE;
}

}  // extern "C"
