// The project ini's key table.
#include "settings/ProjectKeys.h"

#include "settings/RegionalFormats.h"

#include <limits>

namespace quindle {
namespace {

using S = TProjectSettings;
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
const char kSettings[] = "Settings";

TProjectKey Number(const char* key, int32_t S::*field, TKeyRecord record, int32_t def, int32_t low, int32_t high,
                   const char* accepted, const char* meaning) {
    return {kSettings, key, TKeyKind::Number, record, field, def, nullptr, low, high, false, false, accepted, meaning};
}

TProjectKey Text(const char* section, const char* key, std::string S::*field, TKeyRecord record, const char* def,
                 const char* meaning) {
    return {section, key, TKeyKind::Text, record, field, 0, def, 1, 0, false, false, "any text", meaning};
}

const char kFlagValues[] = "0 off, 1 on; any other number turns it off";

TProjectKey Flag(const char* key, TOptionState S::*option, int32_t def, const char* meaning) {
    return {kSettings, key,   TKeyKind::Flag, TKeyRecord::Options, option, def, nullptr, 0,
            1,         false, true,           kFlagValues,         meaning};
}

TProjectKey ThreeWay(const char* key, TOptionState S::*option, int32_t def, int32_t high, bool checkedFor0,
                     bool checkedFor1, const char* accepted, const char* meaning) {
    return {kSettings, key,  TKeyKind::ThreeWay, TKeyRecord::Options, option,   def,    nullptr,
            0,         high, checkedFor0,        checkedFor1,         accepted, meaning};
}

constexpr TKeyRecord P = TKeyRecord::Presentation;
constexpr TKeyRecord O = TKeyRecord::Options;

}  // namespace

const std::vector<TProjectKey>& ProjectKeys() {
    static const std::vector<TProjectKey> keys = {
        {"ProjectorVersion", "Major", TKeyKind::Number, P, &S::ProjectorVersion, 4, nullptr, kMin, kMax, false, false,
         "a number, decimal or 0x/$ hexadecimal",
         "version of the projector the session was built with, handed to the hook library (0x50000 for 5.0)"},
        Text("EngineCommands", "BeforeShow", &S::BeforeShowCommands, P, "",
             "commands run before the projector window is shown"),
        Text(kSettings, "Zantic Screen Name", &S::Title, O, nullptr,
             "title of the runner window, its message boxes and the password dialog"),
        {kSettings, "Password", TKeyKind::OnWhenOne, P, &S::AsksPassword, 1, nullptr, 0, 1, false, false,
         "1 asks for the password, any other value does not",
         "a password is asked for before the show starts; a missing key asks for one"},
        {kSettings, "AlignmentX", TKeyKind::Hash, P, &S::PasswordHash, 0, nullptr, 0, 429496728, false, false,
         "the hash quindle-pack hash-password prints (pack --password writes it)",
         "check value of the presentation password; the password itself is never stored"},
        Text(kSettings, "PWEditLabel", &S::PasswordPrompt, P,
             "Please enter password:", "prompt of the password dialog"),
        Text(kSettings, "PWrong", &S::WrongPasswordText, P, "Wrong password!", "message after a wrong password"),
        {kSettings, "HideCursor", TKeyKind::OnWhenSet, P, &S::HideCursor, 0, nullptr, 0, 1, false, false,
         "0 shows the cursor, any other number hides it", "hide the mouse cursor over the presentation"},
        {"RightMenuDeleteItems", "Count", TKeyKind::MenuItems, P, &S::RemovedMenuItems, 0, nullptr, 0,
         kRightMenuDeleteItemCount, false, false,
         "how many of the keys 0, 1, ... of this section to read (at most 50); each holds a menu item identifier",
         "items removed from the projector's right-click menu"},
        Number("CurrentDir", &S::ProjectorWorkingDir, O, 0, 0, 2,
               "0 automatic, 1 the run directory, 2 the runner's current directory",
               "working directory of the projector"),
        Flag("DisableW95Key", &S::BlockWindowsKeys, 1, "block the Windows keys while the show runs"),
        Flag("DisableClickForeground", &S::RaiseWithoutActivating, 0,
             "requests to bring the runner window to the top only move it"),
        Flag("DisableScreenSaver", &S::BlockScreenSaver, 1, "keep the screen saver from starting"),
        Flag("FullScreen", &S::FullScreen, 0, "full-screen presentation"),
        Flag("CustomSize", &S::CustomSize, 0, "use Width and Height instead of the movie's own size"),
        Flag("MaintainRatio", &S::KeepAspectRatio, 1, "keep the aspect ratio while resizing"),
        Flag("AllowResize", &S::Resizable, 1, "the runner window has a sizing frame"),
        Flag("ExitOnESC", &S::EscapeEndsShow, 1, "the Escape key ends the show"),
        Flag("AlwaysOnTop", &S::AlwaysOnTop, 0, "the runner window stays on top"),
        Flag("NoTitle", &S::HideCaption, 0, "runner window without caption"),
        Flag("NoBorder", &S::HideBorder, 0, "runner window without border"),
        Flag("Draggable", &S::Draggable, 0, "the window can be dragged by its content"),
        Flag("SetupMenu", &S::MenuHasSetup, 0, "Setup item in the runner's right-click menu"),
        Flag("CloseMenu", &S::MenuHasClose, 1, "Close item in the runner's right-click menu"),
        Flag("MinimizeMenu", &S::MenuHasMinimize, 0, "Minimize item in the runner's right-click menu"),
        Number("Left", &S::StartLeft, O, 0, kMin, kMax, "pixels", "window position, where the alignment keeps it"),
        Number("Top", &S::StartTop, O, 0, kMin, kMax, "pixels", "window position, where the alignment keeps it"),
        Number("Width", &S::StartWidth, O, 640, 1, kMax, "pixels", "window width (with CustomSize=1)"),
        Number("Height", &S::StartHeight, O, 480, 1, kMax, "pixels", "window height (with CustomSize=1)"),
        Number("AlignmentV", &S::VerticalAlignment, O, 2, 0, 3,
               "0 keeps Top, 1 top edge, 2 centred, 3 bottom edge of the work area",
               "vertical placement of the window"),
        Number("AlignmentH", &S::HorizontalAlignment, O, 2, 0, 3,
               "0 keeps Left, 1 left edge, 2 centred, 3 right edge of the work area",
               "horizontal placement of the window"),
        Number("MidiLoopTimes", &S::MusicLoopCount, O, 0, 0, kMax, "0 without end, else a count",
               "how many times the background MIDI plays when MidiLoop=1"),
        ThreeWay("Midi", &S::MidiMuted, 2, 2, false, true,
                 "0 plays, 1 off (its file is not even extracted), any other number: the user's choice",
                 "background MIDI music"),
        ThreeWay("MidiLoop", &S::MusicRepeats, 0, 1, false, true,
                 "0 plays once, 1 repeats MidiLoopTimes times; any other number plays once",
                 "repeat the background MIDI music"),
        ThreeWay("Sound", &S::SoundMuted, 2, 2, true, false, "0 muted, 1 sound on, any other number: the user's choice",
                 "the presentation's wave sound"),
        ThreeWay("Interaction", &S::MouseInteraction, 2, 2, false, true,
                 "0 mouse activity ends the show, 1 the mouse goes to the movie, any other number: the user's choice",
                 "mouse interaction"),
        ThreeWay("RightClickMenu", &S::RightClickMenu, 2, 2, false, true,
                 "0 no menu, 1 the runner's menu on right-click, any other number: the user's choice",
                 "the runner's right-click menu (only while mouse interaction is on)"),
        ThreeWay("KeyInteraction", &S::KeyInteraction, 2, 2, false, true,
                 "0 any key ends the show, 1 keys go to the movie, any other number: the user's choice",
                 "keyboard interaction"),
        Number(
            "Screen", &S::ShowScreen, O, 0, -1, kMax,
            "0 the primary screen, N the Nth screen in the system's order, -1 the screen under the mouse "
            "pointer at start; a screen that is not there: the primary one",
            "the screen the show appears on: full screen covers it; Left, Top and the alignment place a window on it"),
    };
    return keys;
}

const TProjectKey* FindProjectKey(const std::string& section, const std::string& key) {
    const IRegionalFormats& names = FixedRegionalFormats();
    for (const TProjectKey& k : ProjectKeys())
        if (names.SameText(section, k.Section) && names.SameText(key, k.Key)) return &k;
    return nullptr;
}

const std::vector<TUserChoice>& UserChoices() {
    static const std::vector<TUserChoice> choices = {
        {"Interaction", "MouseExit", true, true, &S::MouseInteraction},
        {"Sound", "Mute", false, false, &S::SoundMuted},
        {"Midi", "MidiMute", false, false, &S::MidiMuted},
        {"RightClickMenu", "DisplayRightClickMenu", false, false, &S::RightClickMenu},
        {"KeyInteraction", "AnyKeyExit", false, true, &S::KeyInteraction},
    };
    return choices;
}

const TUserChoice* UserChoiceFor(const std::string& key) {
    for (const TUserChoice& c : UserChoices())
        if (key == c.Key) return &c;
    return nullptr;
}

}  // namespace quindle
