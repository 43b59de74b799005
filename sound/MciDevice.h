// The Media Control Interface as the MIDI player sees it: one command call and the
// error text. Win32 sends through mciSendCommand (sound/win32); tests use a fake device.
#pragma once

#include <cstdint>
#include <string>

namespace quindle {

// The Win32 multimedia API's values, so that recorded commands read as MCI's own.
namespace mci {
constexpr uint32_t kOpen = 0x0803;
constexpr uint32_t kClose = 0x0804;
constexpr uint32_t kPlay = 0x0806;
constexpr uint32_t kSeek = 0x0807;
constexpr uint32_t kStop = 0x0808;
constexpr uint32_t kStatus = 0x0814;

constexpr uint32_t kNotify = 0x0001;
constexpr uint32_t kWait = 0x0002;
constexpr uint32_t kOpenShareable = 0x0100;
constexpr uint32_t kOpenElement = 0x0200;
constexpr uint32_t kSeekToStart = 0x0100;
constexpr uint32_t kStatusItem = 0x0100;

constexpr uint32_t kStatusLength = 1;
constexpr uint32_t kStatusPosition = 2;
constexpr uint32_t kStatusMode = 4;
constexpr uint32_t kModeNotReady = 524;  // status modes count up from here

// MM_MCINOTIFY and its wParam codes.
constexpr uint32_t kNotifyMessage = 0x03B9;
constexpr uint32_t kNotifySuccessful = 1;
constexpr uint32_t kNotifySuperseded = 2;
constexpr uint32_t kNotifyAborted = 4;
constexpr uint32_t kNotifyFailure = 8;
}  // namespace mci

// What one command carries in and out; each command reads the fields it needs.
struct TMciParams {
    uintptr_t Callback = 0;  // window that receives MM_MCINOTIFY
    std::string Element;     // open: the file
    uint32_t Item = 0;       // status: what to report
    uint32_t Return = 0;     // status: the value reported
    uint16_t DeviceId = 0;   // open: the device MCI chose
};

class IMciDevice {
public:
    virtual ~IMciDevice() = default;
    // Returns MCI's error code, 0 on success.
    virtual uint32_t SendCommand(uint16_t deviceId, uint32_t message, uint32_t flags, TMciParams& params) = 0;
    // False when MCI has no text for the code.
    virtual bool ErrorText(uint32_t code, std::string& text) = 0;
};

}  // namespace quindle
