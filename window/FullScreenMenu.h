// Finds the command id of the projector's own full-screen menu item from the texts of
// its menu bar, in the languages the projector ships in. Used by the restyle.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quindle {

// The id the projector's full-screen command has when its menu does not tell.
constexpr uint32_t kDefaultFullScreenCmd = 20048;

// One menu item as read by position. Read is false when the item could not be read.
struct TMenuItemText {
    bool Read = false;
    uint32_t Type = 0;  // MFT_* bits
    std::string Text;
    uint32_t Id = 0;
};

// A text item: none of MFT_BITMAP, MFT_OWNERDRAW or MFT_SEPARATOR.
bool IsTextMenuItem(const TMenuItemText& item);

// "&View", "&Ansicht" or "&Exibir", exactly and with case.
bool IsViewMenuCaption(const std::string& text);

// Begins with "Full &Screen", "&Vollbild" or "&Tela Inteirathen", with case; the
// shortcut after it ("\tCtrl+F") does not matter.
bool IsFullScreenCaption(const std::string& text);

// Position of the first top-level item that opens the view menu.
std::optional<size_t> FindViewMenu(const std::vector<TMenuItemText>& bar);

// The id of the first full-screen item of the view menu; nothing when none matches.
std::optional<uint32_t> FindFullScreenItem(const std::vector<TMenuItemText>& viewMenu);

// The whole search: only the first view menu is examined; kDefaultFullScreenCmd when
// it gives no id (or the id 0). readSubmenu reads the items of the bar item at a position.
uint32_t FindFullScreenCommand(const std::vector<TMenuItemText>& bar,
                               const std::function<std::vector<TMenuItemText>(size_t)>& readSubmenu);

}  // namespace quindle
