// The runner's right-click menu: built once per cycle from the settings, released with
// the runner window or the runner object.
#pragma once

#include <windows.h>

#include "base/win32/Handles.h"

namespace quindle {

class TPopupMenu {
public:
    // Close (129), Setup (130) and Minimize (131), each when its option is on. A menu
    // that lost an item is not kept, and then none is shown for the run.
    void Build(bool closeItem, bool setupItem, bool minimizeItem);
    HMENU Handle() const { return menu_.get(); }
    // The window is gone: one the system has destroyed with it is only forgotten.
    void OnWindowDestroyed();

private:
    UniqueMenu menu_;
};

}  // namespace quindle
