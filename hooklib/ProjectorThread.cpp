// Installs the thread hooks on the projector's main thread and posts the ready notice
// to the runner window once the projector window it was given is visible.
#include "hooklib/ProjectorThread.h"

#include "hooklib/HookExports.h"
#include "contract/Notices.h"

namespace hooklib {

namespace {

HHOOK windowProcHook_ = nullptr;
HHOOK messageFilterHook_ = nullptr;
volatile LONG threadHooksInstalled_ = 0;
volatile LONG readyPosted_ = 0;
POINT startCursor_ = {};
volatile LONG startCursorKnown_ = 0;

void InstallThreadHooks() {
    // A plain read first: this runs on every event of the projector's main thread.
    if (threadHooksInstalled_ || ::InterlockedExchange(&threadHooksInstalled_, 1) != 0) return;
    // The system-wide hooks that brought the library here may be removed before the
    // projector ends; this reference keeps the thread hooks' code loaded until then.
    HMODULE self = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&InstallThreadHooks), &self);
    const DWORD thread = ::GetCurrentThreadId();
    windowProcHook_ = ::SetWindowsHookExA(WH_CALLWNDPROCRET, &WProc, Module(), thread);
    messageFilterHook_ = ::SetWindowsHookExA(WH_GETMESSAGE, &FProc, Module(), thread);
}

void PostReadyOnceShown(TSharedBlock& block) {
    if (readyPosted_) return;
    const HWND projector = FromBlock<HWND>(block.ProjectorWnd);
    const HWND runner = FromBlock<HWND>(block.RunnerWnd);
    if (!projector || !runner || !::IsWindowVisible(projector)) return;
    if (::InterlockedExchange(&readyPosted_, 1) != 0) return;
    ::GetCursorPos(&startCursor_);
    ::InterlockedExchange(&startCursorKnown_, 1);
    ::PostMessageA(runner, quindle::kReadyNotice, 0, 0);
}

}  // namespace

void OnProjectorEvent(TSharedBlock& block) {
    if (block.ProjectorThreadId == ::GetCurrentThreadId()) InstallThreadHooks();
    PostReadyOnceShown(block);
}

bool ShowStartCursor(POINT& at) {
    if (!startCursorKnown_) return false;
    at = startCursor_;
    return true;
}

HHOOK WindowProcHook() { return windowProcHook_; }
HHOOK MessageFilterHook() { return messageFilterHook_; }

}  // namespace hooklib
