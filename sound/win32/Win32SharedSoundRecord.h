// The shared sound record of the user's runners: a registry value under the maker's
// key, a named mutex around each turn at it, and a named object per runner that lives
// as long as the runner, so that a runner that died is known by its object being gone.
#pragma once

#include <string>

#include "base/win32/Handles.h"
#include "settings/win32/Win32RegistryStore.h"
#include "sound/SoundMute.h"

namespace quindle {

// Kernel object names and the registry value, the same for every runner of the user.
constexpr char kSoundRecordMutexName[] = "QuindleSoundRecordMutex";
constexpr char kSoundHolderPrefix[] = "QuindleSoundHolder_";
constexpr char kSoundRecordValue[] = "Quindle Saved Sound";

class TWin32SharedSoundRecord : public ISharedSoundRecord {
public:
    TWin32SharedSoundRecord();
    TWin32SharedSoundRecord(const TWin32SharedSoundRecord&) = delete;
    TWin32SharedSoundRecord& operator=(const TWin32SharedSoundRecord&) = delete;

    void Lock() override;
    void Unlock() override;
    std::string Read() override;
    void Write(const std::string& text) override;
    std::string OwnHolder() override { return holderName_; }
    bool IsLive(const std::string& holder) override;

private:
    TWin32RegistryStore store_{""};
    TUniqueHandle mutex_;
    TMutexOwnership held_;
    std::string holderName_;
    TUniqueHandle holder_;  // this runner's object, alive as long as the runner
};

}  // namespace quindle
