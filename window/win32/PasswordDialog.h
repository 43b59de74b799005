// The presentation password dialog ("PW_DIALOG") and the check built on it. Used by the
// start-up before anything is extracted and by the setup dialog before it opens.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "base/FirstFailure.h"

#include "settings/ProjectSettings.h"
#include "window/DialogLoop.h"
#include "window/PasswordCheck.h"
#include "window/win32/GdiObjects.h"

namespace quindle {

// One password entry: created for each attempt.
class TPasswordDialog {
public:
    // title: the presentation title; label: the prompt above the edit control.
    TPasswordDialog(std::string title, std::string label);
    // Destroys a dialog that is still open.
    ~TPasswordDialog();
    TPasswordDialog(const TPasswordDialog&) = delete;
    TPasswordDialog& operator=(const TPasswordDialog&) = delete;

    // Creates the dialog owned by owner, shows it and serves it until it closes or the
    // runner quits. The entered text when the user confirmed, else kPasswordCancelMarker.
    // A dialog that cannot be created is reported ("Error creating PW dialog") and
    // counts as cancelled.
    std::string Run(HWND owner, const TDialogPump& pump);

    HWND Dialog() const { return dialog_; }

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void Handle(HWND dialog, UINT message, WPARAM wParam);
    static LRESULT CALLBACK EnterKeyProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND dialog);
    void OnCommand(int id);
    // Result 1, the edit text taken, the dialog closed.
    void Confirm();

    HWND dialog_ = nullptr;
    HWND edit_ = nullptr;
    HICON icon_ = nullptr;  // shared resource icon, not destroyed
    int16_t width_ = 0;
    int16_t height_ = 0;
    TUniqueFont labelFont_;
    std::string enteredText_;
    int32_t result_ = 0;  // 1 only when the user confirmed
    WNDPROC previousEditProc_ = nullptr;
    std::string title_;
    std::string label_;
    TFirstFailure failures_;  // raised by a procedure, passed on once the dialog is gone
};

// Shows one password dialog: the entered text or kPasswordCancelMarker.
std::string AskPassword(HWND owner, const std::string& title, const std::string& label, const TDialogPump& pump);

// The password prompt of the runner: the dialog, and after a wrong entry a pause
// (kPasswordRetryPauseMs) and an "Error" box with the wrong-password text, owned by owner.
class TPasswordDialogPrompt : public IPasswordPrompt {
public:
    TPasswordDialogPrompt(HWND owner, std::string title, const TProjectSettings& presentation, TDialogPump pump);
    std::string AskPassword() override;
    void ReportWrongPassword() override;

private:
    HWND owner_;
    std::string title_;
    std::string label_;
    std::string wrongText_;
    TDialogPump pump_;
};

// The whole check for a presentation: presentation carries AsksPassword, PasswordHash,
// PasswordPrompt and WrongPasswordText; title is its Title.
bool CheckPresentationPassword(HWND owner, const TProjectSettings& presentation, const std::string& title,
                               const TDialogPump& pump);

}  // namespace quindle
