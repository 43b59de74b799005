// The temporary folder on a small file system that fills up while the run directory is
// filled: the extractor's write error is reported, the clean-up removes the whole run
// directory, every byte of the file system comes back and the user's files there stay.
// tests/wine/full_disk.sh mounts such a file system (a small tmpfs, as root) and names
// it in QUINDLE_SMALL_DISK; without it the test is skipped.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/harness/Harness.h"
#include "tests/harness/Presentation.h"

namespace harness {
namespace {

std::optional<ULONGLONG> FreeBytes(const std::string& folder) {
    ULARGE_INTEGER free{};
    if (!::GetDiskFreeSpaceExA(folder.c_str(), &free, nullptr, nullptr)) return std::nullopt;
    return free.QuadPart;
}

TEST(FullDisk, WriteErrorIsReportedAndTheRunDirectoryGoes) {
    const char* smallDisk = std::getenv("QUINDLE_SMALL_DISK");
    if (!smallDisk || !*smallDisk)
        GTEST_SKIP() << "needs a small file system: run tests/wine/full_disk.sh (it mounts a small tmpfs as root)";
    const std::string temp = std::string(smallDisk) + "temp\\";
    ASSERT_TRUE(::CreateDirectoryA(temp.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
    const std::string userFile = temp + "notes.txt";
    const std::string userText = "the user's own notes";
    ASSERT_TRUE(WriteFile(userFile, userText));
    const std::optional<ULONGLONG> freeBefore = FreeBytes(temp);
    ASSERT_TRUE(freeBefore.has_value());
    // The projector and the hook library fit; the extra after them does not.
    ASSERT_GT(*freeBefore, 2u * 1024 * 1024) << "the small file system leaves too little room for the projector";

    PresentationSpec spec;
    spec.Name = "FullDiskShow";
    spec.Extras["zz-big.bin"] = std::string(size_t(*freeBefore) + 1024 * 1024, 'b');
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    Program runner = show.Start({{"TMP", temp}, {"TEMP", temp}});
    const auto box = WaitForDialog(runner.Pid());
    ASSERT_TRUE(box.has_value()) << "no message box";
    EXPECT_EQ(box->Caption, "Error");
    EXPECT_EQ(box->Text, "Exception occured: Stream write error");
    EXPECT_TRUE(PressButton(*box, "OK"));
    EXPECT_EQ(runner.WaitExit(), std::optional<DWORD>(0));

    EXPECT_EQ(ListDir(temp), std::vector<std::string>{"notes.txt"});
    EXPECT_EQ(ReadFile(userFile), userText);
    EXPECT_EQ(FreeBytes(temp), freeBefore) << "space still taken on the small file system";
    ::DeleteFileA(userFile.c_str());
    ::RemoveDirectoryA(temp.c_str());
}

}  // namespace
}  // namespace harness
