// How a dialog's procedure finds the object it serves, the way the runner window finds
// its own through its create parameters: the object goes to CreateDialogParam as the
// init parameter and is kept in the dialog's DWLP_USER from WM_INITDIALOG on. Used by
// the password and setup dialogs.
#pragma once

#include <windows.h>

namespace quindle {

// The object of dialog; null for the few messages that come before WM_INITDIALOG.
template <typename TDialogClass>
TDialogClass* DialogObject(HWND dialog, UINT message, LPARAM lParam) {
    if (message == WM_INITDIALOG) ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    return reinterpret_cast<TDialogClass*>(::GetWindowLongPtrA(dialog, DWLP_USER));
}

// The init parameter that makes object the dialog's.
template <typename TDialogClass>
LPARAM DialogInitParam(TDialogClass* object) {
    return reinterpret_cast<LPARAM>(object);
}

}  // namespace quindle
