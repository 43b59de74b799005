// Creates the control block mapping, loads the hook library and installs its hooks for
// one session, and takes all of it down again in the order the library can bear.
#include "runner/win32/HookSession.h"

#include <utility>

#include "base/FirstFailure.h"
#include "base/Timing.h"
#include "commands/win32/BrowserAssociation.h"

namespace quindle {

namespace {

enum THookProc { kMProc, kKProc, kCProc, kGProc };

std::string SystemMessage(DWORD error) {
    char* buffer = nullptr;
    const DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length && buffer ? std::string(buffer, length) : std::string();
    if (buffer) ::LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

void ShowLoadFailureBox(HWND owner, const std::string& text, const std::string& caption) {
    ::MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK);
}

}  // namespace

std::string HookLibLoadFailureText(bool fileExists, const std::string& systemMessage) {
    std::string text = kHookLibDisplayName;
    if (fileExists) text += " exists but have";
    return text + " not loaded: " + systemMessage;
}

// Installs the library's procedures system-wide and keeps each handle in the session.
class THookSession::THookInstaller : public IBlockSetupPlatform {
public:
    explicit THookInstaller(THookSession& session) : session_(session) {}

    void LookUpBrowserAssociation(TRunnerControlBlock& block) override {
        if (session_.config_.LookUpBrowser) {
            session_.config_.LookUpBrowser(block);
        } else {
            quindle::LookUpBrowserAssociation(block);
        }
    }

    uint32_t Install(THookKind kind) override {
        switch (kind) {
            case THookKind::Keyboard:
                return Set(WH_KEYBOARD, kKProc, session_.keyboardHook_);
            case THookKind::Message:
                return Set(WH_GETMESSAGE, kGProc, session_.messageHook_);
            case THookKind::Cbt:
                return Set(WH_CBT, kCProc, session_.cbtHook_);
            case THookKind::Mouse:
                return Set(WH_MOUSE, kMProc, session_.mouseHook_);
        }
        return 0;
    }

private:
    uint32_t Set(int type, THookProc proc, TUniqueHook& slot) {
        slot.reset(::SetWindowsHookExA(type, session_.procs_[proc], session_.library_.get(), 0));
        return ToBlock(slot.get());
    }

    THookSession& session_;
};

THookSession::THookSession(THookSessionConfig config) : config_(std::move(config)) {}

THookSession::~THookSession() {
    // Also runs while an exception unwinds: a second one must not escape.
    try {
        Remove();
    } catch (...) {}
}

HHOOK THookSession::Hook(THookKind kind) const {
    switch (kind) {
        case THookKind::Keyboard:
            return keyboardHook_.get();
        case THookKind::Message:
            return messageHook_.get();
        case THookKind::Cbt:
            return cbtHook_.get();
        case THookKind::Mouse:
            return mouseHook_.get();
    }
    return nullptr;
}

bool THookSession::SetUp() {
    const std::string mappingName = MappingName(config_.InstanceTag);
    mapping_.reset(
        ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kMappingSize, mappingName.c_str()));
    if (!mapping_) return false;
    view_.reset(::MapViewOfFile(mapping_.get(), FILE_MAP_ALL_ACCESS, 0, 0, kControlBlockSize));
    if (!view_) return false;

    if (!LoadLibraryOrReport()) return false;
    if (!FindExports()) return false;

    TRunnerIdentity runner;
    runner.RunnerWnd = ToBlock(config_.RunnerWnd);
    runner.RunnerThreadId = config_.RunnerThreadId;
    runner.RunnerProcessId = ::GetCurrentProcessId();
    THookInstaller installer(*this);
    THookHandles handles;
    if (!SetUpControlBlock(*Block(), *config_.Settings, runner, installer, handles)) return false;

    runnerMsg_ = ::RegisterWindowMessageA(RunnerMessageName(config_.InstanceTag).c_str());
    if (runnerMsg_ == 0) return false;
    queryMessage_ = ::RegisterWindowMessageA(kRunnerQueryMessageName);
    return queryMessage_ != 0;
}

bool THookSession::LoadLibraryOrReport() {
    hookLibPath_ = config_.RunDir + config_.HookLibFile;
    library_.reset(::LoadLibraryA(hookLibPath_.c_str()));
    if (library_) return true;
    const DWORD error = ::GetLastError();
    const bool exists = ::GetFileAttributesA(hookLibPath_.c_str()) != INVALID_FILE_ATTRIBUTES;
    const std::string text = HookLibLoadFailureText(exists, SystemMessage(error));
    if (config_.ShowLoadFailure) {
        config_.ShowLoadFailure(config_.RunnerWnd, text, config_.ExePath);
    } else {
        ShowLoadFailureBox(config_.RunnerWnd, text, config_.ExePath);
    }
    return false;
}

bool THookSession::FindExports() {
    for (size_t i = 0; i < sizeof kHookLibExports / sizeof kHookLibExports[0]; ++i) {
        const FARPROC proc = ::GetProcAddress(library_.get(), kHookLibExports[i]);
        if (!proc) return false;
        if (i < kInstalledHookProcCount) procs_[i] = reinterpret_cast<HOOKPROC>(reinterpret_cast<void (*)()>(proc));
    }
    return true;
}

void THookSession::RemoveHooks() {
    keyboardHook_.reset();
    mouseHook_.reset();
    // The library must not be freed under a live CBT hook. A handle the system no longer
    // knows is gone already; retrying it would hold the runner for ever.
    TFirstFailure failures;
    while (cbtHook_) {
        const HHOOK cbt = cbtHook_.get();
        const BOOL removed = config_.UnhookCbt ? config_.UnhookCbt(cbt) : ::UnhookWindowsHookEx(cbt);
        if (removed || ::GetLastError() == ERROR_INVALID_HOOK_HANDLE) {
            cbtHook_.release();
            break;
        }
        ::MessageBeep(0);
        if (config_.PumpMessages) failures.Run(config_.PumpMessages);
    }
    messageHook_.reset();
    library_.reset();
    failures.RethrowFirst();
}

void THookSession::ReleaseBlock() {
    if (!view_) return;
    ClearRunnerIdentities(*Block());
    // Hook procedures still running in other processes see the cleared block first.
    ::Sleep(kSettleMs);
    view_.reset();
}

void THookSession::CloseMapping() { mapping_.reset(); }

void THookSession::Remove() {
    TFirstFailure failures;
    failures.Run([this] { RemoveHooks(); });
    ReleaseBlock();
    CloseMapping();
    failures.RethrowFirst();
}

void ApplyEnvironment(const TEnvironmentList& variables) {
    for (const auto& [name, value] : variables) ::SetEnvironmentVariableA(name.c_str(), value.c_str());
}

}  // namespace quindle
