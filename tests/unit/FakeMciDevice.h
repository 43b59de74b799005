// A stand-in MCI device for the player tests: records every command with its flags
// into a shared log, plays one pass at a time and posts the notifications MCI would.
#pragma once

#include "sound/MciDevice.h"

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

namespace quindle {

class FakeMciDevice : public IMciDevice {
public:
    explicit FakeMciDevice(std::vector<std::string>& log) : log_(log) {}

    uint32_t OpenError = 0;
    uint32_t PlayError = 0;
    bool HasErrorText = true;
    bool Playing = false;
    uint32_t Position = 0;
    uint32_t Length = 100;
    std::string OpenedElement;
    uintptr_t LastCallback = 0;
    std::deque<uintptr_t> Posted;  // MM_MCINOTIFY codes waiting in the queue
    int Plays = 0;

    static std::string Line(const char* what, uint32_t flags) {
        char text[48];
        std::snprintf(text, sizeof text, "%s 0x%X", what, flags);
        return text;
    }

    uint32_t SendCommand(uint16_t deviceId, uint32_t message, uint32_t flags, TMciParams& params) override {
        LastCallback = params.Callback;
        const bool expectDevice = message != mci::kOpen;
        if (expectDevice != (deviceId == kDevice)) log_.push_back("wrong device");
        switch (message) {
            case mci::kOpen:
                log_.push_back(Line("open", flags));
                if (OpenError) return OpenError;
                OpenedElement = params.Element;
                params.DeviceId = kDevice;
                return 0;
            case mci::kPlay:
                log_.push_back(Line("play", flags));
                if (PlayError) return PlayError;
                if (notifyPending_) Posted.push_back(mci::kNotifySuperseded);
                notifyPending_ = (flags & mci::kNotify) != 0;
                Playing = true;
                ++Plays;
                return 0;
            case mci::kStop:
                log_.push_back(Line("stop", flags));
                if (Playing && notifyPending_) Posted.push_back(mci::kNotifyAborted);
                notifyPending_ = Playing = false;
                if (flags & mci::kNotify) Posted.push_back(mci::kNotifySuccessful);
                return 0;
            case mci::kClose:
                log_.push_back(Line("close", flags));
                if (flags & mci::kNotify) Posted.push_back(mci::kNotifySuccessful);
                return 0;
            case mci::kSeek:
                log_.push_back(Line("seek", flags));
                Position = 0;
                return 0;
            case mci::kStatus:
                log_.push_back(Line("status", flags) + " item " + std::to_string(params.Item));
                params.Return = params.Item == mci::kStatusMode     ? mci::kModeNotReady + (Playing ? 2 : 1)
                                : params.Item == mci::kStatusLength ? Length
                                                                    : Position;
                return 0;
        }
        log_.push_back("unknown command");
        return 277;
    }
    bool ErrorText(uint32_t code, std::string& text) override {
        if (!HasErrorText) return false;
        text = "MCI error " + std::to_string(code);
        return true;
    }

    // The pass that is playing runs to its end; code is what MCI reports for it.
    void EndPass(uintptr_t code = mci::kNotifySuccessful) {
        Playing = false;
        Position = Length;
        if (notifyPending_) Posted.push_back(code);
        notifyPending_ = false;
    }

    static constexpr uint16_t kDevice = 7;

private:
    std::vector<std::string>& log_;
    bool notifyPending_ = false;
};

}  // namespace quindle
