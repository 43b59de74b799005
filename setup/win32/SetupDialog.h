// The screen-saver setup dialog ("SETUP_DIALOG"): a check box for each option the
// presentation leaves to the user, saved to the registry when the dialog closes. Opened
// by the "/C" switch and by the runner's "Setup" menu item.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "base/FirstFailure.h"
#include "settings/ProjectSettings.h"
#include "settings/RegistryStore.h"
#include "window/DialogLoop.h"
#include "window/win32/GdiObjects.h"

namespace quindle {

// What the dialog needs from the runner.
struct TSetupDialogHost {
    HWND Owner = nullptr;                // the runner window
    IRegistryStore* Registry = nullptr;  // the runner's section, where the choices go
    // Fills the dialog's option record (option states, screen name) from the project
    // settings and the registry. It must leave a running presentation's settings alone.
    std::function<void(TProjectSettings& options)> LoadSettings;
    // The presentation password, asked right after loading; false closes the dialog.
    std::function<bool()> CheckPassword;
    TDialogPump Pump;
};

class TSetupDialog {
public:
    // options: the dialog's own record, separate from the running presentation's.
    TSetupDialog(const TSetupDialogHost& host, TProjectSettings& options);
    // Destroys a dialog still open.
    ~TSetupDialog();
    TSetupDialog(const TSetupDialog&) = delete;
    TSetupDialog& operator=(const TSetupDialog&) = delete;

    // Creates, shows and serves the dialog, then saves the choices. True when a saved
    // value differs from what the registry held.
    bool Run();

    // Its window while open; null before it is created and once it is destroyed.
    HWND Dialog() const { return dialog_; }
    // For the runner window while Run serves the dialog: closes it (WM_CLOSE), or gives
    // it the keyboard focus; false when its window is not open (any more), so that the
    // request is the runner's.
    bool Close();
    bool Focus();

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam);
    void OnInitDialog(HWND dialog);
    void TakeCheckBoxes();
    void CompactLayout();
    void PutIcon();
    void ApplyOptionStates();
    void OnCommand(int id);
    void OnPaint();

    const TSetupDialogHost& host_;
    TProjectSettings& options_;
    HWND dialog_ = nullptr;
    HICON icon_ = nullptr;  // shared resource icon, not destroyed
    RECT iconRect_{};
    TUniqueBrush background_;
    TUniqueFont font_;
    bool changed_ = false;
    bool settingsLoaded_ = false;
    bool passwordAccepted_ = false;
    TFirstFailure failures_;  // raised by a procedure, passed on once the dialog is gone
};

}  // namespace quindle
