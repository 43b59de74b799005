// The attempt loop of the password check; the dialog and the message box are the
// prompt's.
#include "window/PasswordCheck.h"

#include "window/HashPassword.h"

namespace quindle {

const char kPasswordCancelMarker[] =
    "\x01"
    "CanCel"
    "\x0E";

bool CheckPassword(bool passwordOn, uint32_t passwordHash, IPasswordPrompt& prompt) {
    if (!passwordOn) return true;
    const uint32_t cancelHash = HashPassword(kPasswordCancelMarker);
    for (int attempt = 0; attempt < kPasswordAttempts; ++attempt) {
        const uint32_t hash = HashPassword(prompt.AskPassword());
        if (hash == passwordHash) return true;
        if (hash == cancelHash) return false;
        prompt.ReportWrongPassword();
    }
    return false;
}

}  // namespace quindle
