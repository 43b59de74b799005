// mciSendCommand with the parameter block each command takes. MCI posts MM_MCINOTIFY
// to the window given as the callback; the runner window hands it to the music.
#include "sound/win32/Win32MciDevice.h"

#include <windows.h>
#include <mmsystem.h>

#include <vector>

namespace quindle {

uint32_t TWin32MciDevice::SendCommand(uint16_t deviceId, uint32_t message, uint32_t flags, TMciParams& params) {
    const DWORD_PTR callback = params.Callback;
    switch (message) {
        case mci::kOpen: {
            MCI_OPEN_PARMSA open{};
            open.dwCallback = callback;
            open.lpstrElementName = params.Element.c_str();
            const MCIERROR error = ::mciSendCommandA(0, MCI_OPEN, flags, reinterpret_cast<DWORD_PTR>(&open));
            if (error == 0) params.DeviceId = uint16_t(open.wDeviceID);
            return error;
        }
        case mci::kStatus: {
            MCI_STATUS_PARMS status{};
            status.dwCallback = callback;
            status.dwItem = params.Item;
            const MCIERROR error = ::mciSendCommandA(deviceId, MCI_STATUS, flags, reinterpret_cast<DWORD_PTR>(&status));
            params.Return = uint32_t(status.dwReturn);
            return error;
        }
        case mci::kPlay: {
            MCI_PLAY_PARMS play{};
            play.dwCallback = callback;
            return ::mciSendCommandA(deviceId, MCI_PLAY, flags, reinterpret_cast<DWORD_PTR>(&play));
        }
        case mci::kSeek: {
            MCI_SEEK_PARMS seek{};
            seek.dwCallback = callback;
            return ::mciSendCommandA(deviceId, MCI_SEEK, flags, reinterpret_cast<DWORD_PTR>(&seek));
        }
        default: {  // close, stop
            MCI_GENERIC_PARMS generic{};
            generic.dwCallback = callback;
            return ::mciSendCommandA(deviceId, message, flags, reinterpret_cast<DWORD_PTR>(&generic));
        }
    }
}

bool TWin32MciDevice::ErrorText(uint32_t code, std::string& text) {
    std::vector<char> buffer(4096);
    if (!::mciGetErrorStringA(code, buffer.data(), UINT(buffer.size()))) return false;
    text = buffer.data();
    return true;
}

bool TWin32MusicHost::FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void TWin32MusicHost::RemoveFile(const std::string& path) { ::DeleteFileA(path.c_str()); }

}  // namespace quindle
