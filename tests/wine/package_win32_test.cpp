// The extractor through the Win32 file seam: the archive stays readable while other
// handles hold it open for writing, the destination is exclusive while written, and
// the last-write time is the header's.
#include <gtest/gtest.h>
#include <windows.h>

#include "package/SessionExtractor.h"
#include "package/win32/Win32ArchiveFiles.h"
#include "tests/harness/Harness.h"
#include "tests/unit/package_archive_builder.h"

namespace quindle {
namespace {

using testing::ArchiveBuilder;
using testing::PatternText;

constexpr uint64_t kTime = 0x01D9A1B2C3D4E5F7ULL;

class PackageWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        ArchiveBuilder archive(4096);
        archive.AddSession(
            "Session1", {{"small.txt", "hello", "", "", kTime}, {"big.bin", PatternText(200000), "", "", kTime + 1}});
        archivePath_ = dir_.Path() + "show.exe";
        ASSERT_TRUE(harness::WriteFile(archivePath_, archive.Text()));
        out_ = dir_.Path() + "out\\";
        ASSERT_TRUE(CreateDirectoryA(out_.c_str(), nullptr));
        extractor_.UseOwnExecutable = false;
        extractor_.ArchiveFileName = archivePath_;
        extractor_.DestinationDir = out_;
    }

    static uint64_t LastWriteTime(const std::string& path) {
        HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return 0;
        FILETIME written;
        GetFileTime(h, nullptr, nullptr, &written);
        CloseHandle(h);
        return uint64_t(written.dwHighDateTime) << 32 | written.dwLowDateTime;
    }

    harness::ScratchDir dir_{"qpkg"};
    std::string archivePath_, out_;
    TWin32ArchiveFileSystem files_;
    TSessionExtractor extractor_{files_};
};

TEST_F(PackageWin32Test, ReadsAnArchiveThatAnotherHandleHoldsOpenForWriting) {
    HANDLE writer = CreateFileA(archivePath_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    extractor_.Extract("Session1");
    CloseHandle(writer);
    EXPECT_EQ(harness::ReadFile(out_ + "small.txt"), "hello");
    EXPECT_EQ(harness::ReadFile(out_ + "big.bin"), PatternText(200000));
}

TEST_F(PackageWin32Test, TheDestinationIsExclusiveWhileItIsWritten) {
    int tries = 0, refused = 0;
    extractor_.OnFileProgress = [&](TSessionExtractor& sender, const std::string& name, int32_t, bool&) {
        if (name != "big.bin" || sender.EntryDone == 0) return;
        ++tries;
        const std::string path = out_ + name;
        HANDLE other = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
        if (other == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION && !DeleteFileA(path.c_str()))
            ++refused;
        if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
    };
    extractor_.Extract("Session1");
    EXPECT_EQ(tries, 4);
    EXPECT_EQ(refused, tries);
    EXPECT_EQ(harness::ReadFile(out_ + "big.bin"), PatternText(200000));
}

// Wine keeps no creation time of its own (it reports the last-write time there), so
// only the last-write time is checked.
TEST_F(PackageWin32Test, LastWriteTimeIsTheHeaders) {
    extractor_.Extract("Session1");
    EXPECT_EQ(LastWriteTime(out_ + "small.txt"), kTime);
    EXPECT_EQ(LastWriteTime(out_ + "big.bin"), kTime + 1);
}

TEST_F(PackageWin32Test, ACancelledEntryIsDeleted) {
    extractor_.OnFileProgress = [](TSessionExtractor& sender, const std::string& name, int32_t, bool& cancel) {
        cancel = name == "big.bin" && sender.EntryDone == 2 * 65536;
    };
    extractor_.Extract("Session1");
    EXPECT_TRUE(harness::FileExists(out_ + "small.txt"));
    EXPECT_FALSE(harness::FileExists(out_ + "big.bin"));
}

TEST_F(PackageWin32Test, OpenAndCreateFailuresNameThePath) {
    extractor_.ArchiveFileName = dir_.Path() + "missing.exe";
    try {
        extractor_.Extract("Session1");
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + dir_.Path() + "missing.exe");
    }
    extractor_.ArchiveFileName = archivePath_;
    extractor_.DestinationDir = dir_.Path() + "nowhere\\";
    try {
        extractor_.Extract("Session1");
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + dir_.Path() + "nowhere\\small.txt");
    }
}

TEST_F(PackageWin32Test, TheOwnExecutableIsTheRunningProgramAndReadableWhileItRuns) {
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    EXPECT_EQ(files_.OwnExecutablePath(), module);
    extractor_.UseOwnExecutable = true;
    try {
        extractor_.Extract("Session1");
        ADD_FAILURE() << "the test program carries no session";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), std::string("Session not found on extract from ") + module);
    }
}

// Large entries are read through views of the archive: a view starts at any byte, the
// mapping beginning at the boundary below it; none reaches past the end of the file. An
// entry of a few MiB comes out whole through one while another handle holds the
// archive open for writing.
TEST_F(PackageWin32Test, ViewsOfTheArchiveShowItsBytesFromAnyPosition) {
    std::string noise(3u << 20, '\0');
    uint32_t x = 0x9E3779B9u;
    for (char& c : noise) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        c = char(x >> 24);
    }
    ArchiveBuilder archive(70001);  // off every mapping boundary
    archive.AddSession("Session1", {{"noise.bin", noise}, {"after.txt", "next"}});
    const std::string bytes = archive.Text();
    ASSERT_TRUE(harness::WriteFile(archivePath_, bytes));

    const std::unique_ptr<IArchiveReader> reader = files_.OpenArchive(archivePath_);
    for (const uint64_t at : {uint64_t(0), uint64_t(1), uint64_t(65535), uint64_t(70001), uint64_t(bytes.size() - 9)}) {
        const std::unique_ptr<IArchiveView> view = reader->View(at, 9);
        ASSERT_TRUE(view) << at;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(view->Data()), 9), bytes.substr(size_t(at), 9)) << at;
    }
    EXPECT_FALSE(reader->View(bytes.size() - 8, 9));

    HANDLE writer = CreateFileA(archivePath_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    extractor_.Extract("Session1");
    CloseHandle(writer);
    EXPECT_TRUE(harness::ReadFile(out_ + "noise.bin") == noise);
    EXPECT_EQ(harness::ReadFile(out_ + "after.txt"), "next");
}

}  // namespace
}  // namespace quindle
