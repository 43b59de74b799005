// The system's ANSI code page as the text rules see it: which bytes lead a double-byte
// character. Used wherever the runner splits or ends a path on Windows.
#pragma once

#include "base/Text.h"

namespace quindle {

const ILeadBytes& SystemCodePage();

}  // namespace quindle
