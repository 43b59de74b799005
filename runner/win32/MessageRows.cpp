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
    TMessageTable& rows = window_.Messages();
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
        if (popupMenu_) popupMenu_->Destroy();
    });
    rows.Add(kShowPopupMenuNotice, row(&TRunner::OnShowPopupMenu));
    rows.Add(kOutsideActivationNotice, row(&TRunner::OnOutsideActivation));
    rows.Add(WM_COMMAND, row(&TRunner::OnCommand));
    rows.Add(kBeginDragNotice, row(&TRunner::OnBeginDrag));
    for (UINT dragMessage : {UINT(WM_TIMER), UINT(kEndDragNotice), UINT(kEndRunningDragNotice), UINT(WM_CANCELMODE)}) {
        rows.Add(dragMessage, row(&TRunner::OnDragMessage));
    }
    rows.Add(WM_SETTEXT, row(&TRunner::OnSetText));
    rows.Add(WM_MOVE, [this](TMessage& m) { window_.OnMove(m); });
    rows.Add(WM_SIZE, [this](TMessage& m) { window_.OnSize(m); });
    rows.Add(WM_ERASEBKGND, [this](TMessage& m) { window_.OnEraseBackground(m); });
    rows.Add(WM_SIZING, [this](TMessage& m) {
        if (settings_.KeepAspectRatio.Checked) window_.KeepAspectRatio(m);
    });
    for (UINT caption : {WM_NCHITTEST, WM_NCPAINT, WM_NCACTIVATE}) rows.Add(caption, row(&TRunner::OnCaption));
    rows.Add(WM_WINDOWPOSCHANGING, row(&TRunner::OnWindowPosChanging));
    if (globalCloseMsg_) rows.Add(globalCloseMsg_, row(&TRunner::OnGlobalClose));
    AnswerRunnerQueries(queryMessage_);
}

void TRunner::AnswerRunnerQueries(UINT message) {
    if (queryMessage_) window_.Messages().Remove(queryMessage_);
    queryMessage_ = message;
    if (queryMessage_) window_.Messages().Add(queryMessage_, [this](TMessage& m) { OnRunnerQuery(m); });
}

TProjectorProcess* TRunner::Projector() const { return show_ ? &show_->Projector() : nullptr; }

TRunnerControlBlock* TRunner::ControlBlock() const {
    const TProjectorProcess* projector = Projector();
    return projector ? projector->ControlBlock : nullptr;
}

HWND TRunner::ProjectorWnd() const {
    const TProjectorProcess* projector = Projector();
    return projector ? projector->ProjectorWnd : nullptr;
}

DWORD TRunner::ProjectorThreadId() const {
    const TProjectorProcess* projector = Projector();
    return projector ? projector->ProjectorThreadId : 0;
}

void TRunner::OnRaise(TMessage&) {
    if (TProjectorProcess* projector = Projector()) projector->RaiseRunnerWindow();
}

void TRunner::OnReady(TMessage&) {
    if (TProjectorProcess* projector = Projector()) projector->OnReady();
}

void TRunner::OnProjectorForeground(TMessage&) {
    if (const HWND projector = ProjectorWnd()) ::SetForegroundWindow(projector);
}

void TRunner::OnStartMusic(TMessage&) {
    music_.Start(show_ ? show_->MusicPath() : std::string(), reinterpret_cast<uintptr_t>(window_.RunnerWnd()));
}

void TRunner::OnMciNotify(TMessage& message) { music_.HandleNotify(message.WParam); }

void TRunner::OnCloseRequest(TMessage& message) {
    if (message.WParam == 0) ::SendMessageA(window_.RunnerWnd(), WM_CLOSE, 0, 0);
}

void TRunner::OnActivateApp(TMessage& message) {
    if (drag_) drag_->OnMessage(message.Msg, message.WParam, message.LParam, ProjectorThreadId());
    const TActivateAppDecision decision = DecideActivateApp(settings_.MouseInteraction.Checked, message.WParam != 0,
                                                            static_cast<uint32_t>(message.LParam), ProjectorThreadId());
    GiveNcActivateNotice(window_.RunnerWnd(), decision.Notice);
    message.Result = 0;
    message.Handled = decision.Handled;
}

void TRunner::OnShowPopupMenu(TMessage&) {
    if (popupMenu_) popupMenu_->Show(window_.RunnerWnd(), ControlBlock());
}

void TRunner::OnOutsideActivation(TMessage& message) {
    if (!popupMenu_) return;
    const TOutsideActivation outcome =
        popupMenu_->OnOutsideActivation(window_.RunnerWnd(), reinterpret_cast<HWND>(message.WParam), ControlBlock());
    if (outcome.CloseMenu && drag_) drag_->End();
}

void TRunner::OnCommand(TMessage& message) {
    const TPopupCommand command = AcceptPopupCommand(message.WParam, message.LParam, ProjectorWnd() != nullptr);
    TPopupCommandHost host;
    host.RunnerWnd = window_.RunnerWnd();
    host.CloseSetupDialog = [this] { return CloseSetupDialog(); };
    host.FocusSetupDialog = [this] { return FocusSetupDialog(); };
    host.CloseProjector = [this] {
        if (TProjectorProcess* projector = Projector()) projector->CloseProjector();
    };
    host.RunSetupDialog = [this] { return RunSetupDialog(); };
    host.RequestRestart = [] { RestartFlag = true; };
    CarryOutPopupCommand(command, host);
}

void TRunner::OnBeginDrag(TMessage& message) {
    if (drag_) drag_->Begin(message.WParam, ControlBlock());
}

void TRunner::OnDragMessage(TMessage& message) {
    if (!drag_) return;
    if (message.Msg == WM_TIMER) {
        drag_->OnTimer(message.WParam);
    } else {
        drag_->OnMessage(message.Msg, message.WParam, message.LParam, ProjectorThreadId());
    }
}

void TRunner::OnSetText(TMessage& message) {
    // An accepted movie command keeps the caption and answers 1; any other text retitles.
    if (ClassifySetText(message.WParam, message.LParam, ControlBlock()).Accepted()) {
        message.Result = 1;
        message.Handled = true;
    }
}

void TRunner::OnCaption(TMessage& message) {
    const TRunnerControlBlock* block = ControlBlock();
    const TProjectorProcess* projector = Projector();
    message.Handled = CaptionRule(window_.RunnerWnd(), message, settings_.MouseInteraction.Checked,
                                  projector && projector->ProjectorHasForeground(), block && block->RestyleInProgress);
}

void TRunner::OnWindowPosChanging(TMessage& message) {
    const TProjectorProcess* projector = Projector();
    message.Handled =
        ClickForegroundRule(message, settings_.RaiseWithoutActivating.Checked, projector && projector->ProjectorShown);
}

void TRunner::OnClose(TMessage& message) {
    // The runner window is never destroyed by WM_CLOSE: it asks the projector to close.
    if (TProjectorProcess* projector = Projector()) projector->CloseProjector();
    message.Result = 0;
    message.Handled = true;
}

void TRunner::OnEndSession(TMessage&) {
    if (!CloseSetupDialog() && ProjectorWnd()) ::PostMessageA(ProjectorWnd(), WM_CLOSE, 0, 0);
}

void TRunner::OnChar(TMessage& message) {
    const TRunnerControlBlock* block = ControlBlock();
    if (message.WParam == VK_ESCAPE && block && block->ExitOnEsc && ProjectorWnd()) Projector()->CloseProjector();
}

void TRunner::OnGlobalClose(TMessage& m) {
    const std::string atomName = AtomName(static_cast<ATOM>(m.LParam & 0xFFFF));
    if (m.WParam == 0) {
        // A close request for every runner of one executable, taken once per cycle: no
        // registered message has the id 0xFFFFFFFF (they lie in 0xC000 to 0xFFFF), so
        // the row is gone for good, and the close notice this runner broadcasts when
        // its show ends carries an id that no window recognises.
        window_.Messages().Remove(globalCloseMsg_);
        globalCloseMsg_ = 0xFFFFFFFF;
        if (SameExeFileName(atomName, exePath_)) ::SendMessageA(window_.RunnerWnd(), WM_CLOSE, 0, 0);
    } else if (IsSenderAncestor(EnvironmentValue(atomName), m.WParam) && ProjectorWnd()) {
        // The runner that started us ends: pass its notice on to the movie.
        ::PostMessageA(ProjectorWnd(), m.Msg, m.WParam, m.LParam);
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
    const TRunnerGeometry& geometry = window_.Geometry();
    POINT p = query.BottomRight ? POINT{geometry.AreaW, geometry.AreaH} : POINT{0, 0};
    ::ClientToScreen(window_.RunnerWnd(), &p);
    m.Result = query.What == TRunnerQuery::CornerX ? p.x : p.y;
}

}  // namespace quindle
