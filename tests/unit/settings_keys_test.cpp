// The project ini's key table: reading order, kinds, defaults, three-way options and
// the right-click menu table; and the registry choices laid over open options.
#include "settings/ProjectSettingsLoader.h"

#include "recording_ini.h"

#include <gtest/gtest.h>

#include <memory>

namespace quindle {
namespace {

using RecordingIni = testing::KeyRecordingIni;

std::unique_ptr<RecordingIni> Ini(const TStringList& lines) {
    auto ini = std::make_unique<RecordingIni>();
    ini->ParseLines(lines);
    return ini;
}

TEST(ProjectKeys, ReadInTableOrder) {
    auto ini = Ini({"[RightMenuDeleteItems]", "Count=2"});
    TProjectSettings s;
    ReadProjectKeys(*ini, "Tour", s, s);
    const std::vector<std::string> expected = {
        "ProjectorVersion/Major",
        "EngineCommands/BeforeShow",
        "Settings/Zantic Screen Name",
        "Settings/Password",
        "Settings/AlignmentX",
        "Settings/PWEditLabel",
        "Settings/PWrong",
        "Settings/HideCursor",
        "RightMenuDeleteItems/Count",
        "RightMenuDeleteItems/0",
        "RightMenuDeleteItems/1",
        "Settings/CurrentDir",
        "Settings/DisableW95Key",
        "Settings/DisableClickForeground",
        "Settings/DisableScreenSaver",
        "Settings/FullScreen",
        "Settings/CustomSize",
        "Settings/MaintainRatio",
        "Settings/AllowResize",
        "Settings/ExitOnESC",
        "Settings/AlwaysOnTop",
        "Settings/NoTitle",
        "Settings/NoBorder",
        "Settings/Draggable",
        "Settings/SetupMenu",
        "Settings/CloseMenu",
        "Settings/MinimizeMenu",
        "Settings/Left",
        "Settings/Top",
        "Settings/Width",
        "Settings/Height",
        "Settings/AlignmentV",
        "Settings/AlignmentH",
        "Settings/MidiLoopTimes",
        "Settings/Midi",
        "Settings/MidiLoop",
        "Settings/Sound",
        "Settings/Interaction",
        "Settings/RightClickMenu",
        "Settings/KeyInteraction",
    };
    EXPECT_EQ(ini->Asked, expected);
}

TEST(ProjectKeys, DefaultsOfAnEmptyIni) {
    auto ini = Ini({});
    TProjectSettings s;
    ReadProjectKeys(*ini, "Tour", s, s);
    EXPECT_EQ(s.ProjectorVersion, 4);
    EXPECT_EQ(s.BeforeShowCommands, "");
    EXPECT_EQ(s.Title, "Tour");
    EXPECT_TRUE(s.AsksPassword);  // no key: a password is asked for
    EXPECT_EQ(s.PasswordHash, 0u);
    EXPECT_EQ(s.PasswordPrompt, "Please enter password:");
    EXPECT_EQ(s.WrongPasswordText, "Wrong password!");
    EXPECT_FALSE(s.HideCursor);
    EXPECT_EQ(s.ProjectorWorkingDir, 0);
    const struct {
        const char* name;
        const TOptionState& option;
        bool checked;
    } flags[] = {
        {"DisableW95Key", s.BlockWindowsKeys, true},
        {"DisableClickForeground", s.RaiseWithoutActivating, false},
        {"DisableScreenSaver", s.BlockScreenSaver, true},
        {"FullScreen", s.FullScreen, false},
        {"CustomSize", s.CustomSize, false},
        {"MaintainRatio", s.KeepAspectRatio, true},
        {"AllowResize", s.Resizable, true},
        {"ExitOnESC", s.EscapeEndsShow, true},
        {"AlwaysOnTop", s.AlwaysOnTop, false},
        {"NoTitle", s.HideCaption, false},
        {"NoBorder", s.HideBorder, false},
        {"Draggable", s.Draggable, false},
        {"SetupMenu", s.MenuHasSetup, false},
        {"CloseMenu", s.MenuHasClose, true},
        {"MinimizeMenu", s.MenuHasMinimize, false},
    };
    for (const auto& f : flags) EXPECT_EQ(f.option.Checked, f.checked) << f.name;
    EXPECT_EQ(s.StartLeft, 0);
    EXPECT_EQ(s.StartTop, 0);
    EXPECT_EQ(s.StartWidth, 640);
    EXPECT_EQ(s.StartHeight, 480);
    EXPECT_EQ(s.VerticalAlignment, 2);
    EXPECT_EQ(s.HorizontalAlignment, 2);
    EXPECT_EQ(s.MusicLoopCount, 0);
    EXPECT_FALSE(s.MusicRepeats.Visible);  // MidiLoop defaults to 0: fixed, no repeat
    EXPECT_FALSE(s.MusicRepeats.Checked);
    for (const TOptionState* o :
         {&s.MidiMuted, &s.SoundMuted, &s.MouseInteraction, &s.RightClickMenu, &s.KeyInteraction}) {
        EXPECT_TRUE(o->Visible);
    }
}

TEST(ProjectKeys, ValuesAsWritten) {
    auto ini = Ini({"[ProjectorVersion]", "Major=0x50000", "[EngineCommands]", "BeforeShow=start.dll,Go", "[Settings]",
                    "Zantic Screen Name=My Show", "Password=0", "AlignmentX=$FFFFFFFE",
                    "PWEditLabel=Code:", "PWrong=No.", "HideCursor=5", "CurrentDir=2", "Left=-10", "Top=20",
                    "Width=800", "Height=600", "AlignmentV=0", "AlignmentH=1", "MidiLoopTimes=3"});
    TProjectSettings s;
    ReadProjectKeys(*ini, "Tour", s, s);
    EXPECT_EQ(s.ProjectorVersion, 327680);
    EXPECT_EQ(s.BeforeShowCommands, "start.dll,Go");
    EXPECT_EQ(s.Title, "My Show");
    EXPECT_FALSE(s.AsksPassword);
    EXPECT_EQ(s.PasswordHash, 0xFFFFFFFEu);
    EXPECT_EQ(s.PasswordPrompt, "Code:");
    EXPECT_EQ(s.WrongPasswordText, "No.");
    EXPECT_TRUE(s.HideCursor);
    EXPECT_EQ(s.ProjectorWorkingDir, 2);
    EXPECT_EQ(s.StartLeft, -10);
    EXPECT_EQ(s.StartTop, 20);
    EXPECT_EQ(s.StartWidth, 800);
    EXPECT_EQ(s.StartHeight, 600);
    EXPECT_EQ(s.VerticalAlignment, 0);
    EXPECT_EQ(s.HorizontalAlignment, 1);
    EXPECT_EQ(s.MusicLoopCount, 3);
}

TEST(ProjectKeys, PasswordIsOnOnlyForOne) {
    const struct {
        const char* line;
        bool on;
    } cases[] = {
        {"Password=1", true}, {"Password=2", false}, {"Password=-1", false}, {"Password=x", true}, {"X=1", true},
    };
    for (const auto& c : cases) {
        TProjectSettings s;
        ReadProjectKeys(*Ini({"[Settings]", c.line}), "", s, s);
        EXPECT_EQ(s.AsksPassword, c.on) << c.line;
    }
}

TEST(ProjectKeys, FlagOtherThanZeroOrOneKeepsCheckedAsItWas) {
    const struct {
        const char* value;
        bool before;
        bool after;
    } cases[] = {
        {"0", true, false},  {"1", false, true}, {"2", true, true},
        {"2", false, false}, {"-1", true, true}, {"junk", true, false},  // malformed: the default 0
    };
    for (const auto& c : cases) {
        TProjectSettings s;
        s.HideCaption.Checked = c.before;
        ReadProjectKeys(*Ini({"[Settings]", std::string("NoTitle=") + c.value}), "", s, s);
        EXPECT_EQ(s.HideCaption.Checked, c.after) << c.value << " before " << c.before;
    }
}

TEST(ProjectKeys, ThreeWayOptions) {
    const struct {
        const char* key;
        TOptionState TProjectSettings::*option;
        bool checkedFor0, checkedFor1;
    } cases[] = {
        {"Midi", &TProjectSettings::MidiMuted, false, true},
        {"MidiLoop", &TProjectSettings::MusicRepeats, false, true},
        {"Sound", &TProjectSettings::SoundMuted, true, false},
        {"Interaction", &TProjectSettings::MouseInteraction, false, true},
        {"RightClickMenu", &TProjectSettings::RightClickMenu, false, true},
        {"KeyInteraction", &TProjectSettings::KeyInteraction, false, true},
    };
    for (const auto& c : cases) {
        for (int value : {0, 1, 2, 7}) {
            TProjectSettings s;
            (s.*c.option).Checked = true;
            (s.*c.option).Visible = false;
            ReadProjectKeys(*Ini({"[Settings]", std::string(c.key) + "=" + std::to_string(value)}), "", s, s);
            const TOptionState& o = s.*c.option;
            if (value <= 1) {
                EXPECT_FALSE(o.Visible) << c.key << "=" << value;
                EXPECT_EQ(o.Checked, value == 0 ? c.checkedFor0 : c.checkedFor1) << c.key << "=" << value;
            } else {
                EXPECT_TRUE(o.Visible) << c.key << "=" << value;
                EXPECT_TRUE(o.Checked) << c.key << "=" << value << ": unchanged";
            }
        }
    }
}

TEST(ProjectKeys, RightMenuDeleteItemsReadsCountKeysBelowFifty) {
    const struct {
        int count;
        int firstZeroAt;
        int asked;
    } cases[] = {
        {60, 50, 50}, {3, 3, 3}, {0, 0, 0}, {-4, 0, 0}, {50, 50, 50},
    };
    for (const auto& c : cases) {
        TStringList lines = {"[RightMenuDeleteItems]", "Count=" + std::to_string(c.count)};
        for (int i = 0; i < 60; ++i) lines.push_back(std::to_string(i) + "=" + std::to_string(1000 + i));
        auto ini = Ini(lines);
        TProjectSettings s;
        s.RemovedMenuItems.fill(-1);
        ReadProjectKeys(*ini, "", s, s);
        for (int i = 0; i < kRightMenuDeleteItemCount; ++i) {
            EXPECT_EQ(s.RemovedMenuItems[i], i < c.firstZeroAt ? 1000 + i : 0) << "count " << c.count;
        }
        int asked = 0;
        for (const auto& k : ini->Asked) {
            asked += k.rfind("RightMenuDeleteItems/", 0) == 0 && k != "RightMenuDeleteItems/Count";
        }
        EXPECT_EQ(asked, c.asked) << "count " << c.count;
    }
}

TEST(ProjectKeys, OptionsAndPresentationGoToTheirOwnRecords) {
    auto ini = Ini({"[Settings]", "Width=800", "Password=0", "MidiLoopTimes=4", "Zantic Screen Name=S"});
    TProjectSettings presentation, options;
    presentation.MusicLoopCount = 9;
    options.AsksPassword = true;
    ReadProjectKeys(*ini, "", presentation, options);
    EXPECT_EQ(options.StartWidth, 800);
    EXPECT_EQ(options.MusicLoopCount, 4);
    EXPECT_EQ(options.Title, "S");
    EXPECT_FALSE(presentation.AsksPassword);
    EXPECT_EQ(presentation.MusicLoopCount, 9);
    EXPECT_EQ(presentation.StartWidth, 0);
    EXPECT_TRUE(options.AsksPassword) << "untouched";
}

TEST(RegistryChoices, OnlyOpenOptionsFollowTheRegistry) {
    const struct {
        TOptionState TProjectSettings::*option;
        const char* value;
        bool whenAbsent, whenZero, whenOne;
    } cases[] = {
        {&TProjectSettings::MouseInteraction, "MouseExit", false, true, false},
        {&TProjectSettings::SoundMuted, "Mute", false, false, true},
        {&TProjectSettings::MidiMuted, "MidiMute", false, false, true},
        {&TProjectSettings::RightClickMenu, "DisplayRightClickMenu", false, false, true},
        {&TProjectSettings::KeyInteraction, "AnyKeyExit", true, true, false},
    };
    for (const auto& c : cases) {
        const struct {
            const char* text;
            bool present;
            bool expected;
        } stored[] = {
            {"", false, c.whenAbsent}, {"0", true, c.whenZero}, {"1", true, c.whenOne},
            {"0x1", true, c.whenOne},  {"7", true, c.whenOne},
        };
        for (const auto& v : stored) {
            TMemRegistryStore registry;
            if (v.present) registry.Values[c.value] = {v.text};
            TProjectSettings open, fixed;
            (open.*c.option).Visible = true;
            (open.*c.option).Checked = !v.expected;
            (fixed.*c.option).Checked = !v.expected;
            ApplyRegistryChoices(registry, open);
            ApplyRegistryChoices(registry, fixed);
            EXPECT_EQ((open.*c.option).Checked, v.expected) << c.value << "=" << v.text;
            EXPECT_EQ((fixed.*c.option).Checked, !v.expected) << c.value << " not read when fixed";
        }
    }
    // MidiLoop has no registry value.
    TMemRegistryStore registry;
    TProjectSettings s;
    s.MusicRepeats.Visible = true;
    ApplyRegistryChoices(registry, s);
    EXPECT_FALSE(s.MusicRepeats.Checked);
}

TEST(RegistryText, DecimalOrHexText) {
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"0", 0}, {"1", 1}, {"-3", -3}, {"0x10", 16}, {"0XfF", 255}, {"$10", 7}, {"", 7}, {"yes", 7}, {"1 ", 7},
    };
    for (const auto& c : cases) {
        TMemRegistryStore registry;
        registry.Values["V"] = {c.text};
        EXPECT_EQ(ReadRegistryInt(registry, "V", 7), c.value) << c.text;
    }
    TMemRegistryStore absent;
    absent.SectionExists = false;
    absent.Values["V"] = {"1"};
    EXPECT_EQ(ReadRegistryInt(absent, "V", 7), 7);
    TMemRegistryStore typed;
    typed.Values["Mute"] = {"\x01\x00\x00\x00", false};
    try {
        ReadRegistryBool(typed, "Mute", false);
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'Mute'");
    }
    WriteRegistryBool(typed, "MUTE", true);
    EXPECT_TRUE(ReadRegistryBool(typed, "mute", false));
    EXPECT_EQ(typed.Values.size(), 1u);
}

TEST(TempBase, RegistryValueOrSystemPathWithBackslash) {
    const struct {
        const char* value;
        bool present;
        const char* system;
        const char* base;
    } cases[] = {
        {"C:\\Temp", true, "C:\\Sys\\", "C:\\Temp\\"}, {"C:\\Temp\\", true, "C:\\Sys\\", "C:\\Temp\\"},
        {"", false, "C:\\Sys\\", "C:\\Sys\\"},         {"", true, "C:\\Sys\\", "C:\\Sys\\"},
        {"", false, "C:\\Sys", "C:\\Sys\\"},
    };
    for (const auto& c : cases) {
        TMemRegistryStore registry;
        if (c.present) registry.Values["Zantic Temp Directory"] = {c.value};
        EXPECT_EQ(ReadTempBase(registry, c.system), c.base) << c.value;
    }
}

}  // namespace
}  // namespace quindle
