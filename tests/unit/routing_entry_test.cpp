// RouteEntry's decisions for every kind of entry, in the main, settings and dry passes.
#include "package/ExtractionRouting.h"

#include "FakeRunDirFiles.h"

#include <gtest/gtest.h>

namespace quindle {
namespace {

const std::string kRun = "C:\\Temp\\Qgl_Rt\\";

struct Routed {
    std::string fileName, dir;
    bool skip;
};

class Routing : public ::testing::Test {
protected:
    FakeRunDirFiles files;
    bool midiMuted = false;
    TExtractionRouting routing{files, midiMuted};

    Routed Route(const std::string& tag, const std::string& name, const std::string& dest = kRun) {
        Routed r{name, dest, false};
        routing.Route(tag, dest, r.fileName, r.dir, r.skip);
        return r;
    }
};

TEST_F(Routing, MainPassPlacementTable) {
    const struct {
        const char* tag;
        const char* name;
        const char* fileName;
        const char* dir;
        bool skip;
    } cases[] = {
        {"", "Presentation.EXE", "presentation.exe", "C:\\Temp\\Qgl_Rt\\", false},
        {"", "Hook.dll", "hook0.dll", "C:\\Temp\\Qgl_Rt\\", false},
        {"", "Movie.SWF", "movie.swf", "C:\\Temp\\Qgl_Rt\\", false},
        {"", "README", "readme", "C:\\Temp\\Qgl_Rt\\", false},
        {"", "Music.MID", "music.mid", "C:\\Temp\\Qgl_Rt\\", false},
        {"", "Music.rmi", "music.rmi", "C:\\Temp\\Qgl_Rt\\", false},
        {"", "Project.ini", "project.ini", "C:\\Temp\\Qgl_Rt\\", true},
        {"QTOOL.view", "Other.INI", "other.ini", "C:\\Temp\\Qgl_Rt\\", true},
        {"", "Viewer.QTOOLS.INI", "qtools.ini", "C:\\Temp\\Qgl_Rt\\viewer", false},
        {"QTOOL.viewer", "Viewer.qtools.ini", "qtools.ini", "C:\\Temp\\Qgl_Rt\\viewer", false},
        {"", ".qtools.ini", ".qtools.ini", "C:\\Temp\\Qgl_Rt\\", true},
        {"QTOOL.viewer", "Viewer.EXE", "viewer.exe", "C:\\Temp\\Qgl_Rt\\", false},
        {".", "Intro.EXE", "intro.exe", "C:\\Temp\\Qgl_Rt\\", false},
        {"media\\clips", "A.MPG", "a.mpg", "C:\\Temp\\Qgl_Rt\\media\\clips\\", false},
        {"docs", "Setup.ini", "setup.ini", "C:\\Temp\\Qgl_Rt\\docs\\", false},
        {"docs\\", "b.txt", "b.txt", "C:\\Temp\\Qgl_Rt\\docs\\", false},
    };
    for (const auto& c : cases) {
        FakeRunDirFiles fresh;
        const bool noMidiMute = false;
        TExtractionRouting r(fresh, noMidiMute);
        Routed got{c.name, kRun, false};
        r.Route(c.tag, kRun, got.fileName, got.dir, got.skip);
        EXPECT_EQ(got.fileName, c.fileName) << c.tag << " " << c.name;
        EXPECT_EQ(got.dir, c.dir) << c.tag << " " << c.name;
        EXPECT_EQ(got.skip, c.skip) << c.tag << " " << c.name;
    }
}

// In a double-byte code page only whole ASCII letters are lowered: a trail byte among
// "A" to "Z" is part of its character (ア is 83 41 in code page 932, ャ is 83 61), and
// the file must be written under the name the presentation refers to.
TEST_F(Routing, LowerCasingKeepsTrailBytesOfDoubleByteNames) {
    files.LeadLow = 0x81;
    files.LeadHigh = 0x9F;
    const struct {
        const char* name;
        const char* fileName;
    } cases[] = {
        {"\x83\x41\x83\x6a\x83\x81.SWF", "\x83\x41\x83\x6a\x83\x81.swf"},  // アニメ.SWF
        {"\x83\x41Intro.DIR", "\x83\x41intro.dir"},                        // アIntro.DIR
        {"\x83\x81\x83\x5A.TXT", "\x83\x81\x83\x5A.txt"},                  // trail 5A is a "Z"
        {"ABC\x83", "abc\x83"},                                            // a lone lead byte at the end
    };
    for (const auto& c : cases) EXPECT_EQ(Route("", c.name).fileName, c.fileName) << c.name;
}

TEST_F(Routing, ProjectorIsRecordedUnderItsStoredAndWrittenNames) {
    Route("", "Presentation.EXE");
    EXPECT_EQ(routing.ProjectorStoredName, "presentation.exe");
    EXPECT_EQ(routing.ProjectorFile, "presentation.exe");
    EXPECT_TRUE(routing.ExtractedFiles.empty());
}

TEST_F(Routing, NumberedNamesStepPastLockedFilesAwayFromZero) {
    const struct {
        int32_t runNumber;
        const char* name;
        std::vector<std::string> locked;  // in the run directory
        std::vector<std::string> unlocked;
        const char* written;
    } cases[] = {
        {3, "Presentation.EXE", {"presentation3.exe"}, {}, "presentation4.exe"},
        {3, "Presentation.EXE", {}, {"presentation3.exe"}, "presentation3.exe"},
        {0, "Presentation.exe", {"presentation.exe"}, {}, "presentation1.exe"},
        {0, "Presentation.exe", {"presentation.exe", "presentation1.exe"}, {}, "presentation2.exe"},
        {-1, "p.exe", {"p-1.exe"}, {}, "p-2.exe"},
        {0, "Hook.dll", {}, {}, "hook0.dll"},
        {0, "Hook.dll", {"hook0.dll"}, {"hook1.dll"}, "hook1.dll"},
        {5, "Hook.DLL", {"hook5.dll", "hook6.dll"}, {}, "hook7.dll"},
    };
    for (const auto& c : cases) {
        FakeRunDirFiles fresh;
        for (const auto& f : c.locked) fresh.FileTable[kRun + f].Locked = true;
        for (const auto& f : c.unlocked) fresh.FileTable[kRun + f];
        const bool noMidiMute = false;
        TExtractionRouting r(fresh, noMidiMute);
        r.RunNumber = c.runNumber;
        Routed got{c.name, kRun, false};
        r.Route("", kRun, got.fileName, got.dir, got.skip);
        EXPECT_EQ(got.fileName, c.written) << c.name << " run " << c.runNumber;
        const bool dll = got.fileName.find(".dll") != std::string::npos;
        EXPECT_EQ(dll ? r.HookLibFile : r.ProjectorFile, c.written);
        EXPECT_FALSE(fresh.FileExists(kRun + c.written)) << "a deletable file of the chosen name is removed";
    }
}

TEST_F(Routing, MutedMidiIsNeverWritten) {
    midiMuted = true;
    EXPECT_TRUE(Route("", "Song.mid").skip);
    EXPECT_TRUE(routing.MidiFile.empty());
    midiMuted = false;
    EXPECT_FALSE(Route("", "Song.mid").skip);
    Route("", "Other.RMI");
    EXPECT_EQ(routing.MidiFile, "other.rmi");
    EXPECT_TRUE(routing.ExtractedFiles.empty());
}

TEST_F(Routing, ToolConfigurationGetsItsOwnFolder) {
    files.Folders.insert("C:\\Temp\\Qgl_Rt");
    Route("", "Viewer.QTOOLS.INI");
    EXPECT_EQ(routing.ToolConfigPaths,
              (std::vector<std::string>{"C:\\Temp\\Qgl_Rt\\viewer\\", "C:\\Temp\\Qgl_Rt\\viewer\\qtools.ini"}));
    EXPECT_EQ(files.Created, (std::vector<std::string>{"C:\\Temp\\Qgl_Rt\\viewer"}));
    Route("", "Viewer.QTOOLS.INI");  // the folder exists now: the error is ignored
    EXPECT_EQ(routing.ToolConfigPaths.size(), 4u);
}

TEST_F(Routing, TagFolderIsCreatedOnceAndEveryFileRecorded) {
    files.Folders.insert("C:\\Temp\\Qgl_Rt");
    Route("media\\clips", "One.avi");
    Route("MEDIA\\Clips", "Two.avi");
    Route(".", "Three.avi");
    EXPECT_EQ(routing.TagFolders, (std::vector<std::string>{"media\\clips"}));
    EXPECT_EQ(files.Created, (std::vector<std::string>{"C:\\Temp\\Qgl_Rt\\media", "C:\\Temp\\Qgl_Rt\\media\\clips"}));
    EXPECT_EQ(routing.ExtractedFiles,
              (std::vector<std::string>{"C:\\Temp\\Qgl_Rt\\media\\clips\\one.avi",
                                        "C:\\Temp\\Qgl_Rt\\MEDIA\\Clips\\two.avi", "C:\\Temp\\Qgl_Rt\\three.avi"}));
}

TEST_F(Routing, ToolFilesCarryTheirTag) {
    Route("QTOOL.viewer", "Viewer.EXE", "C:\\Run");
    ASSERT_EQ(routing.ToolFiles.size(), 1u);
    EXPECT_EQ(routing.ToolFiles[0].Path, "C:\\Run\\viewer.exe");
    EXPECT_EQ(routing.ToolFiles[0].Tag, "QTOOL.viewer");
    EXPECT_TRUE(routing.ProjectorFile.empty());
}

TEST_F(Routing, SettingsPassTakesOnlyIniFilesAndTheLastOneWins) {
    routing.SettingsPass = true;
    const std::string temp = "C:\\Temp\\";
    const struct {
        const char* tag;
        const char* name;
        bool skip;
    } cases[] = {
        {"", "First.INI", false},        {"some\\tag", "Tagged.ini", false},
        {"", "Viewer.qtools.ini", true}, {"", "Presentation.exe", true},
        {"", "Hook.dll", true},          {"QTOOL.x", "x.ini", false},
        {"", "Song.mid", true},          {"", "Project.ini", false},
    };
    for (const auto& c : cases) EXPECT_EQ(Route(c.tag, c.name, temp).skip, c.skip) << c.name;
    EXPECT_EQ(routing.SettingsIniFile, "project.ini");
    EXPECT_TRUE(routing.TagFolders.empty());
    EXPECT_TRUE(routing.ToolConfigPaths.empty());
    EXPECT_TRUE(routing.ExtractedFiles.empty());
    EXPECT_TRUE(files.Created.empty());
}

TEST_F(Routing, DryPassSkipsAllAndNotesTags) {
    routing.DryPass = true;
    EXPECT_TRUE(Route("", "a.exe").skip);
    EXPECT_FALSE(routing.HasTaggedEntries);
    routing.SettingsPass = true;
    EXPECT_TRUE(Route("tag", "b.txt").skip);
    EXPECT_FALSE(routing.HasTaggedEntries);
    routing.SettingsPass = false;
    EXPECT_TRUE(Route("tag", "b.txt").skip);
    EXPECT_TRUE(routing.HasTaggedEntries);
    EXPECT_TRUE(routing.ExtractedFiles.empty());
}

TEST_F(Routing, ClearMainPassResultsKeepsStoredNameAndSettingsIni) {
    routing.SettingsIniFile = "p.ini";
    Route("", "P.exe");
    Route("", "H.dll");
    Route("", "M.mid");
    Route("t", "x");
    Route("QTOOL.t", "y");
    Route("", "T.qtools.ini");
    routing.ClearMainPassResults();
    EXPECT_TRUE(routing.ProjectorFile.empty() && routing.HookLibFile.empty() && routing.MidiFile.empty());
    EXPECT_TRUE(routing.ExtractedFiles.empty() && routing.TagFolders.empty());
    EXPECT_TRUE(routing.ToolConfigPaths.empty() && routing.ToolFiles.empty());
    EXPECT_EQ(routing.ProjectorStoredName, "p.exe");
    EXPECT_EQ(routing.SettingsIniFile, "p.ini");
}

TEST(EntryExtension, LastDotUnlessASeparatorFollows) {
    const struct {
        const char* name;
        const char* ext;
    } cases[] = {
        {"a.exe", ".exe"}, {"a.b.ini", ".ini"}, {"noext", ""},    {"dir.x\\file", ""},
        {"c:file", ""},    {"a.", "."},         {".ini", ".ini"},
    };
    for (const auto& c : cases) EXPECT_EQ(EntryExtension(c.name), c.ext) << c.name;
}

}  // namespace
}  // namespace quindle
