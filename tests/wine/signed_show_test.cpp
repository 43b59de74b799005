// A show signed by osslsigncode (tests/wine/signed_show.sh signs it and names it in
// QUINDLE_SIGNED_SHOW; without it the test is skipped) opens, runs and cleans up: the
// runner finds its session before the certificate table that now ends its file.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "package/PeImage.h"
#include "package/win32/Win32ArchiveFiles.h"
#include "tests/harness/Harness.h"
#include "tests/harness/Presentation.h"

namespace harness {
namespace {

TEST(SignedShow, OpensRunsAndCleansUp) {
    const char* signedShow = std::getenv("QUINDLE_SIGNED_SHOW");
    if (!signedShow || !*signedShow)
        GTEST_SKIP() << "needs a show signed by osslsigncode: run tests/wine/signed_show.sh";
    PresentationSpec spec;
    spec.Name = "SignedShow";
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    // The signed show takes the place of the one packed here, with its folders.
    ASSERT_TRUE(::CopyFileA(signedShow, show.ExePath().c_str(), FALSE));
    quindle::TWin32ArchiveFileSystem files;
    const std::optional<uint64_t> table = quindle::TrailingCertificateTableStart(*files.OpenArchive(show.ExePath()));
    ASSERT_TRUE(table.has_value()) << "the show does not end with a certificate table";

    Program runner = show.Start();
    const HWND runnerWnd = WaitForShow(runner);
    ASSERT_NE(runnerWnd, nullptr) << "the signed show did not come up";
    EXPECT_EQ(WindowText(runnerWnd), "Signed Show");
    EXPECT_TRUE(WaitUntil([&] { return show.ReportValue("parent") == "MumuQuindleWindow"; }, 5000));
    EXPECT_TRUE(FileExists(show.RunDir() + "\\standin.exe"));
    EXPECT_EQ(CloseShow(runnerWnd, runner), std::optional<DWORD>(0));
    EXPECT_TRUE(WaitUntil([&] { return ListDir(show.Temp()).empty(); }, 5000))
        << "left in the temporary folder: " << (ListDir(show.Temp()).empty() ? "" : ListDir(show.Temp()).front());
    EXPECT_EQ(show.ReportValue("exit"), "0");
}

}  // namespace
}  // namespace harness
