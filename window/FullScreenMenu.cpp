// Menu search for the projector's full-screen command.
#include "window/FullScreenMenu.h"

namespace quindle {

namespace {

constexpr uint32_t kNonTextTypes = 0x00000004 | 0x00000100 | 0x00000800;  // MFT_BITMAP, MFT_OWNERDRAW, MFT_SEPARATOR

struct TCaptionStart {
    const char* Text;
    size_t Compared;
};

// The German and Portuguese projectors spell the item so; the count says how much of it counts.
constexpr TCaptionStart kFullScreenCaptions[] = {
    {"Full &Screen", 12},
    {"&Vollbild", 9},
    {"&Tela Inteirathen", 17},
};

}  // namespace

bool IsTextMenuItem(const TMenuItemText& item) { return item.Read && (item.Type & kNonTextTypes) == 0; }

bool IsViewMenuCaption(const std::string& text) { return text == "&View" || text == "&Ansicht" || text == "&Exibir"; }

bool IsFullScreenCaption(const std::string& text) {
    for (const TCaptionStart& c : kFullScreenCaptions) {
        if (text.compare(0, c.Compared, c.Text, c.Compared) == 0) return true;
    }
    return false;
}

std::optional<size_t> FindViewMenu(const std::vector<TMenuItemText>& bar) {
    for (size_t i = 0; i < bar.size(); ++i) {
        if (IsTextMenuItem(bar[i]) && IsViewMenuCaption(bar[i].Text)) return i;
    }
    return std::nullopt;
}

std::optional<uint32_t> FindFullScreenItem(const std::vector<TMenuItemText>& viewMenu) {
    for (const TMenuItemText& item : viewMenu) {
        if (IsTextMenuItem(item) && IsFullScreenCaption(item.Text)) return item.Id;
    }
    return std::nullopt;
}

uint32_t FindFullScreenCommand(const std::vector<TMenuItemText>& bar,
                               const std::function<std::vector<TMenuItemText>(size_t)>& readSubmenu) {
    uint32_t command = 0;
    if (const std::optional<size_t> view = FindViewMenu(bar)) {
        command = FindFullScreenItem(readSubmenu(*view)).value_or(0);
    }
    return command != 0 ? command : kDefaultFullScreenCmd;
}

}  // namespace quindle
