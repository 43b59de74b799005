// Extraction routing against the real Windows file system: a whole session routed into
// a run directory, numbering past a locked projector, and RunDirIdle with a file held
// open by another process.
#include <gtest/gtest.h>
#include <windows.h>

#include "package/ExtractionRouting.h"
#include "package/SessionExtractor.h"
#include "package/win32/Win32ArchiveFiles.h"
#include "package/win32/Win32RunDirFiles.h"
#include "tests/harness/Harness.h"
#include "tests/unit/package_archive_builder.h"

namespace quindle {
namespace {

using testing::ArchiveBuilder;

// A child process (cmd.exe waiting on an idle pipe) that inherits one open file handle,
// so that the file stays open in another process after this one closes its copy.
class FileHolder {
public:
    explicit FileHolder(const std::string& path) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return;
        HANDLE readEnd = nullptr;
        CreatePipe(&readEnd, &pipeWrite_, &inherit, 0);
        SetHandleInformation(pipeWrite_, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = readEnd;
        si.hStdOutput = si.hStdError = GetStdHandle(STD_OUTPUT_HANDLE);
        char command[] = "cmd.exe /q /k";
        if (CreateProcessA(nullptr, command, nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi_)) {
            started_ = true;
        }
        CloseHandle(readEnd);
        CloseHandle(file);
    }
    ~FileHolder() { Release(); }
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;
    bool Started() const { return started_; }
    void Release() {
        if (started_) {
            TerminateProcess(pi_.hProcess, 0);
            WaitForSingleObject(pi_.hProcess, 10000);
            CloseHandle(pi_.hThread);
            CloseHandle(pi_.hProcess);
            started_ = false;
        }
        if (pipeWrite_) CloseHandle(pipeWrite_);
        pipeWrite_ = nullptr;
    }

private:
    PROCESS_INFORMATION pi_{};
    HANDLE pipeWrite_ = nullptr;
    bool started_ = false;
};

class OwnArchive : public TWin32ArchiveFileSystem {
public:
    std::string Path;
    std::string OwnExecutablePath() override { return Path; }
};

class RoutingWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        run_ = dir_.Path() + "Qgl_Rt3\\";
        ASSERT_TRUE(CreateDirectoryA(run_.c_str(), nullptr));
        archive_.Path = dir_.Path() + "Show.exe";
        extractor_.DestinationDir = run_;
    }
    // The runner's main pass into run_.
    TRoutingRecord MainPass(int32_t runNumber = 0) {
        return ExtractRouted(extractor_, files_, TRoutingPass::Main, {runNumber, false});
    }
    void Pack(const std::vector<testing::TestEntry>& entries) {
        ArchiveBuilder builder(4096);
        builder.AddSession("Session1", entries);
        ASSERT_TRUE(harness::WriteFile(archive_.Path, builder.Text()));
    }

    harness::ScratchDir dir_{"qroute"};
    std::string run_;
    OwnArchive archive_;
    TWin32RunDirFiles files_;
    TSessionExtractor extractor_{archive_};
};

TEST_F(RoutingWin32Test, LockedProjectorMovesToTheNextNumber) {
    Pack({{"Presentation.EXE", "new projector"}, {"Hook.dll", "hook"}});
    ASSERT_TRUE(harness::WriteFile(run_ + "presentation3.exe", "old projector"));
    // Open without delete sharing: the file can be neither replaced nor deleted.
    HANDLE held = CreateFileA((run_ + "presentation3.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const TRoutingRecord extracted = MainPass(3);
    CloseHandle(held);
    EXPECT_EQ(extracted.ProjectorStoredName, "presentation.exe");
    EXPECT_EQ(extracted.ProjectorFile, "presentation4.exe");
    EXPECT_EQ(extracted.HookLibFile, "hook3.dll");
    EXPECT_EQ(harness::ReadFile(run_ + "presentation4.exe"), "new projector");
    EXPECT_EQ(harness::ReadFile(run_ + "presentation3.exe"), "old projector");
    EXPECT_EQ(harness::ReadFile(run_ + "hook3.dll"), "hook");
}

TEST_F(RoutingWin32Test, WholeSessionLandsWhereTheRulesSay) {
    Pack({{"Presentation.exe", "p"},
          {"Hook.dll", "h"},
          {"Project.ini", "[Settings]"},
          {"Viewer.QTOOLS.INI", "[Tool]"},
          {"Viewer.exe", "v", "QTOOL.viewer"},
          {"One.avi", "1", "media\\clips"},
          {"Two.avi", "2", "media\\clips"},
          {"Song.mid", "m"},
          {"Movie.swf", "s"}});
    const TRoutingRecord extracted = MainPass();
    EXPECT_EQ(harness::ListDir(run_).size(), 7u)
        << "presentation, hook0, viewer folder, viewer.exe, media, song, movie";
    EXPECT_TRUE(harness::FileExists(run_ + "presentation.exe"));
    EXPECT_EQ(extracted.HookLibFile, "hook0.dll");
    EXPECT_TRUE(harness::FileExists(run_ + "hook0.dll"));
    EXPECT_FALSE(harness::FileExists(run_ + "project.ini"));
    EXPECT_EQ(harness::ReadFile(run_ + "viewer\\qtools.ini"), "[Tool]");
    EXPECT_EQ(harness::ReadFile(run_ + "media\\clips\\two.avi"), "2");
    EXPECT_EQ(extracted.MidiFile, "song.mid");
    EXPECT_EQ(extracted.TagFolders, std::vector<std::string>{"media\\clips"});
    EXPECT_EQ(extracted.ExtractedFiles, (std::vector<std::string>{run_ + "media\\clips\\one.avi",
                                                                  run_ + "media\\clips\\two.avi", run_ + "movie.swf"}));
    EXPECT_EQ(extracted.ToolFolders, std::vector<std::string>{run_ + "viewer\\"});
    EXPECT_EQ(extracted.ToolFolderFiles, std::vector<std::string>{run_ + "viewer\\qtools.ini"});
    ASSERT_EQ(extracted.ToolFiles.size(), 1u);
    EXPECT_EQ(extracted.ToolFiles[0].Path, run_ + "viewer.exe");
    EXPECT_EQ(extracted.ToolFiles[0].Tag, "QTOOL.viewer");
}

TEST_F(RoutingWin32Test, RunDirIsBusyWhileAnotherProcessHoldsAFileBelowIt) {
    const std::string runDir = dir_.Path() + "Qgl_Rt3";
    ForceFolders(files_, run_ + "sub\\deeper\\");
    const std::string held = run_ + "sub\\deeper\\movie.swf";
    ASSERT_TRUE(harness::WriteFile(held, "movie"));
    ASSERT_TRUE(harness::WriteFile(run_ + "free.txt", "x"));
    EXPECT_TRUE(RunDirIdle(files_, runDir));
    FileHolder holder(held);
    ASSERT_TRUE(holder.Started());
    EXPECT_FALSE(files_.FileUnlocked(held));
    EXPECT_FALSE(RunDirIdle(files_, runDir));
    holder.Release();
    EXPECT_TRUE(harness::WaitUntil([&] { return RunDirIdle(files_, runDir); }, 10000));
}

TEST_F(RoutingWin32Test, ForceFoldersAndFileContents) {
    const std::string base = dir_.Path() + "a";
    ASSERT_TRUE(CreateDirectoryA(base.c_str(), nullptr));
    ForceFolders(files_, base + "\\b\\c\\");
    EXPECT_TRUE(harness::DirExists(base + "\\b\\c"));
    ASSERT_TRUE(harness::WriteFile(base + "\\x", std::string("same\0bytes", 10)));
    ASSERT_TRUE(harness::WriteFile(base + "\\y", std::string("same\0bytes", 10)));
    ASSERT_TRUE(harness::WriteFile(base + "\\z", "other"));
    EXPECT_TRUE(SameFileContents(files_, base + "\\x", base + "\\y"));
    EXPECT_FALSE(SameFileContents(files_, base + "\\x", base + "\\z"));
    EXPECT_EQ(files_.LoadFileText(base + "\\missing"), "");
    // A file open for writing by someone else still reads with full sharing.
    HANDLE writer = CreateFileA((base + "\\x").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(files_.LoadFileText(base + "\\x").size(), 10u);
    EXPECT_FALSE(files_.FileUnlocked(base + "\\x"));
    CloseHandle(writer);
    EXPECT_TRUE(files_.FileUnlocked(base + "\\x"));
}

}  // namespace
}  // namespace quindle
