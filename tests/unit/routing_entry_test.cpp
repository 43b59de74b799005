// The routing's decisions for every kind of entry, in the main, settings and dry passes.
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
    TExtractionRouting routing{files, TRoutingPass::Main};

    Routed Route(const std::string& tag, const std::string& name, const std::string& dest = kRun) {
        return RouteWith(routing, tag, name, dest);
    }
    static Routed RouteWith(TExtractionRouting& r, const std::string& tag, const std::string& name,
                            const std::string& dest = kRun) {
        Routed got{name, dest, false};
        r.Route(tag, dest, got.fileName, got.dir, got.skip);
        return got;
    }
    const TRoutingRecord& Record() const { return routing.Record(); }
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
        TExtractionRouting r(fresh, TRoutingPass::Main);
        const Routed got = RouteWith(r, c.tag, c.name);
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
    EXPECT_EQ(Record().ProjectorStoredName, "presentation.exe");
    EXPECT_EQ(Record().ProjectorFile, "presentation.exe");
    EXPECT_TRUE(Record().ExtractedFiles.empty());
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
        TExtractionRouting r(fresh, TRoutingPass::Main, {c.runNumber, false});
        const Routed got = RouteWith(r, "", c.name);
        EXPECT_EQ(got.fileName, c.written) << c.name << " run " << c.runNumber;
        const bool dll = got.fileName.find(".dll") != std::string::npos;
        EXPECT_EQ(dll ? r.Record().HookLibFile : r.Record().ProjectorFile, c.written);
        EXPECT_FALSE(fresh.FileExists(kRun + c.written)) << "a deletable file of the chosen name is removed";
    }
}

TEST_F(Routing, MutedMidiIsNeverWritten) {
    TExtractionRouting muted(files, TRoutingPass::Main, {0, true});
    EXPECT_TRUE(RouteWith(muted, "", "Song.mid").skip);
    EXPECT_TRUE(muted.Record().MidiFile.empty());
    EXPECT_FALSE(Route("", "Song.mid").skip);
    Route("", "Other.RMI");
    EXPECT_EQ(Record().MidiFile, "other.rmi");
    EXPECT_TRUE(Record().ExtractedFiles.empty());
}

TEST_F(Routing, ToolConfigurationGetsItsOwnFolder) {
    files.Folders.insert("C:\\Temp\\Qgl_Rt");
    Route("", "Viewer.QTOOLS.INI");
    EXPECT_EQ(Record().ToolFolders, std::vector<std::string>{"C:\\Temp\\Qgl_Rt\\viewer\\"});
    EXPECT_EQ(Record().ToolFolderFiles, std::vector<std::string>{"C:\\Temp\\Qgl_Rt\\viewer\\qtools.ini"});
    EXPECT_EQ(files.Created, (std::vector<std::string>{"C:\\Temp\\Qgl_Rt\\viewer"}));
    Route("", "Viewer.QTOOLS.INI");  // the folder exists now: the error is ignored
    EXPECT_EQ(Record().ToolFolders.size(), 2u);
    EXPECT_EQ(Record().ToolFolderFiles.size(), 2u);
}

TEST_F(Routing, TagFolderIsCreatedOnceAndEveryFileRecorded) {
    files.Folders.insert("C:\\Temp\\Qgl_Rt");
    Route("media\\clips", "One.avi");
    Route("MEDIA\\Clips", "Two.avi");
    Route(".", "Three.avi");
    EXPECT_EQ(Record().TagFolders, (std::vector<std::string>{"media\\clips"}));
    EXPECT_EQ(files.Created, (std::vector<std::string>{"C:\\Temp\\Qgl_Rt\\media", "C:\\Temp\\Qgl_Rt\\media\\clips"}));
    EXPECT_EQ(Record().ExtractedFiles,
              (std::vector<std::string>{"C:\\Temp\\Qgl_Rt\\media\\clips\\one.avi",
                                        "C:\\Temp\\Qgl_Rt\\MEDIA\\Clips\\two.avi", "C:\\Temp\\Qgl_Rt\\three.avi"}));
}

TEST_F(Routing, ToolFilesCarryTheirTag) {
    Route("QTOOL.viewer", "Viewer.EXE", "C:\\Run");
    ASSERT_EQ(Record().ToolFiles.size(), 1u);
    EXPECT_EQ(Record().ToolFiles[0].Path, "C:\\Run\\viewer.exe");
    EXPECT_EQ(Record().ToolFiles[0].Tag, "QTOOL.viewer");
    EXPECT_TRUE(Record().ProjectorFile.empty());
}

TEST_F(Routing, SettingsPassTakesOnlyIniFilesAndTheLastOneWins) {
    TExtractionRouting settingsPass(files, TRoutingPass::Settings);
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
    for (const auto& c : cases) EXPECT_EQ(RouteWith(settingsPass, c.tag, c.name, temp).skip, c.skip) << c.name;
    const TRoutingRecord& found = settingsPass.Record();
    EXPECT_EQ(found.SettingsIniFile, "project.ini");
    EXPECT_TRUE(found.TagFolders.empty());
    EXPECT_TRUE(found.ToolFolders.empty() && found.ToolFolderFiles.empty());
    EXPECT_TRUE(found.ExtractedFiles.empty());
    EXPECT_TRUE(files.Created.empty());
}

TEST_F(Routing, DryPassSkipsAllAndNotesTags) {
    TExtractionRouting dryPass(files, TRoutingPass::Dry);
    EXPECT_TRUE(RouteWith(dryPass, "", "a.exe").skip);
    EXPECT_FALSE(dryPass.Record().HasTaggedEntries);
    EXPECT_TRUE(RouteWith(dryPass, "tag", "b.txt").skip);
    EXPECT_TRUE(dryPass.Record().HasTaggedEntries);
    EXPECT_TRUE(dryPass.Record().ExtractedFiles.empty());
    EXPECT_TRUE(files.Created.empty());
    // The other passes never note tags.
    for (TRoutingPass pass : {TRoutingPass::Settings, TRoutingPass::Main}) {
        TExtractionRouting other(files, pass);
        RouteWith(other, "tag", "b.txt");
        EXPECT_FALSE(other.Record().HasTaggedEntries);
    }
}

// Every pass starts from an empty record: a main pass keeps nothing of an earlier one.
TEST_F(Routing, EachPassRecordsOnlyItsOwnEntries) {
    Route("", "P.exe");
    Route("", "H.dll");
    Route("", "M.mid");
    Route("t", "x");
    Route("QTOOL.t", "y");
    Route("", "T.qtools.ini");
    TExtractionRouting again(files, TRoutingPass::Main);
    const TRoutingRecord& fresh = again.Record();
    EXPECT_TRUE(fresh.ProjectorFile.empty() && fresh.HookLibFile.empty() && fresh.MidiFile.empty());
    EXPECT_TRUE(fresh.ExtractedFiles.empty() && fresh.TagFolders.empty());
    EXPECT_TRUE(fresh.ToolFolders.empty() && fresh.ToolFolderFiles.empty() && fresh.ToolFiles.empty());
    EXPECT_FALSE(Record().ProjectorFile.empty());
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
