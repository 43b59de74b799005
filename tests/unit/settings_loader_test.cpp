// LoadProjectSettings end to end on the native side: a real session appended to a stub,
// the real extractor and routing, the ini written to and deleted from the temporary
// folder, the in-memory registry.
#include "runner/SettingsPass.h"
#include "settings/ProjectSettingsLoader.h"

#include "package/ExtractionRouting.h"
#include "package/SessionExtractor.h"
#include "package/posix/PosixArchiveFiles.h"
#include "package/posix/PosixRunDirFiles.h"
#include "package_archive_builder.h"
#include "package_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace quindle {
namespace {

using testing::ArchiveBuilder;
using testing::TestEntry;

class OwnArchive : public TPosixArchiveFileSystem {
public:
    std::string Path;
    std::string OwnExecutablePath() override { return Path; }
};

class Loader : public ::testing::Test {
protected:
    testing::TempDir dir;
    OwnArchive archive;
    TPosixRunDirFiles files;
    TProjectSettings settings;
    TSessionExtractor extractor{archive};
    TMemRegistryStore registry;
    TSettingsSources sources{extractor, files, registry, "/nonexistent-system-temp", "Tour", nullptr};

    void SetUp() override {
        archive.Path = dir / "Tour.exe";
        registry.Values["Zantic Temp Directory"] = {dir.Path()};  // no trailing backslash
        settings.StartWidth = 1024;
        settings.StartHeight = 768;
        // The ini component opens files by their own name; here "\" must become "/".
        sources.OpenIni = [](const std::string& path) { return std::make_unique<TMemIniFile>(PosixPath(path)); };
    }
    void Pack(const std::vector<TestEntry>& entries, const std::string& session = "Session1") {
        ArchiveBuilder builder(4096);
        builder.AddSession(session, entries);
        testing::WriteWholeFile(archive.Path, builder.Text());
    }
    bool InTemp(const std::string& name) { return testing::Exists(dir / name); }
    std::vector<std::string> TempEntries() {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(Loader, ReadsTheIniAndDeletesIt) {
    Pack({{"Presentation.exe", "MZ"},
          {"Project.INI",
           "[Settings]\r\nWidth=800\r\nHeight=600\r\nNoTitle=1\r\nAlwaysOnTop=1\r\n"
           "Zantic Screen Name=Grand Tour\r\nInteraction=1\r\nSound=0\r\n"},
          {"Song.mid", "MThd"}});
    EXPECT_EQ(LoadProjectSettings(sources, settings), "project.ini");
    EXPECT_EQ(settings.StartWidth, 800);
    EXPECT_EQ(settings.StartHeight, 600);
    EXPECT_TRUE(settings.HideCaption.Checked);
    EXPECT_TRUE(settings.AlwaysOnTop.Checked);
    EXPECT_EQ(settings.Title, "Grand Tour");
    EXPECT_FALSE(settings.MouseInteraction.Visible);
    EXPECT_TRUE(settings.MouseInteraction.Checked);
    EXPECT_TRUE(settings.RightClickMenu.Enabled);
    EXPECT_TRUE(settings.SoundMuted.Checked);
    EXPECT_FALSE(InTemp("project.ini"));
    EXPECT_FALSE(InTemp("presentation.exe"));
    EXPECT_FALSE(InTemp("song.mid"));
    EXPECT_EQ(extractor.DestinationDir.rfind(dir.Path() + "\\", 0), 0u) << extractor.DestinationDir;
    EXPECT_EQ(TempEntries(), std::vector<std::string>{"Tour.exe"}) << "the ini's own folder is gone";
}

TEST_F(Loader, LaterIniWinsAndBothAreDeleted) {
    Pack({{"First.ini", "[Settings]\r\nWidth=111\r\n"}, {"Second.ini", "[Settings]\r\nWidth=222\r\n"}});
    LoadProjectSettings(sources, settings);
    EXPECT_EQ(settings.StartWidth, 222);
    EXPECT_EQ(TempEntries(), std::vector<std::string>{"Tour.exe"});
}

// Files and folders that were in the temporary folder before belong to someone else.
TEST_F(Loader, LeavesOthersFilesOfTheSameNamesAlone) {
    Pack({{"Project.ini", "[Settings]\r\nWidth=800\r\n"}});
    testing::WriteWholeFile(dir / "project.ini", "mine");
    std::filesystem::create_directory(dir / "QSettings1");
    testing::WriteWholeFile(dir / "QSettings1/project.ini", "theirs");
    LoadProjectSettings(sources, settings);
    EXPECT_EQ(settings.StartWidth, 800);
    EXPECT_EQ(testing::ReadWholeFile(dir / "project.ini"), "mine");
    EXPECT_EQ(testing::ReadWholeFile(dir / "QSettings1/project.ini"), "theirs");
    EXPECT_EQ(TempEntries(), (std::vector<std::string>{"QSettings1", "Tour.exe", "project.ini"}));
}

// A second runner of the same presentation loads its settings while the first one
// still reads its ini: each reads its own complete copy, neither deletes the other's.
TEST_F(Loader, RunnersLoadingTogetherEachReadTheirOwnCopy) {
    Pack({{"Project.ini", "[Settings]\r\nWidth=800\r\nHeight=600\r\n"}});
    TPosixRunDirFiles secondFiles;
    TProjectSettings second;
    TSessionExtractor secondExtractor{archive};
    TSettingsSources secondSources{secondExtractor, secondFiles,    registry, "/nonexistent-system-temp",
                                   "Tour",          sources.OpenIni};
    const auto openIni = sources.OpenIni;
    std::string firstPath, secondPath;
    sources.OpenIni = [&](const std::string& path) {
        firstPath = path;
        secondSources.OpenIni = [&](const std::string& p) {
            secondPath = p;
            return openIni(p);
        };
        LoadProjectSettings(secondSources, second);
        EXPECT_TRUE(testing::Exists(PosixPath(path))) << "the second runner deleted the first one's ini";
        return openIni(path);
    };
    LoadProjectSettings(sources, settings);
    EXPECT_NE(firstPath, secondPath);
    EXPECT_EQ(settings.StartWidth, 800);
    EXPECT_EQ(second.StartWidth, 800);
    EXPECT_EQ(second.StartHeight, 600);
    EXPECT_EQ(TempEntries(), std::vector<std::string>{"Tour.exe"});
}

// Nothing can be made in a missing temporary folder: no ini is read, nothing is created,
// and the run directory's creation reports the folder later.
TEST_F(Loader, MissingTemporaryFolderReadsNoIni) {
    Pack({{"p.ini", "[Settings]\r\nWidth=800\r\n"}});
    registry.Values["Zantic Temp Directory"] = {dir / "missing"};
    EXPECT_EQ(LoadProjectSettings(sources, settings), "");
    EXPECT_EQ(settings.StartWidth, 1024);
    EXPECT_EQ(TempEntries(), std::vector<std::string>{"Tour.exe"});
}

TEST_F(Loader, NoIniKeepsInitialValuesAndReadsNoRegistryChoice) {
    Pack({{"Presentation.exe", "MZ"}});
    registry.Values["Mute"] = {"1"};
    registry.Values["MouseExit"] = {"0"};
    EXPECT_EQ(LoadProjectSettings(sources, settings), "");
    EXPECT_EQ(settings.StartWidth, 1024);
    EXPECT_EQ(settings.StartHeight, 768);
    EXPECT_FALSE(settings.AsksPassword);
    EXPECT_FALSE(settings.SoundMuted.Visible || settings.SoundMuted.Checked);
    EXPECT_FALSE(settings.MouseInteraction.Checked);
    EXPECT_FALSE(settings.RightClickMenu.Enabled);
}

TEST_F(Loader, OpenOptionsTakeTheUsersChoices) {
    Pack({{"p.ini", "[Settings]\r\nSound=2\r\nInteraction=2\r\nMidi=1\r\n"}});
    registry.Values["Mute"] = {"1"};
    LoadProjectSettings(sources, settings);
    EXPECT_TRUE(settings.SoundMuted.Visible);
    EXPECT_TRUE(settings.SoundMuted.Checked);
    EXPECT_TRUE(settings.MouseInteraction.Visible);
    EXPECT_FALSE(settings.MouseInteraction.Checked) << "no MouseExit: mouse activity ends the presentation";
    EXPECT_FALSE(settings.RightClickMenu.Enabled);
    // Midi=1: the main pass, which the runner gives the loaded flag, never writes the MIDI file.
    EXPECT_TRUE(settings.MidiMuted.Checked);
    TExtractionRouting mainPass(files, TRoutingPass::Main, {0, settings.MidiMuted.Checked});
    std::string name = "Song.MID", target = "C:\\Run\\";
    bool skip = false;
    mainPass.Route("", "C:\\Run\\", name, target, skip);
    EXPECT_TRUE(skip);
}

TEST_F(Loader, MissingSessionStillRunsTheRegistryStep) {
    Pack({{"p.ini", "[Settings]\r\n"}}, "Other");
    settings.SoundMuted.Visible = true;  // as left open by an earlier load
    registry.Values["Mute"] = {"1"};
    try {
        LoadProjectSettings(sources, settings);
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Session not found on extract from " + archive.Path);
    }
    EXPECT_TRUE(settings.SoundMuted.Checked);
}

TEST_F(Loader, FailureWhileReadingDeletesTheIniAndAppliesTheRegistry) {
    Pack({{"p.ini", "[Settings]\r\nSound=2\r\n"}});
    registry.Values["Mute"] = {"1"};
    sources.OpenIni = [](const std::string&) -> std::unique_ptr<TCustomIniFile> {
        throw std::runtime_error("Cannot open file");
    };
    EXPECT_THROW(LoadProjectSettings(sources, settings), std::runtime_error);
    EXPECT_FALSE(InTemp("p.ini"));
    EXPECT_TRUE(settings.SoundMuted.Checked) << "prepared as open, then the registry choice";
}

TEST_F(Loader, RegistryValueOfAnotherTypeIsAnError) {
    Pack({{"p.ini", "[Settings]\r\n"}});
    registry.Values["Mute"] = {"\x01", false};
    try {
        LoadProjectSettings(sources, settings);
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'Mute'");
    }
    EXPECT_FALSE(InTemp("p.ini"));
}

TEST_F(Loader, TheFirstErrorIsTheOneReported) {
    Pack({{"p.ini", "[Settings]\r\n"}}, "Other");
    settings.SoundMuted.Visible = true;
    registry.Values["Mute"] = {"\x01", false};
    try {
        LoadProjectSettings(sources, settings);
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Session not found", 0), 0u) << e.what();
    }
}

}  // namespace
}  // namespace quindle
