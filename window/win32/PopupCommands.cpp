// The popup menu's three commands.
#include "window/win32/PopupCommands.h"

namespace quindle {

void CarryOutPopupCommand(TPopupCommand command, const TPopupCommandHost& host) {
    switch (command) {
        case TPopupCommand::Close:
            if (host.CloseSetupDialog && host.CloseSetupDialog()) break;
            if (host.CloseProjector) host.CloseProjector();
            break;
        case TPopupCommand::Setup:
            if (host.FocusSetupDialog && host.FocusSetupDialog()) break;
            if (host.RunSetupDialog && host.RunSetupDialog()) {
                // The new choices take effect in a fresh cycle, after the projector has ended.
                if (host.CloseProjector) host.CloseProjector();
                if (host.RequestRestart) host.RequestRestart();
            }
            break;
        case TPopupCommand::Minimize:
            ::PostMessageA(host.RunnerWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            break;
        case TPopupCommand::None:
            break;
    }
}

}  // namespace quindle
