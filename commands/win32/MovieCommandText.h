// Reads a WM_SETTEXT sent to the runner window as a possible movie command: the text
// from lParam and the DDE names from the control block. Used by the runner window,
// which answers an accepted command with 1 and leaves its caption alone.
#pragma once

#include <windows.h>

#include "commands/MovieCommand.h"
#include "contract/ControlBlock.h"

namespace quindle {

// block may be null (no session yet): the DDE names are then empty.
TMovieCommand ClassifySetText(WPARAM wParam, LPARAM lParam, const TRunnerControlBlock* block);

}  // namespace quindle
