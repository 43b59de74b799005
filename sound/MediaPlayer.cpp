// TMediaPlayer over the IMciDevice seam.
#include "sound/MediaPlayer.h"

namespace quindle {

TMediaPlayer::TMediaPlayer(IMciDevice& mci) : mci_(mci) {}

TMediaPlayer::~TMediaPlayer() {
    if (deviceId_ == 0) return;
    TMciParams params;
    params.Callback = NotificationWindow;
    mci_.SendCommand(deviceId_, mci::kClose, mci::kWait, params);
}

// Open, Close and Stop wait for MCI unless told not to, and notify only when asked.
uint32_t TMediaPlayer::WaitFirstFlags() {
    uint32_t flags = waitSet_ && !wait_ ? 0 : mci::kWait;
    if (notifySet_ && notify_) flags |= mci::kNotify;
    waitSet_ = notifySet_ = false;
    return flags;
}

// Play notifies unless told not to, and waits only when asked: the music runs on
// while the runner pumps its messages.
uint32_t TMediaPlayer::NotifyFirstFlags() {
    uint32_t flags = notifySet_ && !notify_ ? 0 : mci::kNotify;
    if (waitSet_ && wait_) flags |= mci::kWait;
    waitSet_ = notifySet_ = false;
    return flags;
}

uint32_t TMediaPlayer::Send(uint32_t message, uint32_t flags, TMciParams& params) {
    return SendTo(deviceId_, message, flags, params);
}

uint32_t TMediaPlayer::SendTo(uint16_t deviceId, uint32_t message, uint32_t flags, TMciParams& params) {
    lastFlags_ = flags;
    params.Callback = NotificationWindow;
    lastError_ = mci_.SendCommand(deviceId, message, flags, params);
    return lastError_;
}

void TMediaPlayer::RequireOpen() const {
    if (!open_) throw EMCIDeviceError("Device Not Open");
}

void TMediaPlayer::RaiseMciError(uint32_t code) {
    std::string text;
    if (!mci_.ErrorText(code, text)) text = "Unknown MCI Error";
    throw EMCIDeviceError(text);
}

void TMediaPlayer::Open() {
    if (open_) Close();
    uint32_t flags = WaitFirstFlags();
    if (!FileName.empty()) flags |= mci::kOpenElement;
    if (Shareable) flags |= mci::kOpenShareable;
    TMciParams params;
    params.Element = FileName;
    // No device type: MCI picks the device from the file name.
    if (SendTo(0, mci::kOpen, flags, params) != 0) RaiseMciError(lastError_);
    open_ = true;
    deviceId_ = params.DeviceId;
}

void TMediaPlayer::Close() {
    if (deviceId_ == 0) return;
    TMciParams params;
    if (Send(mci::kClose, WaitFirstFlags(), params) != 0) return;
    open_ = false;
    deviceId_ = 0;
}

uint32_t TMediaPlayer::Play() {
    RequireOpen();
    if (AutoRewind && GetPosition() == GetLength()) Rewind();
    TMciParams params;
    return Send(mci::kPlay, NotifyFirstFlags(), params);
}

uint32_t TMediaPlayer::Stop() {
    RequireOpen();
    TMciParams params;
    return Send(mci::kStop, WaitFirstFlags(), params);
}

void TMediaPlayer::Rewind() {
    RequireOpen();
    TMciParams params;
    Send(mci::kSeek, mci::kSeekToStart | mci::kWait, params);
}

uint32_t TMediaPlayer::Status(uint32_t item) {
    TMciParams params;
    params.Item = item;
    Send(mci::kStatus, mci::kStatusItem | mci::kWait, params);
    return params.Return;
}

int32_t TMediaPlayer::GetMode() {
    if (!open_) return mpNotReady;
    return int32_t(Status(mci::kStatusMode) - mci::kModeNotReady);
}

uint32_t TMediaPlayer::GetLength() {
    RequireOpen();
    return Status(mci::kStatusLength);
}

uint32_t TMediaPlayer::GetPosition() { return Status(mci::kStatusPosition); }

void TMediaPlayer::SetNotify(bool value) {
    notify_ = value;
    notifySet_ = true;
}

void TMediaPlayer::SetWait(bool value) {
    wait_ = value;
    waitSet_ = true;
}

void TMediaPlayer::HandleNotify(uintptr_t code) {
    switch (code) {
        case mci::kNotifySuccessful:
            notifyValue_ = TMPNotifyValue::Successful;
            break;
        case mci::kNotifySuperseded:
            notifyValue_ = TMPNotifyValue::Superseded;
            break;
        case mci::kNotifyAborted:
            notifyValue_ = TMPNotifyValue::Aborted;
            break;
        case mci::kNotifyFailure:
            notifyValue_ = TMPNotifyValue::Failure;
            break;
        default:
            break;
    }
    if (OnNotify) OnNotify(*this);
}

}  // namespace quindle
