// The key table is the loader's own: the loader asks for the keys authors write in their
// order, every row's value lands in the field the row names, and an ini without keys
// gives the documented values.
#include "settings/ProjectKeys.h"
#include "settings/ProjectSettingsLoader.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "recording_ini.h"

namespace quindle {
namespace {

using RecordingIni = testing::KeyRecordingIni;

TProjectSettings Read(const TStringList& lines) {
    RecordingIni ini;
    ini.ParseLines(lines);
    TProjectSettings s;
    ReadProjectKeys(ini, "Tour", s, s);
    return s;
}

// The bound field's value as text, whatever its type.
std::string FieldText(const TProjectSettings& s, const TProjectKey& k) {
    return std::visit(
        [&s](auto field) -> std::string {
            const auto& v = s.*field;
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::string>)
                return v;
            else if constexpr (std::is_same_v<T, TOptionState>)
                return std::to_string(v.Visible) + std::to_string(v.Checked);
            else if constexpr (std::is_same_v<T, std::array<int32_t, kRightMenuDeleteItemCount>>)
                return std::to_string(v[0]);
            else
                return std::to_string(v);
        },
        k.Field);
}

// The keys and their order as authors' ini files have them, written out here rather than
// taken from the table the loader reads through.
TEST(ProjectKeyTable, TheLoaderAsksForTheseKeysInThisOrder) {
    RecordingIni ini;
    ini.ParseLines({"[RightMenuDeleteItems]", "Count=2"});
    TProjectSettings s;
    ReadProjectKeys(ini, "Tour", s, s);
    std::vector<std::string> expected = {
        "ProjectorVersion/Major", "EngineCommands/BeforeShow", "Settings/Zantic Screen Name",
        "Settings/Password",      "Settings/AlignmentX",       "Settings/PWEditLabel",
        "Settings/PWrong",        "Settings/HideCursor",       "RightMenuDeleteItems/Count",
        "RightMenuDeleteItems/0", "RightMenuDeleteItems/1"};
    for (const char* key : {"CurrentDir",
                            "DisableW95Key",
                            "DisableClickForeground",
                            "DisableScreenSaver",
                            "FullScreen",
                            "CustomSize",
                            "MaintainRatio",
                            "AllowResize",
                            "ExitOnESC",
                            "AlwaysOnTop",
                            "NoTitle",
                            "NoBorder",
                            "Draggable",
                            "SetupMenu",
                            "CloseMenu",
                            "MinimizeMenu",
                            "Left",
                            "Top",
                            "Width",
                            "Height",
                            "AlignmentV",
                            "AlignmentH",
                            "MidiLoopTimes",
                            "Midi",
                            "MidiLoop",
                            "Sound",
                            "Interaction",
                            "RightClickMenu",
                            "KeyInteraction"}) {
        expected.push_back(std::string("Settings/") + key);
    }
    EXPECT_EQ(ini.Asked, expected);
}

TEST(ProjectKeyTable, EveryRowsValueLandsInItsField) {
    const TProjectSettings defaults = Read({});
    for (const TProjectKey& k : ProjectKeys()) {
        // A value the row would not give by default.
        const std::string value = k.Kind == TKeyKind::Text ? "written" : k.Default == 1 ? "0" : "1";
        TStringList lines = {"[" + std::string(k.Section) + "]", std::string(k.Key) + "=" + value};
        if (k.Kind == TKeyKind::MenuItems) lines.push_back("0=777");
        const TProjectSettings s = Read(lines);
        EXPECT_NE(FieldText(s, k), FieldText(defaults, k)) << k.Key;
        if (k.Kind == TKeyKind::Text) EXPECT_EQ(FieldText(s, k), "written") << k.Key;
    }
}

// What an ini without any key gives, written out here rather than taken from the table.
TEST(ProjectKeyTable, AnIniWithoutKeysGivesTheseValues) {
    const TProjectSettings s = Read({});
    EXPECT_EQ(s.ProjectorVersion, 4);
    EXPECT_EQ(s.BeforeShowCommands, "");
    EXPECT_EQ(s.Title, "Tour");
    EXPECT_TRUE(s.AsksPassword) << "a missing Password key asks for one";
    EXPECT_EQ(s.PasswordHash, 0u);
    EXPECT_EQ(s.PasswordPrompt, "Please enter password:");
    EXPECT_EQ(s.WrongPasswordText, "Wrong password!");
    EXPECT_FALSE(s.HideCursor);
    EXPECT_EQ(s.RemovedMenuItems, (std::array<int32_t, kRightMenuDeleteItemCount>{}));
    EXPECT_EQ(s.ProjectorWorkingDir, 0);

    const struct {
        const char* key;
        TOptionState TProjectSettings::*option;
        bool checked;
    } flags[] = {
        {"DisableW95Key", &TProjectSettings::BlockWindowsKeys, true},
        {"DisableClickForeground", &TProjectSettings::RaiseWithoutActivating, false},
        {"DisableScreenSaver", &TProjectSettings::BlockScreenSaver, true},
        {"FullScreen", &TProjectSettings::FullScreen, false},
        {"CustomSize", &TProjectSettings::CustomSize, false},
        {"MaintainRatio", &TProjectSettings::KeepAspectRatio, true},
        {"AllowResize", &TProjectSettings::Resizable, true},
        {"ExitOnESC", &TProjectSettings::EscapeEndsShow, true},
        {"AlwaysOnTop", &TProjectSettings::AlwaysOnTop, false},
        {"NoTitle", &TProjectSettings::HideCaption, false},
        {"NoBorder", &TProjectSettings::HideBorder, false},
        {"Draggable", &TProjectSettings::Draggable, false},
        {"SetupMenu", &TProjectSettings::MenuHasSetup, false},
        {"CloseMenu", &TProjectSettings::MenuHasClose, true},
        {"MinimizeMenu", &TProjectSettings::MenuHasMinimize, false},
    };
    for (const auto& f : flags) {
        EXPECT_EQ((s.*f.option).Checked, f.checked) << f.key;
        EXPECT_FALSE((s.*f.option).Visible) << f.key;
    }

    EXPECT_EQ(s.StartLeft, 0);
    EXPECT_EQ(s.StartTop, 0);
    EXPECT_EQ(s.StartWidth, 640);
    EXPECT_EQ(s.StartHeight, 480);
    EXPECT_EQ(s.VerticalAlignment, 2);
    EXPECT_EQ(s.HorizontalAlignment, 2);
    EXPECT_EQ(s.MusicLoopCount, 0);

    // Options left to the user by default show their box and take the registry's value
    // later; MidiLoop is fixed off.
    const struct {
        const char* key;
        TOptionState TProjectSettings::*option;
        bool visible;
    } threeWay[] = {
        {"Midi", &TProjectSettings::MidiMuted, true},
        {"MidiLoop", &TProjectSettings::MusicRepeats, false},
        {"Sound", &TProjectSettings::SoundMuted, true},
        {"Interaction", &TProjectSettings::MouseInteraction, true},
        {"RightClickMenu", &TProjectSettings::RightClickMenu, true},
        {"KeyInteraction", &TProjectSettings::KeyInteraction, true},
    };
    for (const auto& o : threeWay) {
        EXPECT_EQ((s.*o.option).Visible, o.visible) << o.key;
        EXPECT_FALSE((s.*o.option).Checked) << o.key;
    }
}

TEST(ProjectKeyTable, UserChoicesBelongToThreeWayKeys) {
    for (const TUserChoice& c : UserChoices()) {
        const TProjectKey* k = FindProjectKey("settings", c.Key);
        ASSERT_NE(k, nullptr) << c.Key;
        EXPECT_EQ(k->Kind, TKeyKind::ThreeWay) << c.Key;
        EXPECT_EQ(std::get<TOptionState TProjectSettings::*>(k->Field), c.Option) << c.Key;
    }
    EXPECT_EQ(UserChoiceFor("MidiLoop"), nullptr);
    EXPECT_EQ(FindProjectKey("Settings", "Widht"), nullptr);
    EXPECT_NE(FindProjectKey("SETTINGS", "zantic screen name"), nullptr);
}

}  // namespace
}  // namespace quindle
