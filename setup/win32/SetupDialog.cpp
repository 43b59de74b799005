// The setup dialog: white on black, the program icon drawn top left, the check boxes of
// the options left to the user packed into two columns.
#include "setup/win32/SetupDialog.h"

#include "resources/dialogs.h"
#include "setup/SetupChoices.h"
#include "window/win32/DialogObject.h"
#include "window/win32/DialogWait.h"

namespace quindle {

namespace {

HWND BoxWindow(const TOptionState& option) { return reinterpret_cast<HWND>(option.Control); }

}  // namespace

TSetupDialog::TSetupDialog(const TSetupDialogHost& host, TProjectSettings& options) : host_(host), options_(options) {}

TSetupDialog::~TSetupDialog() {
    // The object outlives its window, which its procedure reaches it through.
    if (::IsWindow(dialog_)) ::DestroyWindow(dialog_);
}

bool TSetupDialog::Run() {
    ::SetLastError(0);
    const HWND created = ::CreateDialogParamA(::GetModuleHandleA(nullptr), "SETUP_DIALOG", host_.Owner, &DialogProc,
                                              DialogInitParam(this));
    failures_.RethrowFirst();
    if (created) {
        ::SendMessageA(created, WM_SETTEXT, 0, reinterpret_cast<LPARAM>((options_.Title + " - Setup").c_str()));
        ApplyOptionStates();
        if (passwordAccepted_) ::ShowWindow(created, SW_SHOWNORMAL);
        ServeDialog(created, host_.Pump);
        failures_.RethrowFirst();
    } else if (passwordAccepted_ || !settingsLoaded_) {
        ::MessageBoxA(nullptr, "Error creating Setup dialog", "Error", MB_OK);
    }
    // Without the settings there are no choices to save, only defaults that would
    // overwrite the user's.
    if (!settingsLoaded_) return false;
    changed_ = SaveSetupChoices(*host_.Registry, options_);
    return changed_;
}

INT_PTR CALLBACK TSetupDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    TSetupDialog* self = DialogObject<TSetupDialog>(dialog, message, lParam);
    if (!self) return 0;
    // A C++ exception must not cross the system's dialog code: the dialog closes and
    // Run passes the error on.
    INT_PTR result = 0;
    if (!self->failures_.Run([&] { result = self->Handle(dialog, message, wParam); })) ::DestroyWindow(dialog);
    return result;
}

INT_PTR TSetupDialog::Handle(HWND dialog, UINT message, WPARAM wParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog);
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam));
            return 0;
        case WM_CTLCOLORSTATIC:
            ::SetTextColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
            ::SetBkColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 0));
            return reinterpret_cast<INT_PTR>(background_.get());
        case WM_CTLCOLORDLG:
            return reinterpret_cast<INT_PTR>(background_.get());
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ACTIVATE:
            if (wParam == 0) ::SendMessageA(dialog, WM_CANCELMODE, 0, 0);
            return 0;
        case WM_NEXTDLGCTL:
            ::MessageBeep(0);
            return 0;
        case WM_CLOSE:
            ::DestroyWindow(dialog);
            return 0;
        case WM_DESTROY:
            background_.reset();
            font_.reset();
            // The dialog is closed from here on, though Run is still saving: a close or
            // setup request that comes meanwhile belongs to the runner again.
            dialog_ = nullptr;
            return 0;
        default:
            return 0;
    }
}

void TSetupDialog::OnInitDialog(HWND dialog) {
    dialog_ = dialog;
    host_.LoadSettings(options_);
    settingsLoaded_ = true;
    passwordAccepted_ = host_.CheckPassword();
    if (!passwordAccepted_) {
        ::SendMessageA(dialog, WM_CLOSE, 0, 0);
        return;
    }
    font_ = CreateBoldDialogFont();
    ::SendMessageA(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), 0);
    background_ = TUniqueBrush(::CreateSolidBrush(RGB(0, 0, 0)));
    for (int id : {IDC_SETUP_NOTICE, IDC_SETUP_STATUS, IDC_SETUP_VERSION}) {
        ::SendDlgItemMessageA(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), 0);
    }
    TakeCheckBoxes();
    CompactLayout();
    PutIcon();
}

void TSetupDialog::TakeCheckBoxes() {
    for (const TSetupBox& box : kSetupBoxes) {
        TOptionState& option = options_.*box.Option;
        const HWND control = ::GetDlgItem(dialog_, box.Id);
        option.Control = reinterpret_cast<uintptr_t>(control);
        ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), 0);
        RECT rect{};
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&rect), 2);
        option.Left = rect.left;
        option.Top = rect.top;
    }
}

void TSetupDialog::CompactLayout() {
    TProjectSettings compacted = options_;
    CompactSetupLayout(compacted);
    for (TSetupBoxId id : kSetupMoveOrder) {
        TOptionState& option = SetupOption(options_, id);
        const TOptionState& place = SetupOption(compacted, id);
        // A box that could not be moved keeps its recorded place.
        if (::SetWindowPos(BoxWindow(option), nullptr, place.Left, place.Top, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)) {
            option.Left = place.Left;
            option.Top = place.Top;
        }
    }
}

void TSetupDialog::PutIcon() {
    const HWND placeholder = ::GetDlgItem(dialog_, IDC_SETUP_ICON);
    ::GetWindowRect(placeholder, &iconRect_);
    ::MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&iconRect_), 2);
    ::DestroyWindow(placeholder);
    icon_ = ::LoadIconA(::GetModuleHandleA(nullptr), "MAINICON");
    ::SendMessageA(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
}

void TSetupDialog::ApplyOptionStates() {
    for (TSetupBoxId id : kSetupApplyOrder) {
        const TOptionState& option = SetupOption(options_, id);
        const HWND control = BoxWindow(option);
        const bool shown = (::GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
        if (shown != option.Visible) ::ShowWindow(control, option.Visible ? SW_SHOW : SW_HIDE);
        ::EnableWindow(control, option.Enabled);
        ::SendMessageA(control, BM_SETCHECK, option.Checked ? BST_CHECKED : BST_UNCHECKED, 0);
        ::InvalidateRect(control, nullptr, TRUE);
    }
}

void TSetupDialog::OnCommand(int id) {
    if (id < kMouseInteractionBox || id > kMidiMuteBox) return;
    const HWND control = ::GetDlgItem(dialog_, id);
    const bool checked = (::SendMessageA(control, BM_GETSTATE, 0, 0) & BST_CHECKED) != 0;
    const std::optional<bool> menuBoxEnabled = RecordSetupClick(options_, id, checked);
    if (!menuBoxEnabled) return;
    const HWND menuBox = BoxWindow(options_.RightClickMenu);
    ::EnableWindow(menuBox, *menuBoxEnabled);
    ::InvalidateRect(control, nullptr, FALSE);
    ::InvalidateRect(menuBox, nullptr, FALSE);
}

void TSetupDialog::OnPaint() {
    PAINTSTRUCT paint{};
    const HDC dc = ::BeginPaint(dialog_, &paint);
    ::DrawIcon(dc, iconRect_.left, iconRect_.top, icon_);
    ::EndPaint(dialog_, &paint);
}

bool TSetupDialog::Close() {
    if (!dialog_) return false;
    ::SendMessageA(dialog_, WM_CLOSE, 0, 0);
    return true;
}

bool TSetupDialog::Focus() {
    if (!dialog_) return false;
    ::SetFocus(dialog_);
    return true;
}

}  // namespace quindle
