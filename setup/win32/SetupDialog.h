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
    // The presentation password, asked right after loading and served by the pump given
    // (one that also stops when the runner closes the setup meanwhile); false closes the
    // dialog.
    std::function<bool(const TDialogPump& pump)> CheckPassword;
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

    // Creates, shows and serves the dialog, then saves the choices. True when the user
    // closed it with a choice other than the one it showed: the show is to start again.
    bool Run();

    // Its window once the password is accepted and while open; null before and after.
    HWND Dialog() const { return dialog_; }
    // For the runner window while Run serves the dialog; false when nothing is open (any
    // more), so that the request is the runner's.
    // Close: the show ends. An open dialog closes (WM_CLOSE) and Run answers false, its
    // choices saved for the next start; a password prompt in front of it goes, and
    // nothing is saved.
    bool Close();
    // Gives the open dialog the keyboard focus; while the password is asked, the prompt
    // stands for it (true, nothing else happens).
    bool Focus();

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam);
    void OnInitDialog(HWND dialog);
    POINT OwnerClientCorner() const;
    void FollowOwner(HWND dialog, POINT ownerBefore);
    bool AskPassword();
    void TakeCheckBoxes();
    void CompactLayout();
    void PutIcon();
    void ApplyOptionStates();
    void OnCommand(int id);
    void OnPaint();

    const TSetupDialogHost& host_;
    TProjectSettings& options_;
    TProjectSettings loaded_;  // the option states as loaded: what the boxes first showed
    HWND dialog_ = nullptr;    // published once the password is accepted
    HICON icon_ = nullptr;     // shared resource icon, not destroyed
    RECT iconRect_{};
    TUniqueBrush background_;
    TUniqueFont font_;
    bool settingsLoaded_ = false;
    bool askingPassword_ = false;
    bool passwordAccepted_ = false;
    bool abandoned_ = false;       // closed by the runner while the password was asked
    bool closedByRunner_ = false;  // closed by the runner once open
    TFirstFailure failures_;       // raised by a procedure, passed on once the dialog is gone
};

}  // namespace quindle
