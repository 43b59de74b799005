// quindle-pack and signed programs: pack refuses a signed stub (the session would
// break its signature) unless --strip-signature, which packs onto the unsigned image;
// info names the signer; verify, list and extract read a signed show.
#include <gtest/gtest.h>

#include <filesystem>

#include "package/PeImage.h"
#include "package/SessionArchive.h"
#include "package/posix/PosixArchiveFiles.h"
#include "pack_tool_support.h"
#include "package_test_support.h"
#include "signed_fixture.h"

namespace quindle {
namespace {

using testing::Pack;
using testing::ReadWholeFile;
using testing::TempDir;
using testing::ToolRun;
using testing::WriteWholeFile;

std::string Text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

class PackSignatureTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists(testing::PackTool())) << "build quindle-pack first";
        loaded_ = testing::Load(testing::kFixtures[0]);
        WriteWholeFile(dir_ / "signed.exe", Text(testing::SignedFile(loaded_)));
        WriteWholeFile(dir_ / "show.ini", "[Settings]\r\nPassword=0\r\n");
        WriteWholeFile(dir_ / "projector.exe", "MZ");
    }
    ToolRun PackOnto(const std::string& stub, bool strip, bool addSession = false) {
        std::vector<std::string> args = {"pack", "--stub", dir_ / stub, "--out", dir_ / "show.exe"};
        if (strip) args.push_back("--strip-signature");
        if (addSession) args.push_back("--add-session");
        args.push_back(dir_ / "projector.exe");
        args.push_back(dir_ / "show.ini");
        return Pack(args);
    }
    testing::TLoaded loaded_;
    TempDir dir_;
};

TEST_F(PackSignatureTest, ASignedStubIsRefusedAndNothingIsWritten) {
    const ToolRun run = PackOnto("signed.exe", false);
    EXPECT_EQ(run.code, 2) << run.output;
    EXPECT_NE(run.output.find("is signed"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("--strip-signature"), std::string::npos) << run.output;
    EXPECT_FALSE(testing::Exists(dir_ / "show.exe"));
    EXPECT_FALSE(testing::Exists(dir_ / "show.exe.partial"));
}

TEST_F(PackSignatureTest, StripSignaturePacksOntoTheImageWithoutItsTable) {
    const ToolRun run = PackOnto("signed.exe", true);
    ASSERT_EQ(run.code, 0) << run.output;
    EXPECT_NE(run.output.find("without its signature"), std::string::npos) << run.output;

    const std::string stub = ReadWholeFile(dir_ / "signed.exe");
    const std::string show = ReadWholeFile(dir_ / "show.exe");
    TPosixArchiveFileSystem files;
    auto reader = files.OpenArchive(dir_ / "show.exe");
    const std::optional<TPeSignatureFields> fields = ReadPeSignatureFields(*reader);
    ASSERT_TRUE(fields.has_value());
    EXPECT_FALSE(fields->HasSecurityEntry());
    const std::vector<uint8_t> bytes(show.begin(), show.end());
    EXPECT_EQ(testing::Load32(bytes, fields->ChecksumOffset), 0u);
    const std::optional<TFoundTrailer> session = FindSession(*reader, kRunnerSessionName, false);
    ASSERT_TRUE(session.has_value());
    EXPECT_EQ(session->Info.SessionStart, loaded_.TableOffset);  // the table is gone
    size_t differing = 0;
    for (size_t i = 0; i < size_t(loaded_.TableOffset); ++i) differing += show[i] != stub[i];
    EXPECT_LE(differing, 12u);  // the directory entry and the checksum

    const ToolRun info = Pack({"info", dir_ / "show.exe"});
    EXPECT_EQ(info.code, 0) << info.output;
    EXPECT_NE(info.output.find("  signature      none\n"), std::string::npos) << info.output;

    // Packing onto the stripped show adds a session; nothing is signed any more.
    std::filesystem::rename(dir_ / "show.exe", dir_ / "first.exe");
    EXPECT_EQ(PackOnto("first.exe", false, true).code, 0);
}

TEST_F(PackSignatureTest, AStubWithBytesAfterItsTableIsNotCut) {
    WriteWholeFile(dir_ / "appended.exe", ReadWholeFile(dir_ / "signed.exe") + "appended after signing");
    const ToolRun run = PackOnto("appended.exe", true);
    EXPECT_EQ(run.code, 2) << run.output;
    EXPECT_NE(run.output.find("bytes after its certificate table"), std::string::npos) << run.output;
    EXPECT_FALSE(testing::Exists(dir_ / "show.exe"));
}

TEST_F(PackSignatureTest, ASignedShowIsReadAndItsSignerShown) {
    WriteWholeFile(dir_ / "signed-show.exe", Text(testing::SignedShow(loaded_, 4)));
    const ToolRun info = Pack({"info", dir_ / "signed-show.exe"});
    ASSERT_EQ(info.code, 0) << info.output;
    EXPECT_NE(info.output.find(std::string("  signature      signed by ") + testing::kFixtureSigner + " (not checked"),
              std::string::npos)
        << info.output;
    const ToolRun json = Pack({"info", dir_ / "signed-show.exe", "--json"}, true);
    EXPECT_NE(json.output.find(std::string("\"signer\": \"") + testing::kFixtureSigner + "\""), std::string::npos)
        << json.output;

    EXPECT_EQ(Pack({"verify", dir_ / "signed-show.exe"}).code, 0);
    const ToolRun list = Pack({"list", dir_ / "signed-show.exe"});
    EXPECT_EQ(list.code, 0) << list.output;
    EXPECT_NE(list.output.find("session \"Session1\": 1 entries"), std::string::npos) << list.output;
    const ToolRun extracted = Pack({"extract", dir_ / "signed-show.exe", "--to", dir_ / "out"});
    EXPECT_EQ(extracted.code, 0) << extracted.output;
    EXPECT_EQ(ReadWholeFile(dir_ / "out/Session1.ini"), "[Settings]\r\n");
}

}  // namespace
}  // namespace quindle
