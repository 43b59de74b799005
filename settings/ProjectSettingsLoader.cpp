// Reading the project settings from an ini file and the user's registry choices.
// Used by the runner's settings pass and by the setup dialog.
#include "settings/ProjectSettingsLoader.h"

#include "base/Text.h"

namespace quindle {
namespace {

const char kSettings[] = "Settings";

// Flags: 0 and 1 set Checked, anything else leaves it as it was.
struct FlagKey {
    const char* key;
    TOptionState TProjectSettings::*option;
    int32_t def;
};
const FlagKey kFlagKeys[] = {
    {"DisableW95Key", &TProjectSettings::DisableW95Key, 1},
    {"DisableClickForeground", &TProjectSettings::DisableClickForeground, 0},
    {"DisableScreenSaver", &TProjectSettings::DisableScreenSaver, 1},
    {"FullScreen", &TProjectSettings::FullScreen, 0},
    {"CustomSize", &TProjectSettings::CustomSize, 0},
    {"MaintainRatio", &TProjectSettings::MaintainRatio, 1},
    {"AllowResize", &TProjectSettings::AllowResize, 1},
    {"ExitOnESC", &TProjectSettings::ExitOnESC, 1},
    {"AlwaysOnTop", &TProjectSettings::AlwaysOnTop, 0},
    {"NoTitle", &TProjectSettings::NoTitle, 0},
    {"NoBorder", &TProjectSettings::NoBorder, 0},
    {"Draggable", &TProjectSettings::Draggable, 0},
    {"SetupMenu", &TProjectSettings::SetupMenu, 0},
    {"CloseMenu", &TProjectSettings::CloseMenu, 1},
    {"MinimizeMenu", &TProjectSettings::MinimizeMenu, 0},
};

struct NumberKey {
    const char* key;
    int32_t TProjectSettings::*field;
    int32_t def;
};
const NumberKey kWindowKeys[] = {
    {"Left", &TProjectSettings::WinLeft, 0},
    {"Top", &TProjectSettings::WinTop, 0},
    {"Width", &TProjectSettings::WinWidth, 640},
    {"Height", &TProjectSettings::WinHeight, 480},
    {"AlignmentV", &TProjectSettings::AlignmentV, 2},
    {"AlignmentH", &TProjectSettings::AlignmentH, 2},
    {"MidiLoopTimes", &TProjectSettings::MidiLoopTimes, 0},
};

// Three-way options: 0 and 1 fix the option (Checked as given), anything else leaves
// it to the user. Sound and Midi encode in opposite senses.
struct ThreeWayKey {
    const char* key;
    TOptionState TProjectSettings::*option;
    int32_t def;
    bool checkedFor0;
    bool checkedFor1;
};
const ThreeWayKey kThreeWayKeys[] = {
    {"Midi", &TProjectSettings::Midi, 2, false, true},
    {"MidiLoop", &TProjectSettings::MidiLoop, 0, false, true},
    {"Sound", &TProjectSettings::Sound, 2, true, false},
    {"Interaction", &TProjectSettings::Interaction, 2, false, true},
    {"RightClickMenu", &TProjectSettings::RightClickMenu, 2, false, true},
    {"KeyInteraction", &TProjectSettings::KeyInteraction, 2, false, true},
};

struct RegistryChoice {
    TOptionState TProjectSettings::*option;
    const char* value;
    bool def;
    bool inverted;  // the registry stores the "exit" sense of an interaction option
};
const RegistryChoice kRegistryChoices[] = {
    {&TProjectSettings::Interaction, "MouseExit", true, true},
    {&TProjectSettings::Sound, "Mute", false, false},
    {&TProjectSettings::Midi, "MidiMute", false, false},
    {&TProjectSettings::RightClickMenu, "DisplayRightClickMenu", false, false},
    {&TProjectSettings::KeyInteraction, "AnyKeyExit", false, true},
};

void ReadRightMenuDeleteItems(TCustomIniFile& ini, std::array<int32_t, kRightMenuDeleteItemCount>& items) {
    items.fill(0);
    const int32_t count = ini.GetInt("RightMenuDeleteItems", "Count", 0);
    for (int32_t i = 0; i < count && i < kRightMenuDeleteItemCount; ++i) {
        items[i] = ini.GetInt("RightMenuDeleteItems", std::to_string(i), 0);
    }
}

}  // namespace

void PrepareOptionStates(TProjectSettings& options) {
    for (TOptionState* o : {&options.Interaction, &options.Sound, &options.Midi, &options.KeyInteraction}) {
        o->Visible = true;
        o->Enabled = true;
    }
    options.RightClickMenu.Visible = true;
    options.RightClickMenu.Enabled = false;
}

std::string ReadTempBase(IRegistryStore& registry, const std::string& systemTempPath) {
    std::string base;
    if (!registry.ReadString("Zantic Temp Directory", base) || base.empty()) base = systemTempPath;
    return WithTrailingBackslash(base);
}

void ReadProjectKeys(TCustomIniFile& ini, const std::string& exeBaseName, TProjectSettings& presentation,
                     TProjectSettings& options) {
    presentation.Major = ini.GetInt("ProjectorVersion", "Major", 4);
    presentation.BeforeShow = ini.GetText("EngineCommands", "BeforeShow", "");
    options.ZanticScreenName = ini.GetText(kSettings, "Zantic Screen Name", exeBaseName);
    // A missing key means a password is asked for.
    presentation.Password = ini.GetInt(kSettings, "Password", 1) == 1;
    presentation.AlignmentX = static_cast<uint32_t>(ini.GetInt(kSettings, "AlignmentX", 0));
    presentation.PWEditLabel = ini.GetText(kSettings, "PWEditLabel", "Please enter password:");
    presentation.PWrong = ini.GetText(kSettings, "PWrong", "Wrong password!");
    presentation.HideCursor = ini.GetInt(kSettings, "HideCursor", 0) != 0;
    ReadRightMenuDeleteItems(ini, presentation.RightMenuDeleteItems);
    options.CurrentDir = ini.GetInt(kSettings, "CurrentDir", 0);
    for (const FlagKey& k : kFlagKeys) {
        const int32_t value = ini.GetInt(kSettings, k.key, k.def);
        if (value == 0 || value == 1) (options.*k.option).Checked = value == 1;
    }
    for (const NumberKey& k : kWindowKeys) options.*k.field = ini.GetInt(kSettings, k.key, k.def);
    for (const ThreeWayKey& k : kThreeWayKeys) {
        TOptionState& option = options.*k.option;
        const int32_t value = ini.GetInt(kSettings, k.key, k.def);
        if (value == 0 || value == 1) {
            option.Visible = false;
            option.Checked = value == 0 ? k.checkedFor0 : k.checkedFor1;
        } else {
            option.Visible = true;
        }
    }
}

void ApplyRegistryChoices(IRegistryStore& registry, TProjectSettings& options) {
    for (const RegistryChoice& c : kRegistryChoices) {
        TOptionState& option = options.*c.option;
        if (!option.Visible) continue;
        option.Checked = ReadRegistryBool(registry, c.value, c.def) != c.inverted;
    }
}

}  // namespace quindle
