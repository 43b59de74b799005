// The project settings a presentation carries in its ini file, as the runner holds them.
// Every later subsystem reads these fields.
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

// Each field is named for what it does; the comment gives the ini key it is read from
// (section Settings unless stated). The key table in ProjectKeys.cpp ties the two.
struct TProjectSettings {
    int32_t ProjectorVersion = 0;    // Major in [ProjectorVersion], handed to the hook library
    std::string BeforeShowCommands;  // BeforeShow in [EngineCommands]
    std::string Title;               // "Zantic Screen Name": runner window, message boxes, password dialog
    bool AsksPassword = false;       // Password
    uint32_t PasswordHash = 0;       // AlignmentX: the password's check value; the password is never stored
    std::string PasswordPrompt;      // PWEditLabel
    std::string WrongPasswordText;   // PWrong
    bool HideCursor = false;         // HideCursor
    std::array<int32_t, kRightMenuDeleteItemCount> RemovedMenuItems{};  // [RightMenuDeleteItems]
    int32_t ProjectorWorkingDir = 0;  // CurrentDir: 0 automatic, 1 the run directory, 2 the current one

    TOptionState BlockWindowsKeys;        // DisableW95Key
    TOptionState RaiseWithoutActivating;  // DisableClickForeground: raise requests only move the window
    TOptionState BlockScreenSaver;        // DisableScreenSaver
    TOptionState FullScreen;              // FullScreen
    TOptionState CustomSize;              // CustomSize: StartWidth and StartHeight, not the movie's size
    TOptionState KeepAspectRatio;         // MaintainRatio
    TOptionState Resizable;               // AllowResize
    TOptionState EscapeEndsShow;          // ExitOnESC
    TOptionState AlwaysOnTop;             // AlwaysOnTop
    TOptionState HideCaption;             // NoTitle
    TOptionState HideBorder;              // NoBorder
    TOptionState Draggable;               // Draggable: dragged by its content
    TOptionState MenuHasSetup;            // SetupMenu
    TOptionState MenuHasClose;            // CloseMenu
    TOptionState MenuHasMinimize;         // MinimizeMenu

    // The runner window's rectangle as the author asked for it (Left, Top, Width, Height);
    // the live rectangle is the runner window's own.
    int32_t StartLeft = 0;
    int32_t StartTop = 0;
    int32_t StartWidth = 0;
    int32_t StartHeight = 0;
    // Screen: 0 the primary screen, N the Nth screen the system lists, -1 the one under
    // the pointer at start.
    int32_t ShowScreen = 0;

    int32_t VerticalAlignment = 0;    // AlignmentV
    int32_t HorizontalAlignment = 0;  // AlignmentH
    int32_t MusicLoopCount = 0;       // MidiLoopTimes

    // Checked is the name's sense: on means muted, repeating, interacting.
    TOptionState MidiMuted;         // Midi: 1 off (not even extracted), 0 plays
    TOptionState MusicRepeats;      // MidiLoop
    TOptionState SoundMuted;        // Sound: 0 muted, 1 sound on
    TOptionState MouseInteraction;  // Interaction: off, mouse activity ends the show
    TOptionState RightClickMenu;    // RightClickMenu: the runner's menu on a right click
    TOptionState KeyInteraction;    // KeyInteraction: off, any key ends the show
};

}  // namespace quindle
