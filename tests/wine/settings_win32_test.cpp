// The settings loader with the real registry (HKEY_CURRENT_USER\Software\Nimbrel Soft),
// the Win32 file system and the user's regional formats.
#include <gtest/gtest.h>
#include <windows.h>

#include "package/SessionExtractor.h"
#include "package/win32/Win32ArchiveFiles.h"
#include "package/win32/Win32RunDirFiles.h"
#include "runner/SettingsPass.h"
#include "settings/ProjectSettingsLoader.h"
#include "settings/win32/Win32RegionalFormats.h"
#include "settings/win32/Win32RegistryStore.h"
#include "tests/harness/Harness.h"
#include "tests/unit/package_archive_builder.h"

namespace quindle {
namespace {

using testing::ArchiveBuilder;

const char kSection[] = "QuindleSettingsWineTest";
const std::string kSectionKey = std::string("Software\\Nimbrel Soft\\") + kSection;

class OwnArchive : public TWin32ArchiveFileSystem {
public:
    std::string Path;
    std::string OwnExecutablePath() override { return Path; }
};

class SettingsWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        harness::RegDeleteTree(kSectionKey);
        archive_.Path = dir_.Path() + "Tour.exe";
        temp_ = dir_.Path() + "temp";  // no trailing backslash on purpose
        ASSERT_TRUE(CreateDirectoryA(temp_.c_str(), nullptr));
        ASSERT_TRUE(harness::RegSetString(kSectionKey, "Zantic Temp Directory", temp_));
        settings_.StartWidth = 1024;
        settings_.StartHeight = 768;
    }
    void TearDown() override { harness::RegDeleteTree(kSectionKey); }
    void Pack(const std::vector<testing::TestEntry>& entries) {
        ArchiveBuilder builder(4096);
        builder.AddSession("Session1", entries);
        ASSERT_TRUE(harness::WriteFile(archive_.Path, builder.Text()));
    }
    void Load() { LoadProjectSettings(sources_, settings_); }

    harness::ScratchDir dir_{"qset"};
    std::string temp_;
    OwnArchive archive_;
    TWin32RunDirFiles files_;
    TProjectSettings settings_;
    TSessionExtractor extractor_{archive_};
    TWin32RegistryStore registry_{kSection};
    TSettingsSources sources_{extractor_,
                              files_,
                              registry_,
                              harness::TempPath(),
                              "Tour",
                              [](const std::string& path) {
                                  return std::make_unique<TMemIniFile>(path, SystemRegionalFormats()); }};
};

TEST_F(SettingsWin32Test, SoundLeftOpenFollowsMute) {
    Pack({{"p.ini", "[Settings]\r\nSound=2\r\n"}});
    ASSERT_TRUE(harness::RegSetString(kSectionKey, "Mute", "1"));
    Load();
    EXPECT_TRUE(settings_.SoundMuted.Visible);
    EXPECT_TRUE(settings_.SoundMuted.Checked);
}

TEST_F(SettingsWin32Test, InteractionLeftOpenWithoutMouseExitEndsOnMouse) {
    Pack({{"p.ini", "[Settings]\r\nInteraction=2\r\nRightClickMenu=2\r\n"}});
    ASSERT_TRUE(harness::RegSetString(kSectionKey, "DisplayRightClickMenu", "0x1"));
    Load();
    EXPECT_TRUE(settings_.MouseInteraction.Visible);
    EXPECT_FALSE(settings_.MouseInteraction.Checked);
    EXPECT_FALSE(settings_.RightClickMenu.Enabled);
    EXPECT_TRUE(settings_.RightClickMenu.Checked);
}

TEST_F(SettingsWin32Test, IniGoesBelowTheRegistryTempDirectoryAndLeavesNothing) {
    Pack({{"First.ini", "[Settings]\r\nWidth=111\r\n"},
          {"Project.INI", "[settings]\r\nWidth=800\r\nHEIGHT=600\r\nZantic Screen Name=Grand Tour\r\n"},
          {"Presentation.exe", "MZ"}});
    Load();
    EXPECT_EQ(settings_.StartWidth, 800);
    EXPECT_EQ(settings_.StartHeight, 600);
    EXPECT_EQ(settings_.Title, "Grand Tour");
    EXPECT_EQ(extractor_.DestinationDir.rfind(temp_ + "\\QSettings", 0), 0u)
        << "a folder of its own below the registry's directory: " << extractor_.DestinationDir;
    EXPECT_TRUE(harness::ListDir(temp_ + "\\").empty()) << "the folder goes with every ini the pass wrote";
}

TEST_F(SettingsWin32Test, RegistryValueThatIsNoStringIsAnError) {
    Pack({{"p.ini", "[Settings]\r\n"}});
    ASSERT_TRUE(harness::RegSetDword(kSectionKey, "AnyKeyExit", 1));
    try {
        Load();
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'AnyKeyExit'");
    }
    EXPECT_TRUE(harness::ListDir(temp_ + "\\").empty());
}

TEST_F(SettingsWin32Test, WritesBooleansAsStringsAndReadsThemBack) {
    WriteRegistryBool(registry_, "MidiMute", true);
    EXPECT_EQ(harness::RegGetString(kSectionKey, "MidiMute").value_or("?"), "1");
    EXPECT_TRUE(ReadRegistryBool(registry_, "MidiMute", false));
    TWin32RegistryStore missing("QuindleNoSuchSection");
    EXPECT_TRUE(ReadRegistryBool(missing, "MidiMute", true));
}

TEST_F(SettingsWin32Test, LocaleComparisonIgnoresCase) {
    const IRegionalFormats& regional = SystemRegionalFormats();
    EXPECT_TRUE(regional.SameText("Zantic Screen Name", "ZANTIC screen name"));
    EXPECT_FALSE(regional.SameText("Width", "Width "));
    EXPECT_FALSE(regional.Formats().ShortDateFormat.empty());
    // A date written in the user's format reads back.
    TMemIniFile ini("", regional);
    ini.SetDate("S", "d", 45351);
    EXPECT_EQ(ini.GetDate("S", "d", -1), 45351) << ini.GetText("S", "d", "");
}

}  // namespace
}  // namespace quindle
