// The password dialog: a modeless dialog served by the runner's pump, centred on the
// work area, whose edit control confirms on Enter.
#include "window/win32/PasswordDialog.h"

#include <utility>

#include "base/Timing.h"
#include "resources/dialogs.h"
#include "window/Geometry.h"
#include "window/win32/DialogObject.h"
#include "window/win32/DialogWait.h"

namespace quindle {

namespace {

constexpr int kEditTextBuffer = int(kMaxPasswordLength) + 1;

std::string EditText(HWND edit) {
    char buffer[kEditTextBuffer] = {};
    const LRESULT length = ::SendMessageA(edit, WM_GETTEXT, kEditTextBuffer, reinterpret_cast<LPARAM>(buffer));
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

}  // namespace

TPasswordDialog::TPasswordDialog(std::string title, std::string label)
    : title_(std::move(title)), label_(std::move(label)) {}

TPasswordDialog::~TPasswordDialog() {
    // The object outlives its window, which its procedures reach it through.
    if (::IsWindow(dialog_)) ::DestroyWindow(dialog_);
}

std::string TPasswordDialog::Run(HWND owner, const TDialogPump& pump) {
    dialog_ = ::CreateDialogParamA(::GetModuleHandleA(nullptr), "PW_DIALOG", owner, &DialogProc, DialogInitParam(this));
    if (!dialog_) {
        failures_.RethrowFirst();
        ::MessageBoxA(nullptr, "Error creating PW dialog", "Error", MB_OK);
        return kPasswordCancelMarker;
    }
    ::SendMessageA(dialog_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title_.c_str()));
    ::ShowWindow(dialog_, SW_SHOWNORMAL);
    ServeDialog(dialog_, pump);
    failures_.RethrowFirst();
    return result_ == 1 ? enteredText_ : std::string(kPasswordCancelMarker);
}

INT_PTR CALLBACK TPasswordDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    TPasswordDialog* self = DialogObject<TPasswordDialog>(dialog, message, lParam);
    if (!self) return FALSE;
    // A C++ exception must not cross the system's dialog code: the dialog closes and
    // Run passes the error on.
    if (!self->failures_.Run([&] { self->Handle(dialog, message, wParam); })) ::DestroyWindow(dialog);
    // The system's dialog handling always follows.
    return FALSE;
}

void TPasswordDialog::Handle(HWND dialog, UINT message, WPARAM wParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog);
            break;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam));
            break;
        case WM_CLOSE:
            ::DestroyWindow(dialog);
            break;
        case WM_DESTROY:
            labelFont_.reset();
            break;
        case WM_ACTIVATE:
            if (wParam == 0) ::SendMessageA(dialog, WM_CANCELMODE, 0, 0);
            break;
        default:
            break;
    }
}

void TPasswordDialog::OnInitDialog(HWND dialog) {
    labelFont_ = CreateBoldDialogFont();
    RECT rect{};
    ::GetWindowRect(dialog, &rect);
    width_ = static_cast<int16_t>(rect.right - rect.left);
    height_ = static_cast<int16_t>(rect.bottom - rect.top);
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const TPoint32 origin = CentredOnWorkArea({work.left, work.top, work.right, work.bottom}, width_, height_);
    ::SetWindowPos(dialog, nullptr, origin.X, origin.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    dialog_ = dialog;

    const HWND labelControl = ::GetDlgItem(dialog, IDC_PW_LABEL);
    ::SendMessageA(labelControl, WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_.get()), TRUE);
    ::SetWindowTextA(labelControl, label_.c_str());

    edit_ = ::GetDlgItem(dialog, IDC_PW_EDIT);
    previousEditProc_ =
        reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EnterKeyProc)));
    if (!previousEditProc_) ::MessageBeep(MB_ICONASTERISK);

    icon_ = ::LoadIconA(::GetModuleHandleA(nullptr), "MAINICON");
    ::SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
}

void TPasswordDialog::OnCommand(int id) {
    if (id == IDC_PW_OK) {
        Confirm();
    } else if (id == IDC_PW_CANCEL) {
        result_ = 0;
        ::SendMessageA(dialog_, WM_CLOSE, 0, 0);
    }
}

void TPasswordDialog::Confirm() {
    result_ = 1;
    enteredText_ = EditText(edit_);
    ::SendMessageA(dialog_, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK TPasswordDialog::EnterKeyProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    // The edit control lies in the dialog, which holds the object.
    auto* self = reinterpret_cast<TPasswordDialog*>(::GetWindowLongPtrA(::GetParent(edit), DWLP_USER));
    if (!self || !self->previousEditProc_) return ::DefWindowProcA(edit, message, wParam, lParam);
    // Enter confirms the entry; the edit control never sees it.
    if (message == WM_KEYDOWN && wParam == VK_RETURN) return 0;
    if (message == WM_CHAR && wParam == VK_RETURN) {
        if (!self->failures_.Run([self] { self->Confirm(); })) ::DestroyWindow(self->dialog_);
        return 0;
    }
    return ::CallWindowProcA(self->previousEditProc_, edit, message, wParam, lParam);
}

std::string AskPassword(HWND owner, const std::string& title, const std::string& label, const TDialogPump& pump) {
    TPasswordDialog dialog(title, label);
    return dialog.Run(owner, pump);
}

TPasswordDialogPrompt::TPasswordDialogPrompt(HWND owner, std::string title, const TProjectSettings& presentation,
                                             TDialogPump pump)
    : owner_(owner),
      title_(std::move(title)),
      label_(presentation.PasswordPrompt),
      wrongText_(presentation.WrongPasswordText),
      pump_(std::move(pump)) {}

std::string TPasswordDialogPrompt::AskPassword() { return quindle::AskPassword(owner_, title_, label_, pump_); }

void TPasswordDialogPrompt::ReportWrongPassword() {
    ::Sleep(kPasswordRetryPauseMs);
    ::MessageBoxA(owner_, wrongText_.c_str(), "Error", MB_OK);
}

bool CheckPresentationPassword(HWND owner, const TProjectSettings& presentation, const std::string& title,
                               const TDialogPump& pump) {
    TPasswordDialogPrompt prompt(owner, title, presentation, pump);
    return CheckPassword(presentation.AsksPassword, presentation.PasswordHash, prompt);
}

}  // namespace quindle
