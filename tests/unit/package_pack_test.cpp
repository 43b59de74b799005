// quindle-pack round trips through its command line: pack, verify, list, extract,
// the fixed exit codes and the promise of no half-written output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "package/SessionArchive.h"
#include "package/SessionExtractor.h"
#include "package_archive_builder.h"
#include "package_test_support.h"
#include "pack_tool_support.h"

namespace quindle {
namespace {

using testing::Pack;
using testing::PackTool;
using testing::PatternText;
using testing::ReadWholeFile;
using testing::TempDir;
using testing::ToolRun;
using testing::WriteWholeFile;

class PackToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists(PackTool())) << "build quindle-pack first";
        WriteWholeFile(dir_ / "stub.exe", std::string(6000, 'M'));
        std::filesystem::create_directories(dir_ / "in/sub/deeper");
        WriteWholeFile(dir_ / "in/movie.swf", PatternText(3000000, 5));
        WriteWholeFile(dir_ / "in/projector.exe", PatternText(400, 7));
        WriteWholeFile(dir_ / "in/project.ini", "[Settings]\r\nPassword=0\r\n");
        WriteWholeFile(dir_ / "in/sub/tool.exe", PatternText(200));
        WriteWholeFile(dir_ / "in/sub/deeper/notes.txt", "");
        WriteWholeFile(dir_ / "extra.mid", PatternText(108));
    }
    TempDir dir_;
};

TEST_F(PackToolTest, PackVerifyListAndExtractRoundTrip) {
    const std::string show = dir_ / "show.exe";
    ToolRun packed = Pack({"pack", "--stub", dir_ / "stub.exe", "--out", show, dir_ / "in", "--tag",
                           "QTOOL.SATELLITE:QVIEW.EXE", dir_ / "extra.mid"});
    ASSERT_EQ(packed.code, 0) << packed.output;
    EXPECT_EQ(ReadWholeFile(show).substr(0, 6000), std::string(6000, 'M'));

    ToolRun verified = Pack({"verify", show});
    EXPECT_EQ(verified.code, 0) << verified.output;

    ToolRun listed = Pack({"list", show, "--json"});
    ASSERT_EQ(listed.code, 0) << listed.output;
    EXPECT_NE(listed.output.find("\"name\": \"Session1\",\n      \"entryCount\": 6"), std::string::npos)
        << listed.output;
    EXPECT_NE(listed.output.find("\"tag\": \"sub\\\\deeper\""), std::string::npos) << listed.output;
    EXPECT_NE(listed.output.find("\"tag\": \"QTOOL.SATELLITE:QVIEW.EXE\""), std::string::npos) << listed.output;

    ToolRun extracted = Pack({"extract", show, "--to", dir_ / "out"});
    ASSERT_EQ(extracted.code, 0) << extracted.output;
    for (const char* name : {"movie.swf", "projector.exe", "project.ini", "sub/tool.exe", "sub/deeper/notes.txt"}) {
        EXPECT_EQ(ReadWholeFile(dir_ / (std::string("out/") + name)), ReadWholeFile(dir_ / (std::string("in/") + name)))
            << name;
        EXPECT_EQ(testing::LastWriteFileTime(dir_ / (std::string("out/") + name)) / 10,
                  testing::LastWriteFileTime(dir_ / (std::string("in/") + name)) / 10)  // FILETIME keeps 100 ns
            << name;
    }
    // A tool tag is no folder: the entry lands beside the untagged ones.
    EXPECT_EQ(ReadWholeFile(dir_ / "out/extra.mid"), PatternText(108));
}

TEST_F(PackToolTest, OutputIsTheSameWhateverTheThreadCountAndLevelChangesIt) {
    std::string outputs[3];
    const char* threads[] = {"1", "2", "3"};
    for (int i = 0; i < 3; ++i) {
        const std::string out = dir_ / ("t" + std::to_string(i) + ".exe");
        ASSERT_EQ(Pack({"pack", "--stub", dir_ / "stub.exe", "--out", out, "--threads", threads[i], dir_ / "in"}).code,
                  0);
        outputs[i] = ReadWholeFile(out);
    }
    EXPECT_EQ(outputs[0], outputs[1]);
    EXPECT_EQ(outputs[0], outputs[2]);
    ASSERT_EQ(Pack({"pack", "--stub", dir_ / "stub.exe", "--out", dir_ / "l1.exe", "--level", "1", dir_ / "in"}).code,
              0);
    EXPECT_NE(ReadWholeFile(dir_ / "l1.exe"), outputs[0]);
    EXPECT_EQ(Pack({"verify", dir_ / "l1.exe"}).code, 0);
}

// Levels 10 to 12 write zlib streams of several blocks (an entry of 4.5 MiB) that zlib's
// streaming inflate reads as the runner's whole-entry path does, smaller than level 9
// and the same whatever the thread count.
TEST_F(PackToolTest, LevelsAbove9WriteSmallerZlibStreamsEveryReaderTakes) {
    const std::string large = PatternText(9u << 19, 11);
    WriteWholeFile(dir_ / "in/large.dat", large);
    const auto packed = [&](const std::string& level, const std::string& threads) {
        const std::string out = dir_ / ("l" + level + "t" + threads + ".exe");
        EXPECT_EQ(Pack({"pack", "--stub", dir_ / "stub.exe", "--out", out, "--level", level, "--threads", threads,
                        dir_ / "in"})
                      .code,
                  0)
            << level;
        return out;
    };
    const std::string level9 = ReadWholeFile(packed("9", "2"));
    for (const char* level : {"10", "11", "12"}) {
        const std::string show = packed(level, "2");
        const std::string bytes = ReadWholeFile(show);
        if (std::string(level) == "12") {
            EXPECT_EQ(bytes, ReadWholeFile(packed(level, "1")));
            EXPECT_EQ(bytes, ReadWholeFile(packed(level, "3")));
        }
        EXPECT_LT(bytes.size(), level9.size()) << level;
        for (const uint32_t wholeEntryLimit : {kWholeEntryLimit, 0u}) {
            TPosixArchiveFileSystem disk;
            TSessionExtractor extractor(disk);
            extractor.UseOwnExecutable = false;
            extractor.ArchiveFileName = show;
            extractor.DestinationDir = dir_ / ("out" + std::string(level) + std::to_string(wholeEntryLimit));
            extractor.WholeEntryLimit = wholeEntryLimit;
            std::filesystem::create_directories(extractor.DestinationDir);
            extractor.OnFile = [](TSessionExtractor& sender, std::string&, std::string&, bool& skip) {
                skip = !sender.EntryTag.empty();
            };
            extractor.Extract("Session1");
            EXPECT_TRUE(ReadWholeFile(extractor.DestinationDir + "/large.dat") == large) << level;
            EXPECT_EQ(ReadWholeFile(extractor.DestinationDir + "/movie.swf"), ReadWholeFile(dir_ / "in/movie.swf"))
                << level;
        }
    }
}

TEST_F(PackToolTest, PackingOntoAPackagedRunnerAppendsASession) {
    ASSERT_EQ(Pack({"pack", "--stub", dir_ / "stub.exe", "--out", dir_ / "one.exe", dir_ / "in/projector.exe",
                    dir_ / "extra.mid"})
                  .code,
              0);
    // A session that is not the runner's needs no program.
    ASSERT_EQ(Pack({"pack", "--stub", dir_ / "one.exe", "--out", dir_ / "two.exe", "--add-session", "--session",
                    "Other", dir_ / "in/project.ini"})
                  .code,
              0);
    ToolRun listed = Pack({"list", dir_ / "two.exe"});
    EXPECT_LT(listed.output.find("session \"Other\""), listed.output.find("session \"Session1\"")) << listed.output;
    EXPECT_EQ(Pack({"verify", dir_ / "two.exe"}).code, 0);
    ASSERT_EQ(Pack({"extract", dir_ / "two.exe", "--to", dir_ / "out"}).code, 0);
    EXPECT_TRUE(testing::Exists(dir_ / "out/extra.mid"));
    EXPECT_FALSE(testing::Exists(dir_ / "out/project.ini"));
}

TEST_F(PackToolTest, AFailureWhileWritingLeavesNothingBehind) {
    // The output folder does not exist: nothing can be written, nothing remains.
    ToolRun run = Pack({"pack", "--stub", dir_ / "stub.exe", "--out", dir_ / "nodir/show.exe", dir_ / "in"});
    EXPECT_NE(run.output.find("Cannot create file"), std::string::npos) << run.output;
    EXPECT_EQ(run.code, 1) << run.output;
    EXPECT_FALSE(testing::Exists(dir_ / "nodir"));
}

TEST_F(PackToolTest, VerifyReportsTheRunnersMessageForTheFirstFault) {
    const std::string show = dir_ / "show.exe";
    ASSERT_EQ(Pack({"pack", "--stub", dir_ / "stub.exe", "--out", show, dir_ / "in"}).code, 0);
    std::string bytes = ReadWholeFile(show);
    bytes[6000 + 300] ^= 0x20;  // inside the first entry header's file name field
    WriteWholeFile(show, bytes);
    ToolRun run = Pack({"verify", show});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.output, "quindle-pack: File prefix format error on extract from " + show + "\n");

    WriteWholeFile(dir_ / "plain.exe", std::string(5000, 'x'));
    run = Pack({"verify", dir_ / "plain.exe"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.output, "quindle-pack: Session not found on extract from " + dir_ / "plain.exe" + "\n");

    // Cut short, a show keeps its entries but loses its end.
    bytes[6000 + 300] ^= 0x20;
    WriteWholeFile(show, bytes.substr(0, 6000 + 100000));
    run = Pack({"verify", show});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.output, "quindle-pack: Session not found on extract from " + show +
                              ": the file ends inside its session (cut short, or its trailer damaged)\n");
}

TEST_F(PackToolTest, HashPasswordPrintsTheUnsignedValue) {
    const ToolRun run = Pack({"hash-password", "CanCel"});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.output, "96356331\n");
    EXPECT_EQ(Pack({"hash-password", "--help"}).code, 0);
    EXPECT_EQ(Pack({"--help"}).code, 0);
}

}  // namespace
}  // namespace quindle
