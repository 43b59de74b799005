// The runner window's message rows: one per message, each a short handler of the
// runner object or of the part that owns the state it changes.
#include <windows.h>
#include <mmsystem.h>

#include <string>

#include "contract/Notices.h"
#include "runner/win32/Globals.h"
#include "runner/win32/Main.h"
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

void TfrmMain::AddMessageRows() {
    TMessageTable& rows = Window.Messages();
    const auto row = [this](void (TfrmMain::*handler)(TMessage&)) {
        return [this, handler](TMessage& m) { (this->*handler)(m); };
    };
    rows.Add(kStartNotice, row(&TfrmMain::OnStart));
    rows.Add(kRaiseNotice, row(&TfrmMain::OnRaise));
    rows.Add(kReadyNotice, row(&TfrmMain::OnReady));
    rows.Add(kProjectorForegroundNotice, row(&TfrmMain::OnProjectorForeground));
    rows.Add(kStartMusicNotice, row(&TfrmMain::OnStartMusic));
    rows.Add(kCloseNotice, row(&TfrmMain::OnCloseRequest));
    rows.Add(WM_ACTIVATEAPP, row(&TfrmMain::OnActivateApp));
    rows.Add(WM_CLOSE, row(&TfrmMain::OnClose));
    rows.Add(WM_QUERYENDSESSION, row(&TfrmMain::OnEndSession));
    rows.Add(WM_ENDSESSION, row(&TfrmMain::OnEndSession));
    rows.Add(WM_CHAR, row(&TfrmMain::OnChar));
    rows.Add(MM_MCINOTIFY, row(&TfrmMain::OnMciNotify));
    rows.Add(WM_DESTROY, [this](TMessage&) {
        if (PopupMenu) PopupMenu->Destroy();
    });
    rows.Add(kShowPopupMenuNotice, row(&TfrmMain::OnShowPopupMenu));
    rows.Add(kOutsideActivationNotice, row(&TfrmMain::OnOutsideActivation));
    rows.Add(WM_COMMAND, row(&TfrmMain::OnCommand));
    rows.Add(kBeginDragNotice, row(&TfrmMain::OnBeginDrag));
    for (UINT dragMessage : {UINT(WM_TIMER), UINT(kEndDragNotice), UINT(kEndRunningDragNotice), UINT(WM_CANCELMODE)}) {
        rows.Add(dragMessage, row(&TfrmMain::OnDragMessage));
    }
    rows.Add(WM_SETTEXT, row(&TfrmMain::OnSetText));
    rows.Add(WM_MOVE, [this](TMessage& m) { Window.OnMove(m); });
    rows.Add(WM_SIZE, [this](TMessage& m) { Window.OnSize(m); });
    rows.Add(WM_ERASEBKGND, [this](TMessage& m) { Window.OnEraseBackground(m); });
    rows.Add(WM_SIZING, [this](TMessage& m) {
        if (Settings.MaintainRatio.Checked) Window.KeepAspectRatio(m);
    });
    for (UINT caption : {WM_NCHITTEST, WM_NCPAINT, WM_NCACTIVATE}) {
        rows.Add(caption, [this](TMessage& m) {
            const bool restyling = Projector.ControlBlock && Projector.ControlBlock->RestyleInProgress;
            m.Handled = CaptionRule(Window.RunnerWnd(), m, Settings.Interaction.Checked,
                                    Projector.ProjectorHasForeground(), restyling);
        });
    }
    rows.Add(WM_WINDOWPOSCHANGING, [this](TMessage& m) {
        m.Handled = ClickForegroundRule(m, Settings.DisableClickForeground.Checked, Projector.ProjectorShown);
    });
    if (GlobalCloseMsg) rows.Add(GlobalCloseMsg, row(&TfrmMain::OnGlobalClose));
    AnswerSvrQueries(RunnerSvrMsg);
}

void TfrmMain::AnswerSvrQueries(UINT message) {
    if (RunnerSvrMsg) Window.Messages().Remove(RunnerSvrMsg);
    RunnerSvrMsg = message;
    if (RunnerSvrMsg) Window.Messages().Add(RunnerSvrMsg, [this](TMessage& m) { OnSvrQuery(m); });
}

void TfrmMain::OnRaise(TMessage&) { Projector.RaiseRunnerWindow(); }

void TfrmMain::OnReady(TMessage&) { Projector.OnReady(); }

void TfrmMain::OnProjectorForeground(TMessage&) {
    if (Projector.ProjectorWnd) ::SetForegroundWindow(Projector.ProjectorWnd);
}

void TfrmMain::OnStartMusic(TMessage&) {
    const std::string& midiFile = Run.Routing->MidiFile;
    Music.Start(midiFile.empty() ? std::string() : Run.RunDir + midiFile,
                reinterpret_cast<uintptr_t>(Window.RunnerWnd()));
}

void TfrmMain::OnMciNotify(TMessage& message) { Music.HandleNotify(message.WParam); }

void TfrmMain::OnCloseRequest(TMessage& message) {
    if (message.WParam == 0) ::SendMessageA(Window.RunnerWnd(), WM_CLOSE, 0, 0);
}

void TfrmMain::OnActivateApp(TMessage& message) {
    if (Drag) Drag->OnMessage(message.Msg, message.WParam, message.LParam, Projector.ProjectorThreadId);
    const TActivateAppDecision decision =
        DecideActivateApp(Settings.Interaction.Checked, message.WParam != 0, static_cast<uint32_t>(message.LParam),
                          Projector.ProjectorThreadId);
    GiveNcActivateNotice(Window.RunnerWnd(), decision.Notice);
    message.Result = 0;
    message.Handled = decision.Handled;
}

void TfrmMain::OnShowPopupMenu(TMessage&) {
    if (PopupMenu) PopupMenu->Show(Window.RunnerWnd(), Projector.ControlBlock);
}

void TfrmMain::OnOutsideActivation(TMessage& message) {
    if (!PopupMenu) return;
    const TOutsideActivation outcome = PopupMenu->OnOutsideActivation(
        Window.RunnerWnd(), reinterpret_cast<HWND>(message.WParam), Projector.ControlBlock);
    if (outcome.CloseMenu && Drag) Drag->End();
}

void TfrmMain::OnCommand(TMessage& message) {
    const TPopupCommand command = AcceptPopupCommand(message.WParam, message.LParam, Projector.ProjectorWnd != nullptr);
    TPopupCommandHost host;
    host.RunnerWnd = Window.RunnerWnd();
    host.SetupDialog = OpenSetupDialog();
    host.CloseProjector = [this] { Projector.CloseProjector(); };
    host.RunSetupDialog = [this] { return RunSetupDialog(); };
    host.RequestRestart = [] { RestartFlag = true; };
    CarryOutPopupCommand(command, host);
}

void TfrmMain::OnBeginDrag(TMessage& message) {
    if (Drag) Drag->Begin(message.WParam, Projector.ControlBlock);
}

void TfrmMain::OnDragMessage(TMessage& message) {
    if (!Drag) return;
    if (message.Msg == WM_TIMER) {
        Drag->OnTimer(message.WParam);
    } else {
        Drag->OnMessage(message.Msg, message.WParam, message.LParam, Projector.ProjectorThreadId);
    }
}

void TfrmMain::OnSetText(TMessage& message) {
    // An accepted movie command keeps the caption and answers 1; any other text retitles.
    if (ClassifySetText(message.WParam, message.LParam, Projector.ControlBlock).Accepted()) {
        message.Result = 1;
        message.Handled = true;
    }
}

void TfrmMain::OnClose(TMessage& message) {
    // The runner window is never destroyed by WM_CLOSE: it asks the projector to close.
    Projector.CloseProjector();
    message.Result = 0;
    message.Handled = true;
}

void TfrmMain::OnEndSession(TMessage&) {
    if (!CloseOpenSetupDialog() && Projector.ProjectorWnd) ::PostMessageA(Projector.ProjectorWnd, WM_CLOSE, 0, 0);
}

void TfrmMain::OnChar(TMessage& message) {
    const TRunnerControlBlock* block = Projector.ControlBlock;
    if (message.WParam == 27 && block && block->ExitOnEsc && Projector.ProjectorWnd) Projector.CloseProjector();
}

void TfrmMain::OnGlobalClose(TMessage& m) {
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

void TfrmMain::OnSvrQuery(TMessage& m) {
    const TSvrQuery query = ClassifySvrQuery(m.WParam, m.LParam);
    m.Handled = true;
    if (query.What == TSvrQuery::Identify) {
        m.Result = static_cast<LRESULT>(static_cast<int32_t>(kRunnerIdentification));
        return;
    }
    if (query.What == TSvrQuery::Unknown) {
        m.Result = -1;
        return;
    }
    POINT p = query.BottomRight ? POINT{Window.AreaW, Window.AreaH} : POINT{0, 0};
    ::ClientToScreen(Window.RunnerWnd(), &p);
    m.Result = query.What == TSvrQuery::CornerX ? p.x : p.y;
}

}  // namespace quindle
