// Window-creation events of one process, delivered to the waiting thread.
#include "window/win32/WindowCreationWatch.h"

namespace quindle {

namespace {

// Events reach the thread that installed the hook; its innermost watch takes them.
thread_local TWindowCreationWatch* t_watch = nullptr;

}  // namespace

TWindowCreationWatch::TWindowCreationWatch(DWORD processId) : outer_(t_watch) {
    // The whole process: a hook on one thread is refused while that thread is suspended.
    hook_.reset(::SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, nullptr, OnEvent, processId, 0,
                                  WINEVENT_OUTOFCONTEXT));
    t_watch = this;
}

TWindowCreationWatch::~TWindowCreationWatch() {
    hook_.reset();
    t_watch = outer_;
}

void CALLBACK TWindowCreationWatch::OnEvent(HWINEVENTHOOK hook, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
    if (object != OBJID_WINDOW || !window) return;
    for (TWindowCreationWatch* watch = t_watch; watch; watch = watch->outer_) {
        if (watch->hook_.get() == hook) watch->appeared_ = true;
    }
}

bool TWindowCreationWatch::AwaitWindow(unsigned maxMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        // A look at the queue without taking anything from it delivers the pending events.
        MSG message;
        ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
        if (appeared_) break;
        const DWORD waited = ::GetTickCount() - start;
        if (waited >= maxMs) return false;
        ::MsgWaitForMultipleObjectsEx(0, nullptr, maxMs - waited, QS_ALLINPUT, 0);
    }
    appeared_ = false;
    return true;
}

}  // namespace quindle
