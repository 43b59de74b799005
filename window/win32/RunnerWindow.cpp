// The runner window procedure. Handlers run on the runner's thread; an exception they
// raise is parked for the pump, which reports it once dispatch has returned.
#include "window/win32/RunnerWindow.h"

#include <exception>
#include <string>

#include "runner/win32/Globals.h"
#include "runner/win32/Main.h"
#include "runner/win32/Pump.h"
#include "window/RunnerMessages.h"

namespace quindle {

namespace {

struct MessageRow {
    UINT Message;
    void (TfrmMain::*Handler)(TMessage& message);
};

const MessageRow kMessageTable[] = {
    {WM_USER + 1, &TfrmMain::OnStart},
    {WM_USER + 3, &TfrmMain::OnRaise},
    {WM_USER + 4, &TfrmMain::OnReady},
    {WM_USER + 12, &TfrmMain::OnCloseRequest},
    {WM_ACTIVATEAPP, &TfrmMain::OnActivateApp},
};

// Notifications from the hook library and the runner itself never reach default processing.
bool IsRunnerNotification(UINT message) { return message >= WM_USER + 1 && message <= WM_USER + 50; }

bool ProjectorHasForeground(const TfrmMain& runner) {
    return runner.ProjectorWnd && ::GetForegroundWindow() == runner.ProjectorWnd;
}

void ReadWindowRect(TfrmMain& runner) {
    RECT r{};
    ::GetWindowRect(runner.RunnerWnd, &r);
    runner.Settings.WinLeft = r.left;
    runner.Settings.WinTop = r.top;
    runner.Settings.WinWidth = r.right - r.left;
    runner.Settings.WinHeight = r.bottom - r.top;
}

std::string AtomName(ATOM atom) {
    char name[1025] = {};
    const UINT length = ::GlobalGetAtomNameA(atom, name, 1024);
    return std::string(name, length);
}

std::string EnvironmentValue(const std::string& name) {
    char value[501] = {};
    const DWORD length = ::GetEnvironmentVariableA(name.c_str(), value, 500);
    return length < 500 ? std::string(value, length) : std::string();
}

void OnGlobalClose(TfrmMain& runner, TMessage& m) {
    const std::string atomName = AtomName(static_cast<ATOM>(m.LParam & 0xFFFF));
    if (m.WParam == 0) {
        // A close request for every runner of one executable: taken once per cycle.
        runner.GlobalCloseMsg = 0xFFFFFFFF;
        if (SameExeFileName(atomName, runner.ExePath)) ::SendMessageA(runner.RunnerWnd, WM_CLOSE, 0, 0);
    } else if (IsSenderAncestor(EnvironmentValue(atomName), m.WParam) && runner.ProjectorWnd) {
        // The runner that started us ends: pass its notice on to the movie.
        ::PostMessageA(runner.ProjectorWnd, m.Msg, m.WParam, m.LParam);
    }
}

LRESULT OnSvrQuery(TfrmMain& runner, const TMessage& m) {
    const TSvrQuery query = ClassifySvrQuery(m.WParam, m.LParam);
    if (query.What == TSvrQuery::Identify) return static_cast<LRESULT>(static_cast<int32_t>(kRunnerIdentification));
    if (query.What == TSvrQuery::Unknown) return -1;
    POINT p = query.BottomRight ? POINT{AreaW, AreaH} : POINT{0, 0};
    ::ClientToScreen(runner.RunnerWnd, &p);
    return query.What == TSvrQuery::CornerX ? p.x : p.y;
}

// Keeps the caption drawn active while the projector, another thread, has the focus.
bool CaptionRule(TfrmMain& runner, HWND window, TMessage& m) {
    switch (m.Msg) {
        case WM_NCHITTEST: {
            m.Result = ::DefWindowProcA(window, m.Msg, m.WParam, m.LParam);
            if (m.Result != HTCLIENT && ProjectorHasForeground(runner))
                ::PostMessageA(window, WM_NCACTIVATE, TRUE, 0);
            return true;
        }
        case WM_NCPAINT:
            m.Result = (runner.ControlBlock && runner.ControlBlock->RestyleInProgress)
                           ? 0
                           : ::DefWindowProcA(window, m.Msg, m.WParam, m.LParam);
            if (ProjectorHasForeground(runner)) ::SendMessageA(window, WM_NCACTIVATE, TRUE, 0);
            return true;
        case WM_NCACTIVATE:
            m.Result = (!m.WParam && ProjectorHasForeground(runner))
                           ? TRUE
                           : ::DefWindowProcA(window, m.Msg, m.WParam, m.LParam);
            return true;
        default:
            return false;
    }
}

// With DisableClickForeground, nothing raises or activates the shown presentation through HWND_TOP.
bool ClickForegroundRule(TfrmMain& runner, TMessage& m) {
    if (!runner.Settings.DisableClickForeground.Checked || !runner.ProjectorShown) return false;
    auto* position = reinterpret_cast<WINDOWPOS*>(m.LParam);
    if (position && position->hwndInsertAfter == HWND_TOP) position->flags |= SWP_NOZORDER | SWP_NOACTIVATE;
    m.Result = 0;
    return true;
}

LRESULT Dispatch(TfrmMain& runner, HWND window, TMessage& m) {
    for (const MessageRow& row : kMessageTable) {
        if (row.Message == m.Msg) {
            (runner.*row.Handler)(m);
            break;
        }
    }
    if (IsRunnerNotification(m.Msg)) {
        if (m.Msg == WM_USER + 8 && runner.ProjectorWnd) ::SetForegroundWindow(runner.ProjectorWnd);
        return 0;
    }
    if (m.Msg == runner.GlobalCloseMsg && m.Msg != 0) {
        OnGlobalClose(runner, m);
    } else if (m.Msg == runner.RunnerSvrMsg && m.Msg != 0) {
        return OnSvrQuery(runner, m);
    }
    const bool interaction = runner.Settings.Interaction.Checked;
    switch (m.Msg) {
        case WM_DESTROY:
            if (runner.PopupMenu && ::IsMenu(runner.PopupMenu)) {
                ::DestroyMenu(runner.PopupMenu);
                runner.PopupMenu = nullptr;
            }
            break;
        case WM_MOVE:
            if (runner.RunnerWnd) ReadWindowRect(runner);
            break;
        case WM_SIZE: {
            if (runner.RunnerWnd) {
                ReadWindowRect(runner);
                RECT client{};
                ::GetClientRect(runner.RunnerWnd, &client);
                AreaW = client.right;
                AreaH = client.bottom;
                AreaChanged = true;
            }
            break;
        }
        case WM_CLOSE:
            // The runner window is never destroyed by WM_CLOSE: it asks the projector to close.
            runner.CloseProjector();
            return 0;
        case WM_QUERYENDSESSION:
        case WM_ENDSESSION:
            if (!CurrentSetup && runner.ProjectorWnd) {
                ::PostMessageA(runner.ProjectorWnd, WM_CLOSE, 0, 0);
            }
            break;
        case WM_ERASEBKGND:
            if (runner.GrayBackground) {
                RECT client{};
                ::GetClientRect(window, &client);
                ::FillRect(reinterpret_cast<HDC>(m.WParam), &client,
                           static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
            }
            break;
        case WM_NCHITTEST:
        case WM_NCPAINT:
        case WM_NCACTIVATE:
            if (interaction && CaptionRule(runner, window, m)) return m.Result;
            break;
        case WM_WINDOWPOSCHANGING:
            if (ClickForegroundRule(runner, m)) return m.Result;
            break;
        case WM_CHAR:
            if (m.WParam == 27 && runner.ControlBlock && runner.ControlBlock->ExitOnEsc && runner.ProjectorWnd)
                runner.CloseProjector();
            break;
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

void TfrmMain::CloseProjector() {
    if (!ProjectorWnd) return;
    ::AttachThreadInput(::GetCurrentThreadId(), ProjectorInfo.dwThreadId, FALSE);
    ::PostMessageA(ProjectorWnd, WM_CLOSE, 0, 0);
}

void TfrmMain::OnRaise(TMessage&) { RaiseRunnerWindow(); }

void TfrmMain::OnReady(TMessage&) {
    if (ControlBlock) ControlBlock->Ready = 1;
    ProjectorReady = true;
}

void TfrmMain::OnCloseRequest(TMessage& message) {
    if (message.WParam == 0) ::SendMessageA(RunnerWnd, WM_CLOSE, 0, 0);
}

void TfrmMain::OnActivateApp(TMessage& message) {
    if (!Settings.Interaction.Checked) return;
    if (message.WParam == 0) {
        const bool toProjector = static_cast<DWORD>(message.LParam) == ProjectorInfo.dwThreadId;
        ::SendMessageA(RunnerWnd, WM_NCACTIVATE, toProjector ? TRUE : FALSE, 0);
    }
    message.Result = 0;
    message.Handled = true;
}

}  // namespace quindle
