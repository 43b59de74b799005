// The MIDI player's MCI seam over mciSendCommand, and the runner-side services the
// music needs (file checks, deletion, the runner's message pump).
#pragma once

#include "sound/BackgroundMusic.h"
#include "sound/MciDevice.h"

#include <functional>

namespace quindle {

class TWin32MciDevice : public IMciDevice {
public:
    uint32_t SendCommand(uint16_t deviceId, uint32_t message, uint32_t flags, TMciParams& params) override;
    bool ErrorText(uint32_t code, std::string& text) override;
};

class TWin32MusicHost : public IMusicHost {
public:
    // pumpMessages: the runner's own pump, so that handlers run as they do everywhere else.
    explicit TWin32MusicHost(std::function<void()> pumpMessages) : pump_(std::move(pumpMessages)) {}
    bool FileExists(const std::string& path) override;
    void PumpMessages() override { pump_(); }
    void RemoveFile(const std::string& path) override;

private:
    std::function<void()> pump_;
};

}  // namespace quindle
