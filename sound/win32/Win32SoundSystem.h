// The wave mapper's volume and the mixer devices over winmm, for the start-of-run mute.
#pragma once

#include "sound/SoundMute.h"

namespace quindle {

class TWin32WaveVolume : public IWaveVolume {
public:
    bool MapperHasVolume() override;
    bool GetVolume(uint32_t& volume) override;
    bool SetVolume(uint32_t volume) override;
};

class TWin32MixerSystem : public IMixerSystem {
public:
    uint32_t DeviceCount() override;
    bool Capabilities(uint32_t device, TMixerCaps& caps) override;
    std::unique_ptr<IMixerDevice> Open(uint32_t device) override;
};

}  // namespace quindle
