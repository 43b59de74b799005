// The stand-in's menu bar, in the wording of a chosen language, with the full-screen
// item under a command id of its own.
#pragma once

#include <windows.h>

namespace standin {

constexpr UINT kFullScreenCommand = 40123;  // not the id the runner falls back to
constexpr UINT kExitCommand = 40124;
constexpr UINT kFallbackFullScreenCommand = 20048;  // what the runner sends when it finds no item

// The context menu a right click opens, as a projector offers one: its item ids.
constexpr UINT kContextMenuIds[] = {40201, 40202, 40203, 40204};

// Shows the context menu at screen point (x, y) until the menu loop first goes idle,
// then reports "contextmenu=<ids of the items it held>" (comma-separated): what a user
// would have seen after the menu was opened.
void ShowContextMenu(HWND owner, int x, int y);
// WM_ENTERIDLE: closes the context menu once it is up.
void OnMenuIdle(WPARAM reason);

// lang: "" or "en" (English), "de", "pt", or anything else for a wording the runner
// does not know (it then falls back to its default command id).
HMENU CreateMenuBar(const char* lang);

// Reports each top-level item as "menu=<text>" and each item of a submenu as
// "menuitem=<id>:<text>", so a test can check the menu where it cannot read it itself.
void ReportMenuBar(HMENU bar);

}  // namespace standin
