// Builds the menu bar: "&File" with an exit item, then the view menu with the
// full-screen item, worded per language.
#include "tools/standin/Menus.h"

#include <cstring>
#include <string>

#include "tools/standin/Report.h"

namespace standin {

namespace {

struct TWording {
    const char* lang;
    const char* file;
    const char* exit;
    const char* view;
    const char* fullScreen;
};

const TWording kWordings[] = {
    {"en", "&File", "E&xit", "&View", "Full &Screen\tCtrl+F"},
    {"de", "&Datei", "&Beenden", "&Ansicht", "&Vollbild\tStrg+F"},
    {"pt", "&Arquivo", "&Sair", "&Exibir", "&Tela Inteirathen\tCtrl+F"},
};
const TWording kUnknown = {"", "&Fichier", "&Quitter", "&Affichage",
                           "&Plein \xe9"
                           "cran\tCtrl+F"};

const TWording& Choose(const char* lang) {
    if (!lang || !*lang) return kWordings[0];
    for (const TWording& w : kWordings) {
        if (std::strcmp(w.lang, lang) == 0) return w;
    }
    return kUnknown;
}

}  // namespace

HMENU CreateMenuBar(const char* lang) {
    const TWording& w = Choose(lang);
    HMENU file = ::CreatePopupMenu();
    ::AppendMenuA(file, MF_STRING, kExitCommand, w.exit);
    HMENU view = ::CreatePopupMenu();
    ::AppendMenuA(view, MF_STRING, kFullScreenCommand, w.fullScreen);
    HMENU bar = ::CreateMenu();
    ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), w.file);
    ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), w.view);
    return bar;
}

void ReportMenuBar(HMENU bar) {
    char text[100];
    for (int i = 0; i < ::GetMenuItemCount(bar); ++i) {
        ::GetMenuStringA(bar, i, text, sizeof text, MF_BYPOSITION);
        Report("menu", text);
        const HMENU sub = ::GetSubMenu(bar, i);
        for (int j = 0; sub && j < ::GetMenuItemCount(sub); ++j) {
            ::GetMenuStringA(sub, j, text, sizeof text, MF_BYPOSITION);
            Report("menuitem", std::to_string(::GetMenuItemID(sub, j)) + ":" + text);
        }
    }
}

namespace {
bool contextMenuUp = false;
}  // namespace

void ShowContextMenu(HWND owner, int x, int y) {
    const char* texts[] = {"Zoom In", "Zoom Out", "Quality", "About"};
    HMENU menu = ::CreatePopupMenu();
    for (size_t i = 0; i < sizeof texts / sizeof texts[0]; ++i)
        ::AppendMenuA(menu, MF_STRING, kContextMenuIds[i], texts[i]);
    contextMenuUp = true;
    ::TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y, 0, owner, nullptr);
    contextMenuUp = false;
    std::string ids;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) ids += (i ? "," : "") + std::to_string(::GetMenuItemID(menu, i));
    ::DestroyMenu(menu);
    Report("contextmenu", ids);
}

void OnMenuIdle(WPARAM reason) {
    if (reason == MSGF_MENU && contextMenuUp) ::EndMenu();
}

}  // namespace standin
