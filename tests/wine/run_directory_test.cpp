// Choosing the run directory under Wine: concurrent runners, leftovers from ended
// sessions, busy folders, the registry's temporary folder and a folder that cannot be made.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/harness/Harness.h"
#include "tests/harness/Presentation.h"

namespace harness {
namespace {

TEST(RunDirectory, SecondRunnerTakesTheNextNumberAndTag) {
    PresentationSpec spec;
    spec.Name = "TwinShow";
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    Program first = show.Start();
    const HWND firstWnd = WaitForShow(first);
    ASSERT_NE(firstWnd, nullptr);
    Program second = show.Start();
    const HWND secondWnd = WaitForShow(second);
    ASSERT_NE(secondWnd, nullptr);
    EXPECT_TRUE(DirExists(show.RunDir(0)));
    EXPECT_TRUE(DirExists(show.RunDir(1)));
    EXPECT_TRUE(MappingExists("NimbrelRunnerMapping_QGL_RT"));
    EXPECT_TRUE(MappingExists("NimbrelRunnerMapping_QGL_RT1"));
    // Each session numbers its own hook library.
    EXPECT_TRUE(FileExists(show.RunDir(0) + "\\zanticrun0.dll"));
    EXPECT_TRUE(FileExists(show.RunDir(1) + "\\zanticrun1.dll"));
    EXPECT_EQ(CloseShow(secondWnd, second), std::optional<DWORD>(0));
    EXPECT_EQ(CloseShow(firstWnd, first), std::optional<DWORD>(0));
    EXPECT_TRUE(WaitUntil([&] { return ListDir(show.Temp()).empty(); }, 5000));
}

// Two presentations, each with its own temporary folder: the second passes over the
// number whose control block the first one holds.
TEST(RunDirectory, RunnersOfDifferentTemporaryFoldersTakeDifferentTags) {
    PresentationSpec firstSpec, secondSpec;
    firstSpec.Name = "TempAShow";
    secondSpec.Name = "TempBShow";
    Presentation firstShow(firstSpec), secondShow(secondSpec);
    ASSERT_TRUE(firstShow.Packed()) << firstShow.PackOutput();
    ASSERT_TRUE(secondShow.Packed()) << secondShow.PackOutput();
    ScratchDir base("qbaseb");
    ASSERT_TRUE(RegSetString("Software\\Nimbrel Soft\\TempBShow", "Zantic Temp Directory", base.Path()));
    Program first = firstShow.Start();
    const HWND firstWnd = WaitForShow(first);
    ASSERT_NE(firstWnd, nullptr);
    Program second = secondShow.Start();
    const HWND secondWnd = WaitForShow(second);
    ASSERT_NE(secondWnd, nullptr);
    EXPECT_TRUE(DirExists(firstShow.RunDir(0)));
    EXPECT_FALSE(DirExists(base.Path() + "Qgl_Rt")) << "the first runner's number was taken again";
    EXPECT_TRUE(FileExists(base.Path() + "Qgl_Rt1\\zanticrun1.dll"));
    EXPECT_TRUE(MappingExists("NimbrelRunnerMapping_QGL_RT"));
    EXPECT_TRUE(MappingExists("NimbrelRunnerMapping_QGL_RT1"));
    const auto firstBlock = ReadControlBlock("_QGL_RT");
    ASSERT_TRUE(firstBlock.has_value());
    EXPECT_EQ(firstBlock->RunnerWnd, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(firstWnd)));
    EXPECT_EQ(CloseShow(secondWnd, second), std::optional<DWORD>(0));
    EXPECT_EQ(CloseShow(firstWnd, first), std::optional<DWORD>(0));
    RegDeleteTree("Software\\Nimbrel Soft\\TempBShow");
    EXPECT_FALSE(DirExists(base.Path() + "Qgl_Rt1"));
}

TEST(RunDirectory, IdleLeftoverIsDeletedAndReused) {
    PresentationSpec spec;
    spec.Name = "LeftoverShow";
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    ASSERT_TRUE(::CreateDirectoryA(show.RunDir(0).c_str(), nullptr));
    ASSERT_TRUE(WriteFile(show.RunDir(0) + "\\stale.txt", "from a crashed session"));
    Program runner = show.Start();
    const HWND window = WaitForShow(runner);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(FileExists(show.RunDir(0) + "\\stale.txt"));
    EXPECT_TRUE(FileExists(show.RunDir(0) + "\\zanticrun0.dll"));
    EXPECT_FALSE(DirExists(show.RunDir(1)));
    EXPECT_EQ(CloseShow(window, runner), std::optional<DWORD>(0));
}

TEST(RunDirectory, BusyLeftoverIsSkipped) {
    PresentationSpec spec;
    spec.Name = "BusyShow";
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    ASSERT_TRUE(::CreateDirectoryA(show.RunDir(0).c_str(), nullptr));
    const std::string held = show.RunDir(0) + "\\held.txt";
    ASSERT_TRUE(WriteFile(held, "in use"));
    HANDLE file = ::CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    Program runner = show.Start();
    const HWND window = WaitForShow(runner);
    EXPECT_NE(window, nullptr);
    EXPECT_TRUE(FileExists(held));
    EXPECT_TRUE(FileExists(show.RunDir(1) + "\\zanticrun1.dll"));
    EXPECT_TRUE(MappingExists("NimbrelRunnerMapping_QGL_RT1"));
    if (window) {
        EXPECT_EQ(CloseShow(window, runner), std::optional<DWORD>(0));
    }
    ::CloseHandle(file);
    EXPECT_FALSE(DirExists(show.RunDir(1)));
}

TEST(RunDirectory, RegistryTemporaryFolderWithoutBackslash) {
    PresentationSpec spec;
    spec.Name = "RegTempShow";
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    ScratchDir base("qbase");
    const std::string withoutBackslash = base.Path().substr(0, base.Path().size() - 1);
    ASSERT_TRUE(RegSetString("Software\\Nimbrel Soft\\RegTempShow", "Zantic Temp Directory", withoutBackslash));
    Program runner = show.Start();
    const HWND window = WaitForShow(runner);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(DirExists(base.Path() + "Qgl_Rt"));
    EXPECT_FALSE(DirExists(show.RunDir(0)));
    EXPECT_EQ(CloseShow(window, runner), std::optional<DWORD>(0));
    EXPECT_FALSE(DirExists(base.Path() + "Qgl_Rt"));
}

TEST(RunDirectory, FolderThatCannotBeMadeIsReportedAndTheRunnerEnds) {
    // Without an ini the settings pass writes nothing, so the folder is first needed
    // for the run directory.
    PresentationSpec spec;
    spec.Name = "NoDirShow";
    spec.Ini.clear();
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    const std::string missing = show.Temp() + "missing\\deeper\\";
    ASSERT_TRUE(RegSetString("Software\\Nimbrel Soft\\NoDirShow", "Zantic Temp Directory", missing));
    Program runner = show.Start();
    const auto box = WaitForDialog(runner.Pid());
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->Caption, "Error");
    EXPECT_EQ(box->Text, "Exception occured: Can't create dir " + missing + "Qgl_Rt");
    EXPECT_TRUE(PressButton(*box, "OK"));
    // The cycle ends although the start handler was left by the error.
    EXPECT_EQ(runner.WaitExit(), std::optional<DWORD>(0));
    EXPECT_EQ(::GlobalFindAtomA("aakq NoDirShow.exe"), 0);
}

}  // namespace
}  // namespace harness
