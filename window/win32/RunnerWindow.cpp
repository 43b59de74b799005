// The runner window procedure. Handlers run on the runner's thread; an exception they
// raise is parked for the pump, which reports it once dispatch has returned.
#include "window/win32/RunnerWindow.h"

#include <exception>
#include <string>

#include "runner/win32/Globals.h"
#include "runner/win32/Main.h"
#include "runner/win32/Pump.h"
#include "window/ActivationRules.h"
#include "window/AspectRatio.h"
#include "window/RunnerMessages.h"

namespace quindle {

namespace {

struct MessageRow {
    UINT Message;
    void (TfrmMain::*Handler)(TMessage& message);
};

const MessageRow kMessageTable[] = {
    {kStartNotice, &TfrmMain::OnStart},
    {kRaiseNotice, &TfrmMain::OnRaise},
    {kReadyNotice, &TfrmMain::OnReady},
    {kCloseNotice, &TfrmMain::OnCloseRequest},
    {WM_ACTIVATEAPP, &TfrmMain::OnActivateApp},
};

// Notifications from the hook library and the runner itself never reach default processing.
bool IsRunnerNotification(UINT message) { return message >= kStartNotice && message <= kLastNotice; }

bool ProjectorHasForeground(const TfrmMain& runner) {
    return runner.ProjectorWnd && ::GetForegroundWindow() == runner.ProjectorWnd;
}

void ReadWindowRect(TfrmMain& runner) {
    RECT r{};
    ::GetWindowRect(runner.RunnerWnd, &r);
    runner.SetWinBox({r.left, r.top, r.right - r.left, r.bottom - r.top});
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

void GiveNcActivateNotice(HWND window, TNcActivateNotice notice) {
    switch (notice) {
        case TNcActivateNotice::SendActive:
            ::SendMessageA(window, WM_NCACTIVATE, TRUE, 0);
            break;
        case TNcActivateNotice::SendInactive:
            ::SendMessageA(window, WM_NCACTIVATE, FALSE, 0);
            break;
        case TNcActivateNotice::PostActive:
            ::PostMessageA(window, WM_NCACTIVATE, TRUE, 0);
            break;
        case TNcActivateNotice::None:
            break;
    }
}

// The caption rule keeps the caption drawn active while the projector, another
// thread, has the focus. True when the message is answered without default processing.
bool CaptionRule(TfrmMain& runner, HWND window, TMessage& m) {
    const bool interaction = runner.Settings.Interaction.Checked;
    if (!interaction) return false;
    const bool projectorInFront = ProjectorHasForeground(runner);
    switch (m.Msg) {
        case WM_NCHITTEST:
            m.Result = ::DefWindowProcA(window, m.Msg, m.WParam, m.LParam);
            GiveNcActivateNotice(window, DecideHitTestNotice(interaction, static_cast<int32_t>(m.Result),
                                                             projectorInFront));
            return true;
        case WM_NCPAINT: {
            const bool restyling = runner.ControlBlock && runner.ControlBlock->RestyleInProgress;
            const TNcPaintDecision paint = DecideNcPaint(interaction, restyling, projectorInFront);
            m.Result = paint.Paint ? ::DefWindowProcA(window, m.Msg, m.WParam, m.LParam) : 0;
            GiveNcActivateNotice(window, paint.NoticeAfter);
            return true;
        }
        case WM_NCACTIVATE:
            m.Result = KeepCaptionActive(interaction, m.WParam != 0, projectorInFront)
                           ? TRUE
                           : ::DefWindowProcA(window, m.Msg, m.WParam, m.LParam);
            return true;
        default:
            return false;
    }
}

// With DisableClickForeground, nothing raises or activates the shown presentation through HWND_TOP.
bool ClickForegroundRule(TfrmMain& runner, TMessage& m) {
    auto* position = reinterpret_cast<WINDOWPOS*>(m.LParam);
    if (!position) return false;
    const TWindowPosDecision decision =
        DecideWindowPosChanging(runner.Settings.DisableClickForeground.Checked, runner.ProjectorShown,
                                reinterpret_cast<uintptr_t>(position->hwndInsertAfter), position->flags);
    position->flags = decision.Flags;
    m.Result = 0;
    return decision.Handled;
}

// Keeps the outer rectangle at the reference ratio while the user drags the frame.
void AspectRatioRule(TfrmMain& runner, TMessage& m) {
    runner.GrayBackground = true;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    auto* rect = reinterpret_cast<RECT*>(m.LParam);
    const TRect32 sized = ApplyAspectRatio({rect->left, rect->top, rect->right, rect->bottom},
                                           static_cast<uint32_t>(m.WParam), {cursor.x, cursor.y}, runner.WinBox(),
                                           runner.RefWidth, runner.RefHeight);
    *rect = {sized.Left, sized.Top, sized.Right, sized.Bottom};
}

LRESULT Dispatch(TfrmMain& runner, HWND window, TMessage& m) {
    for (const MessageRow& row : kMessageTable) {
        if (row.Message == m.Msg) {
            (runner.*row.Handler)(m);
            break;
        }
    }
    if (IsRunnerNotification(m.Msg)) {
        if (m.Msg == kProjectorForegroundNotice && runner.ProjectorWnd) ::SetForegroundWindow(runner.ProjectorWnd);
        return 0;
    }
    if (m.Msg == runner.GlobalCloseMsg && m.Msg != 0) {
        OnGlobalClose(runner, m);
    } else if (m.Msg == runner.RunnerSvrMsg && m.Msg != 0) {
        return OnSvrQuery(runner, m);
    }
    switch (m.Msg) {
        case WM_DESTROY:
            // One the system has destroyed already is only forgotten.
            if (runner.PopupMenu && !::IsMenu(runner.PopupMenu.get())) runner.PopupMenu.release();
            runner.PopupMenu.reset();
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
            if (CaptionRule(runner, window, m)) return m.Result;
            break;
        case WM_WINDOWPOSCHANGING:
            if (ClickForegroundRule(runner, m)) return m.Result;
            break;
        case WM_SIZING:
            if (runner.RunnerWnd && runner.Settings.MaintainRatio.Checked) AspectRatioRule(runner, m);
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
    const TActivateAppDecision decision =
        DecideActivateApp(Settings.Interaction.Checked, message.WParam != 0, static_cast<uint32_t>(message.LParam),
                          ProjectorInfo.dwThreadId);
    GiveNcActivateNotice(RunnerWnd, decision.Notice);
    message.Result = 0;
    message.Handled = decision.Handled;
}

}  // namespace quindle
