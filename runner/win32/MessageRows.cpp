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
#include "window/win32/CaptionRules.h"

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
    rows.Add(WM_DESTROY, [this](TMessage&) { PopupMenu.OnWindowDestroyed(); });
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
    const TActivateAppDecision decision =
        DecideActivateApp(Settings.Interaction.Checked, message.WParam != 0, static_cast<uint32_t>(message.LParam),
                          Projector.ProjectorThreadId);
    GiveNcActivateNotice(Window.RunnerWnd(), decision.Notice);
    message.Result = 0;
    message.Handled = decision.Handled;
}

void TfrmMain::OnClose(TMessage& message) {
    // The runner window is never destroyed by WM_CLOSE: it asks the projector to close.
    Projector.CloseProjector();
    message.Result = 0;
    message.Handled = true;
}

void TfrmMain::OnEndSession(TMessage&) {
    if (!CurrentSetup && Projector.ProjectorWnd) ::PostMessageA(Projector.ProjectorWnd, WM_CLOSE, 0, 0);
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
