// TMediaPlayer: a window-less MCI player for one file at a time. Its notifications
// arrive as MM_MCINOTIFY at the notification window, whose owner hands them to
// HandleNotify; OnNotify then runs for each of them.
#pragma once

#include "sound/MciDevice.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace quindle {

class EMCIDeviceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TMPNotifyValue { Successful, Superseded, Aborted, Failure };

// GetMode's answers: MCI's mode minus MCI_MODE_NOT_READY.
enum TMPMode : int32_t { mpNotReady = 0, mpStopped, mpPlaying, mpRecording, mpSeeking, mpPaused, mpOpen };

class TMediaPlayer {
public:
    explicit TMediaPlayer(IMciDevice& mci);
    // Closes a device that is still open.
    ~TMediaPlayer();
    TMediaPlayer(const TMediaPlayer&) = delete;
    TMediaPlayer& operator=(const TMediaPlayer&) = delete;

    std::function<void(TMediaPlayer&)> OnNotify;
    std::string FileName;
    bool AutoRewind = true;
    bool Shareable = false;
    uintptr_t NotificationWindow = 0;

    // Throws EMCIDeviceError with MCI's text when the device does not open.
    void Open();
    // Never throws; nothing without a device.
    void Close();
    // Play and Stop return MCI's code; they throw only "Device Not Open".
    uint32_t Play();
    uint32_t Stop();
    void Rewind();
    int32_t GetMode();  // 0 when closed
    uint32_t GetLength();
    uint32_t GetPosition();
    // One-shot overrides for the next command that looks at them.
    void SetNotify(bool value);
    void SetWait(bool value);
    // MM_MCINOTIFY's wParam.
    void HandleNotify(uintptr_t code);

    bool IsOpen() const { return open_; }
    uint16_t DeviceId() const { return deviceId_; }
    uint32_t LastError() const { return lastError_; }
    uint32_t LastFlags() const { return lastFlags_; }
    TMPNotifyValue NotifyValue() const { return notifyValue_; }

private:
    uint32_t WaitFirstFlags();    // Open, Close, Stop
    uint32_t NotifyFirstFlags();  // Play
    uint32_t Send(uint32_t message, uint32_t flags, TMciParams& params);
    uint32_t SendTo(uint16_t deviceId, uint32_t message, uint32_t flags, TMciParams& params);
    uint32_t Status(uint32_t item);
    void RequireOpen() const;
    [[noreturn]] void RaiseMciError(uint32_t code);

    IMciDevice& mci_;
    bool open_ = false;
    uint32_t lastFlags_ = 0;
    bool wait_ = false, notify_ = false;
    bool waitSet_ = false, notifySet_ = false;
    uint16_t deviceId_ = 0;
    uint32_t lastError_ = 0;
    TMPNotifyValue notifyValue_ = TMPNotifyValue::Successful;
};

}  // namespace quindle
