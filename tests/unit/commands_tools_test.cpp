// Tool-folder preparation and the start-up command's parsing, against an in-memory
// run directory.
#include "commands/StartupCommand.h"
#include "commands/ToolFolders.h"
#include "error_text.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace quindle {
namespace {

const std::string kRun = "C:\\Temp\\Qgl_Rt\\";

class FakeToolFiles : public IToolFolderFiles {
public:
    std::map<std::string, std::string> Files;
    std::vector<std::string> Copies;  // "from -> to"

    bool ReadFile(const std::string& path, std::string& bytes) override {
        auto it = Files.find(path);
        if (it == Files.end()) return false;
        bytes = it->second;
        return true;
    }
    void CopyOver(const std::string& from, const std::string& to) override {
        Copies.push_back(from + " -> " + to);
        auto it = Files.find(from);
        if (it != Files.end()) Files[to] = it->second;
    }
    std::string UpperCase(const std::string& text) override {
        std::string upper = text;
        for (char& c : upper)
            if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        return upper;
    }
};

class ToolFolderTest : public ::testing::Test {
protected:
    FakeToolFiles files;
    std::vector<std::string> folders;
    std::vector<std::string> folderFiles;
    std::vector<TToolFile> toolFiles;

    void AddTool(const std::string& folder, const std::string& iniText) {
        folders.push_back(kRun + folder + "\\");
        folderFiles.push_back(kRun + folder + "\\qtools.ini");
        files.Files[kRun + folder + "\\qtools.ini"] = iniText;
    }
    void AddToolFile(const std::string& name, const std::string& tag) {
        toolFiles.push_back({kRun + name, tag});
        files.Files[kRun + name] = name;
    }
    void Prepare() { PrepareToolFolders(files, kRun, folders, folderFiles, toolFiles); }
    std::string ErrorOf(const std::function<void()>& action) { return testing::ErrorOf<std::runtime_error>(action); }
};

TEST_F(ToolFolderTest, ProgramAndItsSatellitesAreCopiedAndRecorded) {
    AddTool("viewer", "[VIEW]\r\nignored=1\r\n");
    AddToolFile("qview.exe", "QTOOL.PROGRAM");
    AddToolFile("view.hlp", "QTOOL.SATELLITE:QVIEW.EXE");
    AddToolFile("other.dat", "QTOOL.SATELLITE:QOTHER.EXE");
    AddToolFile("lower.dat", "QTOOL.SATELLITE:qview.exe");
    AddToolFile("view.cnt", "QTOOL.SATELLITE:QVIEW.EXE");
    Prepare();
    EXPECT_EQ(files.Copies, (std::vector<std::string>{kRun + "QVIEW.EXE -> " + kRun + "viewer\\QVIEW.EXE",
                                                      kRun + "view.hlp -> " + kRun + "viewer\\view.hlp",
                                                      kRun + "view.cnt -> " + kRun + "viewer\\view.cnt"}));
    EXPECT_EQ(folders, std::vector<std::string>{kRun + "viewer\\"});
    EXPECT_EQ(folderFiles, (std::vector<std::string>{kRun + "viewer\\qtools.ini", kRun + "viewer\\QVIEW.EXE",
                                                     kRun + "viewer\\view.hlp", kRun + "viewer\\view.cnt"}));
}

TEST_F(ToolFolderTest, FoldersAreVisitedLastToFirstAndEachGetsItsOwnCopies) {
    AddTool("first", "[VIEW]");
    AddTool("second", "[view]\n");
    AddToolFile("view.hlp", "QTOOL.SATELLITE:QVIEW.EXE");
    Prepare();
    // The lower-case name gives Qview.EXE, whose satellites are tagged in capitals.
    EXPECT_EQ(folders, (std::vector<std::string>{kRun + "first\\", kRun + "second\\"}));
    EXPECT_EQ(folderFiles, (std::vector<std::string>{kRun + "first\\qtools.ini", kRun + "second\\qtools.ini",
                                                     kRun + "second\\Qview.EXE", kRun + "second\\view.hlp",
                                                     kRun + "first\\QVIEW.EXE", kRun + "first\\view.hlp"}));
}

TEST_F(ToolFolderTest, OnlyABracketedNameMakesATool) {
    for (const char* line : {"[]", "VIEW", "[VIEW", "VIEW]", " [VIEW]", "[VIEW] ", "", "x"}) {
        FakeToolFiles fresh;
        const std::vector<std::string> oneFolder{kRun + "t\\"};
        std::vector<std::string> inFolder{kRun + "t\\qtools.ini"};
        fresh.Files[kRun + "t\\qtools.ini"] = std::string(line) + "\r\n[SECOND]\r\n";
        PrepareToolFolders(fresh, kRun, oneFolder, inFolder, toolFiles);
        EXPECT_TRUE(fresh.Copies.empty()) << line;
        EXPECT_EQ(inFolder.size(), 1u) << line;
    }
    EXPECT_EQ(ToolNameOfLine("[V]"), "V");
}

TEST_F(ToolFolderTest, MissingOrEmptyConfigurationRaisesTheStringListErrors) {
    AddTool("empty", "");
    AddTool("fine", "[VIEW]");
    EXPECT_EQ(ErrorOf([&] { Prepare(); }), "List index out of bounds (0)");
    // The folder visited before the error keeps its copy on record.
    EXPECT_EQ(folderFiles.size(), 3u);
    EXPECT_EQ(folderFiles.back(), kRun + "fine\\QVIEW.EXE");

    folders.clear();
    folderFiles.clear();
    AddTool("gone", "[VIEW]");
    files.Files.erase(kRun + "gone\\qtools.ini");
    EXPECT_EQ(ErrorOf([&] { Prepare(); }), "Cannot open file " + kRun + "gone\\qtools.ini");
}

TEST_F(ToolFolderTest, AFailedCopyIsStillRecordedForRemoval) {
    AddTool("viewer", "[VIEW]");
    Prepare();  // QVIEW.EXE is not in the run directory
    EXPECT_EQ(files.Files.count(kRun + "viewer\\QVIEW.EXE"), 0u);
    EXPECT_EQ(folderFiles.back(), kRun + "viewer\\QVIEW.EXE");
}

TEST(StartupCommand, ParsingTable) {
    const struct {
        const char* text;
        TStartupKind kind;
        const char* path;
        const char* arguments;
    } cases[] = {
        {"tool.dll a b", TStartupKind::Library, "tool.dll", "a b"},
        {"TOOL.DLL", TStartupKind::Library, "TOOL.DLL", ""},
        {"Setup.Exe  two  blanks ", TStartupKind::Program, "Setup.Exe", " two  blanks "},
        {"run.exe", TStartupKind::Program, "run.exe", ""},
        {"notes.txt x", TStartupKind::None, "notes.txt", "x"},
        {"noext", TStartupKind::None, "noext", ""},
        {"sub.dll\\x", TStartupKind::None, "sub.dll\\x", ""},
        {" tool.dll", TStartupKind::None, "", ""},
        {"", TStartupKind::None, "", ""},
    };
    for (const auto& c : cases) {
        const TStartupCommand got = ParseStartupCommand(c.text, kRun);
        EXPECT_EQ(got.Kind, c.kind) << c.text;
        if (*c.path) EXPECT_EQ(got.Path, kRun + c.path) << c.text;
        if (c.kind != TStartupKind::None) EXPECT_EQ(got.Arguments, c.arguments) << c.text;
    }
}

TEST(StartupCommand, ExportTextEndsInTwoNulsAndTheCommandLineInABlank) {
    TStartupCommand library = ParseStartupCommand("tool.dll -x y", kRun);
    EXPECT_EQ(ExportArgumentText(library), std::string("-x y\0\0", 6));
    TStartupCommand program = ParseStartupCommand("run.exe", kRun);
    EXPECT_EQ(ExportArgumentText(program), std::string("\0\0", 2));
    EXPECT_EQ(ProgramCommandLine(program), kRun + "run.exe ");
}

}  // namespace
}  // namespace quindle
