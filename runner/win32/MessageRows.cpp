// The runner window's message rows: one per message, each a short handler of the
// runner object or of the part that owns the state it changes.
#include <windows.h>
#include <mmsystem.h>

#include <string>

#include "contract/Notices.h"
#include "runner/win32/Globals.h"
#include "runner/win32/Runner.h"
#include "window/ActivationRules.h"
#include "window/RunnerMessages.h"
#include "commands/win32/MovieCommandText.h"
#include "setup/win32/SetupDialog.h"
#include "window/PopupMenuModel.h"
#include "window/win32/CaptionRules.h"
#include "window/win32/PopupCommands.h"

namespace quindle {

namespace {

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

}  // namespace

void TRunner::AddMessageRows() {
    TMessageTable& rows = Window.Messages();
    const auto row = [this](void (TRunner::*handler)(TMessage&)) {
        return [this, handler](TMessage& m) { (this->*handler)(m); };
    };
    rows.Add(kStartNotice, row(&TRunner::OnStart));
    rows.Add(kRaiseNotice, row(&TRunner::OnRaise));
    rows.Add(kReadyNotice, row(&TRunner::OnReady));
    rows.Add(kProjectorForegroundNotice, row(&TRunner::OnProjectorForeground));
    rows.Add(kStartMusicNotice, row(&TRunner::OnStartMusic));
    rows.Add(kCloseNotice, row(&TRunner::OnCloseRequest));
    rows.Add(WM_ACTIVATEAPP, row(&TRunner::OnActivateApp));
    rows.Add(WM_CLOSE, row(&TRunner::OnClose));
    rows.Add(WM_QUERYENDSESSION, row(&TRunner::OnEndSession));
    rows.Add(WM_ENDSESSION, row(&TRunner::OnEndSession));
    rows.Add(WM_CHAR, row(&TRunner::OnChar));
    rows.Add(MM_MCINOTIFY, row(&TRunner::OnMciNotify));
    rows.Add(WM_DESTROY, [this](TMessage&) {
        if (PopupMenu) PopupMenu->Destroy();
    });
    rows.Add(kShowPopupMenuNotice, row(&TRunner::OnShowPopupMenu));
    rows.Add(kOutsideActivationNotice, row(&TRunner::OnOutsideActivation));
    rows.Add(WM_COMMAND, row(&TRunner::OnCommand));
    rows.Add(kBeginDragNotice, row(&TRunner::OnBeginDrag));
    for (UINT dragMessage : {UINT(WM_TIMER), UINT(kEndDragNotice), UINT(kEndRunningDragNotice), UINT(WM_CANCELMODE)}) {
        rows.Add(dragMessage, row(&TRunner::OnDragMessage));
    }
    rows.Add(WM_SETTEXT, row(&TRunner::OnSetText));
    rows.Add(WM_MOVE, [this](TMessage& m) { Window.OnMove(m); });
    rows.Add(WM_SIZE, [this](TMessage& m) { Window.OnSize(m); });
    rows.Add(WM_ERASEBKGND, [this](TMessage& m) { Window.OnEraseBackground(m); });
    rows.Add(WM_SIZING, [this](TMessage& m) {
        if (Settings.KeepAspectRatio.Checked) Window.KeepAspectRatio(m);
    });
    for (UINT caption : {WM_NCHITTEST, WM_NCPAINT, WM_NCACTIVATE}) {
        rows.Add(caption, [this](TMessage& m) {
            const bool restyling = Projector.ControlBlock && Projector.ControlBlock->RestyleInProgress;
            m.Handled = CaptionRule(Window.RunnerWnd(), m, Settings.MouseInteraction.Checked,
                                    Projector.ProjectorHasForeground(), restyling);
        });
    }
    rows.Add(WM_WINDOWPOSCHANGING, [this](TMessage& m) {
        m.Handled = ClickForegroundRule(m, Settings.RaiseWithoutActivating.Checked, Projector.ProjectorShown);
    });
    if (GlobalCloseMsg) rows.Add(GlobalCloseMsg, row(&TRunner::OnGlobalClose));
    AnswerRunnerQueries(QueryMessage);
}

void TRunner::AnswerRunnerQueries(UINT message) {
    if (QueryMessage) Window.Messages().Remove(QueryMessage);
    QueryMessage = message;
    if (QueryMessage) Window.Messages().Add(QueryMessage, [this](TMessage& m) { OnRunnerQuery(m); });
}

void TRunner::OnRaise(TMessage&) { Projector.RaiseRunnerWindow(); }

void TRunner::OnReady(TMessage&) { Projector.OnReady(); }

void TRunner::OnProjectorForeground(TMessage&) {
    if (Projector.ProjectorWnd) ::SetForegroundWindow(Projector.ProjectorWnd);
}

void TRunner::OnStartMusic(TMessage&) {
    const std::string& midiFile = Run.Extracted.MidiFile;
    Music.Start(midiFile.empty() ? std::string() : Run.RunDir + midiFile,
                reinterpret_cast<uintptr_t>(Window.RunnerWnd()));
}

void TRunner::OnMciNotify(TMessage& message) { Music.HandleNotify(message.WParam); }

void TRunner::OnCloseRequest(TMessage& message) {
    if (message.WParam == 0) ::SendMessageA(Window.RunnerWnd(), WM_CLOSE, 0, 0);
}

void TRunner::OnActivateApp(TMessage& message) {
    if (Drag) Drag->OnMessage(message.Msg, message.WParam, message.LParam, Projector.ProjectorThreadId);
    const TActivateAppDecision decision =
        DecideActivateApp(Settings.MouseInteraction.Checked, message.WParam != 0, static_cast<uint32_t>(message.LParam),
                          Projector.ProjectorThreadId);
    GiveNcActivateNotice(Window.RunnerWnd(), decision.Notice);
    message.Result = 0;
    message.Handled = decision.Handled;
}

void TRunner::OnShowPopupMenu(TMessage&) {
    if (PopupMenu) PopupMenu->Show(Window.RunnerWnd(), Projector.ControlBlock);
}

void TRunner::OnOutsideActivation(TMessage& message) {
    if (!PopupMenu) return;
    const TOutsideActivation outcome = PopupMenu->OnOutsideActivation(
        Window.RunnerWnd(), reinterpret_cast<HWND>(message.WParam), Projector.ControlBlock);
    if (outcome.CloseMenu && Drag) Drag->End();
}

void TRunner::OnCommand(TMessage& message) {
    const TPopupCommand command = AcceptPopupCommand(message.WParam, message.LParam, Projector.ProjectorWnd != nullptr);
    TPopupCommandHost host;
    host.RunnerWnd = Window.RunnerWnd();
    host.SetupDialog = OpenSetupDialog();
    host.CloseProjector = [this] { Projector.CloseProjector(); };
    host.RunSetupDialog = [this] { return RunSetupDialog(); };
    host.RequestRestart = [] { RestartFlag = true; };
    CarryOutPopupCommand(command, host);
}

void TRunner::OnBeginDrag(TMessage& message) {
    if (Drag) Drag->Begin(message.WParam, Projector.ControlBlock);
}

void TRunner::OnDragMessage(TMessage& message) {
    if (!Drag) return;
    if (message.Msg == WM_TIMER) {
        Drag->OnTimer(message.WParam);
    } else {
        Drag->OnMessage(message.Msg, message.WParam, message.LParam, Projector.ProjectorThreadId);
    }
}

void TRunner::OnSetText(TMessage& message) {
    // An accepted movie command keeps the caption and answers 1; any other text retitles.
    if (ClassifySetText(message.WParam, message.LParam, Projector.ControlBlock).Accepted()) {
        message.Result = 1;
        message.Handled = true;
    }
}

void TRunner::OnClose(TMessage& message) {
    // The runner window is never destroyed by WM_CLOSE: it asks the projector to close.
    Projector.CloseProjector();
    message.Result = 0;
    message.Handled = true;
}

void TRunner::OnEndSession(TMessage&) {
    if (!CloseOpenSetupDialog() && Projector.ProjectorWnd) ::PostMessageA(Projector.ProjectorWnd, WM_CLOSE, 0, 0);
}

void TRunner::OnChar(TMessage& message) {
    const TRunnerControlBlock* block = Projector.ControlBlock;
    if (message.WParam == 27 && block && block->ExitOnEsc && Projector.ProjectorWnd) Projector.CloseProjector();
}

void TRunner::OnGlobalClose(TMessage& m) {
    const std::string atomName = AtomName(static_cast<ATOM>(m.LParam & 0xFFFF));
    if (m.WParam == 0) {
        // A close request for every runner of one executable: taken once per cycle.
        Window.Messages().Remove(GlobalCloseMsg);
        GlobalCloseMsg = 0xFFFFFFFF;
        if (SameExeFileName(atomName, ExePath)) ::SendMessageA(Window.RunnerWnd(), WM_CLOSE, 0, 0);
    } else if (IsSenderAncestor(EnvironmentValue(atomName), m.WParam) && Projector.ProjectorWnd) {
        // The runner that started us ends: pass its notice on to the movie.
        ::PostMessageA(Projector.ProjectorWnd, m.Msg, m.WParam, m.LParam);
    }
}

void TRunner::OnRunnerQuery(TMessage& m) {
    const TRunnerQuery query = ClassifyRunnerQuery(m.WParam, m.LParam);
    m.Handled = true;
    if (query.What == TRunnerQuery::Identify) {
        m.Result = static_cast<LRESULT>(static_cast<int32_t>(kRunnerIdentification));
        return;
    }
    if (query.What == TRunnerQuery::Unknown) {
        m.Result = -1;
        return;
    }
    POINT p = query.BottomRight ? POINT{Window.AreaW, Window.AreaH} : POINT{0, 0};
    ::ClientToScreen(Window.RunnerWnd(), &p);
    m.Result = query.What == TRunnerQuery::CornerX ? p.x : p.y;
}

}  // namespace quindle
