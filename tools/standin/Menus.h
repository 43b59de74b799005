// The stand-in's menu bar, in the wording of a chosen language, with the full-screen
// item under a command id of its own.
#pragma once

#include <windows.h>

namespace standin {

constexpr UINT kFullScreenCommand = 40123;  // not the id the runner falls back to
constexpr UINT kExitCommand = 40124;

// lang: "" or "en" (English), "de", "pt", or anything else for a wording the runner
// does not know (it then falls back to its default command id).
HMENU CreateMenuBar(const char* lang);

}  // namespace standin
