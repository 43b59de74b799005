// The runner window procedure. Handlers run on the runner's thread; an exception they
// raise is parked for the pump, which reports it once dispatch has returned.
#include "window/win32/RunnerWindow.h"

#include <exception>

#include "runner/win32/Globals.h"
#include "runner/win32/Main.h"
#include "runner/win32/Pump.h"

namespace quindle {

namespace {

struct MessageRow {
    UINT Message;
    void (TfrmMain::*Handler)(TMessage& message);
};

const MessageRow kMessageTable[] = {
    {WM_USER + 1, &TfrmMain::OnStart},
};

// Notifications from the hook library and the runner itself never reach default processing.
bool IsRunnerNotification(UINT message) { return message >= WM_USER + 1 && message <= WM_USER + 50; }

LRESULT Dispatch(TfrmMain& runner, HWND window, TMessage& m) {
    for (const MessageRow& row : kMessageTable) {
        if (row.Message == m.Msg) {
            (runner.*row.Handler)(m);
            break;
        }
    }
    if (IsRunnerNotification(m.Msg)) return 0;
    switch (m.Msg) {
        case WM_DESTROY:
            if (runner.PopupMenu && ::IsMenu(runner.PopupMenu)) {
                ::DestroyMenu(runner.PopupMenu);
                runner.PopupMenu = nullptr;
            }
            break;
        case WM_CLOSE:
            // The runner window is never destroyed by WM_CLOSE: it asks the projector to close.
            if (runner.ProjectorWnd) {
                ::AttachThreadInput(::GetCurrentThreadId(), runner.ProjectorInfo.dwThreadId, FALSE);
                ::PostMessageA(runner.ProjectorWnd, WM_CLOSE, 0, 0);
            }
            return 0;
        default:
            break;
    }
    if (m.Handled) return m.Result;
    return ::DefWindowProcA(window, m.Msg, m.WParam, m.LParam);
}

}  // namespace

LRESULT CALLBACK RunnerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TfrmMain* runner = CurrentRunner;
    if (!runner) return ::DefWindowProcA(window, message, wParam, lParam);
    TMessage m{message, wParam, lParam, 0, false};
    try {
        return Dispatch(*runner, window, m);
    } catch (...) {
        ParkException(std::current_exception());
        return 0;
    }
}

}  // namespace quindle
