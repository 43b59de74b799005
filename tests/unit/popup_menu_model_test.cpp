#include "window/PopupMenuModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quindle {
namespace {

TEST(PopupMenuModel, ItemsInMenuOrder) {
    struct Case {
        bool close, setup, minimize;
        std::vector<std::pair<uint32_t, std::string>> items;
    };
    const Case cases[] = {
        {true, false, false, {{129, "Close"}}},
        {true, true, true, {{129, "Close"}, {130, "Setup"}, {131, "Minimize"}}},
        {false, true, true, {{130, "Setup"}, {131, "Minimize"}}},
        {false, false, true, {{131, "Minimize"}}},
        {false, false, false, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<uint32_t, std::string>> items;
        for (const TPopupMenuItem& item : PopupMenuItems(c.close, c.setup, c.minimize))
            items.emplace_back(item.Id, item.Text);
        EXPECT_EQ(items, c.items) << c.close << c.setup << c.minimize;
    }
}

TEST(PopupMenuModel, ShownOnlyWhenThereIsOneNotOpenYet) {
    EXPECT_TRUE(MayShowPopupMenu(true, true, false));
    EXPECT_FALSE(MayShowPopupMenu(false, true, false)) << "no menu";
    EXPECT_FALSE(MayShowPopupMenu(true, false, false)) << "no control block";
    EXPECT_FALSE(MayShowPopupMenu(true, true, true)) << "already open";
}

TEST(PopupMenuModel, CommandAcceptance) {
    using C = TPopupCommand;
    struct Case {
        const char* name;
        uintptr_t wParam;
        intptr_t lParam;
        bool projector;
        C command;
    };
    const Case cases[] = {
        {"close", 129, 0, true, C::Close},
        {"setup", 130, 0, true, C::Setup},
        {"minimize", 131, 0, true, C::Minimize},
        {"from a control", 129, 0x1234, true, C::None},
        {"notification code 1 (accelerator)", (1u << 16) | 129, 0, true, C::None},
        {"no projector window yet", 129, 0, false, C::None},
        {"another id", 132, 0, true, C::None},
    };
    for (const Case& c : cases) EXPECT_EQ(AcceptPopupCommand(c.wParam, c.lParam, c.projector), c.command) << c.name;
}

TEST(PopupMenuModel, OutsideActivation) {
    struct Case {
        const char* name;
        bool haveBlock, menuOpen, windowIsRunner, highlighted, runnerForeground;
        bool closeMenu, ncInactive;
    };
    const Case cases[] = {
        {"click elsewhere while open", true, true, false, false, false, true, true},
        {"the runner window itself while open and in front", true, true, true, false, true, false, false},
        {"the runner window, not in front", true, true, true, false, false, false, true},
        {"the user is on the first item", true, true, false, true, false, false, true},
        {"menu closed", true, false, false, false, false, false, true},
        {"menu closed, runner in front, another window", true, false, false, false, true, false, true},
        {"no control block", false, true, false, false, false, false, true},
    };
    for (const Case& c : cases) {
        const TOutsideActivation d =
            DecideOutsideActivation(c.haveBlock, c.menuOpen, c.windowIsRunner, c.highlighted, c.runnerForeground);
        EXPECT_EQ(d.CloseMenu, c.closeMenu) << c.name;
        EXPECT_EQ(d.SendNcInactive, c.ncInactive) << c.name;
    }
}

}  // namespace
}  // namespace quindle
