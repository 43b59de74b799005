// The system's handler for HTML files, looked up once per run and handed to the hook
// library through the control block: its open command, DDE application and DDE topic.
#pragma once

#include <windows.h>

#include "contract/ControlBlock.h"

namespace quindle {

// Fills the browser command, DDE application and DDE topic fields from the classes
// under root (HKEY_CLASSES_ROOT for the runner). Missing keys and values leave their
// field empty; a default value that is not text raises std::runtime_error.
void LookUpBrowserAssociation(TRunnerControlBlock& block, HKEY root = HKEY_CLASSES_ROOT);

}  // namespace quindle
