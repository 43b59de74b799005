// The shared sound record over the registry, a named mutex and a named object per runner.
#include "sound/win32/Win32SharedSoundRecord.h"

#include <windows.h>

#include <stdexcept>

#include "base/Timing.h"

namespace quindle {
namespace {

// Unique among the runners alive at once: the process id alone could come back for a
// later process while a record still names the one that died; its start time cannot.
std::string NewHolderName() {
    static unsigned shows = 0;
    FILETIME created{}, exited{}, kernel{}, user{};
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    return kSoundHolderPrefix + std::to_string(::GetCurrentProcessId()) + "_" +
           std::to_string((uint64_t(created.dwHighDateTime) << 32) | created.dwLowDateTime) + "_" +
           std::to_string(++shows);
}

}  // namespace

TWin32SharedSoundRecord::TWin32SharedSoundRecord()
    : mutex_(::CreateMutexA(nullptr, FALSE, kSoundRecordMutexName)), holderName_(NewHolderName()) {
    holder_.reset(::CreateMutexA(nullptr, FALSE, holderName_.c_str()));
}

void TWin32SharedSoundRecord::Lock() {
    if (!mutex_) return;
    const DWORD waited = ::WaitForSingleObject(mutex_.get(), kMutexWaitMs);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) held_.reset(mutex_.get());
}

void TWin32SharedSoundRecord::Unlock() { held_.reset(); }

std::string TWin32SharedSoundRecord::Read() {
    std::string text;
    try {
        store_.ReadString(kSoundRecordValue, text);
    } catch (const std::runtime_error&) {
        text.clear();  // a value of another type is no record
    }
    return text;
}

void TWin32SharedSoundRecord::Write(const std::string& text) {
    try {
        store_.WriteString(kSoundRecordValue, text);
    } catch (const std::runtime_error&) {
        // Refused: the runner that saved the sound puts it back itself.
    }
}

bool TWin32SharedSoundRecord::IsLive(const std::string& holder) {
    if (holder == holderName_) return static_cast<bool>(holder_);
    const TUniqueHandle object(::OpenMutexA(SYNCHRONIZE, FALSE, holder.c_str()));
    return static_cast<bool>(object);
}

}  // namespace quindle
