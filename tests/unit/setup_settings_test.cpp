// Loading the setup dialog's settings from a real session, beside a running one.
#include "runner/SetupSettings.h"

#include "package/posix/PosixArchiveFiles.h"
#include "package/posix/PosixRunDirFiles.h"
#include "package_archive_builder.h"
#include "package_test_support.h"
#include "window/HashPassword.h"

#include <gtest/gtest.h>

namespace quindle {
namespace {

class OwnArchive : public TPosixArchiveFileSystem {
public:
    std::string Path;
    std::string OwnExecutablePath() override { return Path; }
};

TEST(LoadSetupSettings, FillsTheDialogsRecordsAndDeletesTheIni) {
    testing::TempDir dir;
    OwnArchive archive;
    archive.Path = dir / "Tour.exe";
    testing::ArchiveBuilder builder(4096);
    builder.AddSession("Session1", {{"Presentation.exe", "MZ"},
                                    {"Project.ini",
                                     "[Settings]\r\nZantic Screen Name=Grand Tour\r\nPassword=1\r\n"
                                     "AlignmentX=" +
                                         std::to_string(HashPassword("pass")) +
                                         "\r\nPWrong=No!\r\nSound=2\r\nMidi=1\r\nInteraction=2\r\n"
                                         "RightClickMenu=0\r\nKeyInteraction=1\r\nMidiLoopTimes=0\r\n"},
                                    {"Song.mid", "MThd"}});
    testing::WriteWholeFile(archive.Path, builder.Text());
    TPosixRunDirFiles files;
    TMemRegistryStore registry;
    registry.Values["Zantic Temp Directory"] = {dir.Path()};
    registry.Values["Mute"] = {"0x1"};
    registry.Values["MouseExit"] = {"0"};
    const TSetupSettingsSources sources{
        archive,        files,  registry,
        "/nonexistent", "Tour", [](const std::string& path) {
                                           return std::make_unique<TMemIniFile>(PosixPath(path)); }};

    TProjectSettings presentation;
    TProjectSettings options;
    LoadSetupSettings(sources, presentation, options);

    EXPECT_EQ(options.Title, "Grand Tour");
    EXPECT_TRUE(presentation.AsksPassword);
    EXPECT_EQ(presentation.PasswordHash, HashPassword("pass"));
    EXPECT_EQ(presentation.WrongPasswordText, "No!");
    const struct {
        const char* name;
        const TOptionState& option;
        bool visible, enabled, checked;
    } expected[] = {
        {"Sound", options.SoundMuted, true, true, true},  // "0x1" reads as true
        {"Midi", options.MidiMuted, false, true, true},
        {"Interaction", options.MouseInteraction, true, true, true},
        {"RightClickMenu", options.RightClickMenu, false, true, false},
        {"KeyInteraction", options.KeyInteraction, false, true, true},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(e.option.Visible, e.visible) << e.name;
        EXPECT_EQ(e.option.Enabled, e.enabled) << e.name;
        EXPECT_EQ(e.option.Checked, e.checked) << e.name;
    }
    // Left as the loader gives it: only the runner's start turns 0 into endless play.
    EXPECT_EQ(options.MusicLoopCount, 0);
    EXPECT_FALSE(testing::Exists(dir / "project.ini"));
}

}  // namespace
}  // namespace quindle
