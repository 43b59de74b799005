// The stand-in's menu bar, in the wording of a chosen language, with the full-screen
// item under a command id of its own.
#pragma once

#include <windows.h>

namespace standin {

constexpr UINT kFullScreenCommand = 40123;  // not the id the runner falls back to
constexpr UINT kExitCommand = 40124;
constexpr UINT kFallbackFullScreenCommand = 20048;  // what the runner sends when it finds no item

// lang: "" or "en" (English), "de", "pt", or anything else for a wording the runner
// does not know (it then falls back to its default command id).
HMENU CreateMenuBar(const char* lang);

// Reports each top-level item as "menu=<text>" and each item of a submenu as
// "menuitem=<id>:<text>", so a test can check the menu where it cannot read it itself.
void ReportMenuBar(HMENU bar);

}  // namespace standin
