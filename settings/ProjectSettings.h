// The project settings a presentation carries in its ini file, as the runner holds them.
// Every later subsystem reads these fields; they are named after their ini keys.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace quindle {

// One on/off option that the author may leave to the user.
struct TOptionState {
    bool Visible = false;  // the ini left it open: the user's registry choice applies
    bool Enabled = false;  // it may be changed (setup dialog: check box enabled)
    bool Checked = false;  // the option's effective value
    int32_t Left = 0;      // setup dialog only: check box position
    int32_t Top = 0;
    uintptr_t Control = 0;  // setup dialog only: the check box window
};

constexpr int kRightMenuDeleteItemCount = 50;

struct TProjectSettings {
    int32_t Major = 0;
    std::string BeforeShow;
    std::string ZanticScreenName;  // "Zantic Screen Name"
    bool Password = false;
    uint32_t AlignmentX = 0;  // stored check value of the presentation password
    std::string PWEditLabel;
    std::string PWrong;
    bool HideCursor = false;
    std::array<int32_t, kRightMenuDeleteItemCount> RightMenuDeleteItems{};
    int32_t CurrentDir = 0;

    TOptionState DisableW95Key;
    TOptionState DisableClickForeground;
    TOptionState DisableScreenSaver;
    TOptionState FullScreen;
    TOptionState CustomSize;
    TOptionState MaintainRatio;
    TOptionState AllowResize;
    TOptionState ExitOnESC;
    TOptionState AlwaysOnTop;
    TOptionState NoTitle;
    TOptionState NoBorder;
    TOptionState Draggable;
    TOptionState SetupMenu;
    TOptionState CloseMenu;
    TOptionState MinimizeMenu;

    // The runner window's rectangle, read from the keys Left, Top, Width and Height.
    int32_t WinLeft = 0;
    int32_t WinTop = 0;
    int32_t WinWidth = 0;
    int32_t WinHeight = 0;

    int32_t AlignmentV = 0;
    int32_t AlignmentH = 0;
    int32_t MidiLoopTimes = 0;

    TOptionState Midi;
    TOptionState MidiLoop;
    TOptionState Sound;
    TOptionState Interaction;
    TOptionState RightClickMenu;
    TOptionState KeyInteraction;
};

}  // namespace quindle
