#include "window/FullScreenMenu.h"

#include <gtest/gtest.h>

#include <vector>

namespace quindle {
namespace {

constexpr uint32_t kSeparator = 0x800;

TMenuItemText Text(const std::string& text, uint32_t id = 0) { return {true, 0, text, id}; }

struct MenuCase {
    const char* name;
    std::vector<TMenuItemText> bar;
    std::vector<std::vector<TMenuItemText>> submenus;  // by bar position
    uint32_t expected;
};

TEST(GeometryFullScreenMenu, SearchTable) {
    const TMenuItemText unreadable{false, 0, "&View", 0};
    const TMenuItemText separator{true, kSeparator, "", 0};
    const MenuCase cases[] = {
        {"English with a shortcut",
         {Text("&File"), Text("&View")},
         {{Text("&Open", 1)}, {Text("&Zoom In", 10), Text("Full &Screen\tCtrl+F", 401)}},
         401},
        {"German", {Text("&Datei"), Text("&Ansicht")}, {{}, {Text("&Vollbild\tStrg+F", 77)}}, 77},
        {"Portuguese", {Text("&Exibir")}, {{Text("&Tela Inteirathen\tCtrl+F", 55)}}, 55},
        {"Portuguese spelled plainly does not match", {Text("&Exibir")}, {{Text("&Tela Inteira\tCtrl+F", 55)}}, 20048},
        {"a top-level item in another case", {Text("&view")}, {{Text("Full &Screen", 401)}}, 20048},
        {"a top-level item with a shortcut mark elsewhere", {Text("V&iew")}, {{Text("Full &Screen", 401)}}, 20048},
        {"item in another case", {Text("&View")}, {{Text("Full &screen", 401)}}, 20048},
        {"item cut short", {Text("&View")}, {{Text("Full &Scr", 401)}}, 20048},
        {"separators and unreadable items are skipped",
         {unreadable, Text("&View")},
         {{Text("Full &Screen", 9)}, {separator, Text("Full &Screen", 402)}},
         402},
        {"the first matching item wins", {Text("&View")}, {{Text("&Vollbild", 3), Text("Full &Screen", 4)}}, 3},
        {"only the first view menu is examined",
         {Text("&View"), Text("&Ansicht")},
         {{Text("&Zoom", 1)}, {Text("&Vollbild", 78)}},
         20048},
        {"an item with id 0 gives the default", {Text("&View")}, {{Text("Full &Screen", 0)}}, 20048},
        {"no menu bar", {}, {}, 20048},
    };
    for (const MenuCase& c : cases) {
        std::vector<size_t> read;
        const uint32_t got = FindFullScreenCommand(c.bar, [&](size_t position) {
            read.push_back(position);
            return position < c.submenus.size() ? c.submenus[position] : std::vector<TMenuItemText>{};
        });
        EXPECT_EQ(got, c.expected) << c.name;
        EXPECT_LE(read.size(), 1u) << c.name << ": more than one submenu read";
    }
}

TEST(GeometryFullScreenMenu, CaptionsCompareOverTheirOwnLength) {
    EXPECT_TRUE(IsFullScreenCaption("Full &Screen"));
    EXPECT_TRUE(IsFullScreenCaption("Full &Screen Mode"));
    EXPECT_TRUE(IsFullScreenCaption("&Vollbild\tStrg+F"));
    EXPECT_TRUE(IsFullScreenCaption("&Tela Inteirathen"));
    EXPECT_FALSE(IsFullScreenCaption("Full Screen"));
    EXPECT_FALSE(IsFullScreenCaption(""));
    EXPECT_TRUE(IsViewMenuCaption("&Ansicht"));
    EXPECT_FALSE(IsViewMenuCaption("&Ansicht "));
    EXPECT_FALSE(IsViewMenuCaption("&EXIBIR"));
}

}  // namespace
}  // namespace quindle
