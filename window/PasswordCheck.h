// The presentation password's attempts: at most three, a cancel ends them at once.
// Used by the start-up before anything is extracted and by the setup dialog.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quindle {

// What the password dialog answers when it was not confirmed. It hashes like the
// letters "CanCel", so typing those letters and confirming counts as a cancel too.
extern const char kPasswordCancelMarker[];

constexpr int kPasswordAttempts = 3;

// The longest text the password dialog takes, in bytes of the system's code page.
constexpr size_t kMaxPasswordLength = 1023;

// The user's side of the check: the dialog and the error message.
class IPasswordPrompt {
public:
    virtual ~IPasswordPrompt() = default;
    // The entered text, or kPasswordCancelMarker.
    virtual std::string AskPassword() = 0;
    // Tells the user the entry was wrong (after a short pause).
    virtual void ReportWrongPassword() = 0;
};

// True when the run may go on: no password is asked for, or the text whose hash equals
// passwordHash was entered within three attempts. A cancel refuses without a message.
bool CheckPassword(bool passwordOn, uint32_t passwordHash, IPasswordPrompt& prompt);

}  // namespace quindle
