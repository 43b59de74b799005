// Archive layout: checksum, field coding, entry-name safety and the trailer search.
#include <gtest/gtest.h>

#include <cstring>

#include "package/SessionArchive.h"
#include "package_archive_builder.h"
#include "package_test_support.h"

namespace quindle {
namespace {

using testing::ArchiveBuilder;
using testing::TempDir;

TEST(HeaderChecksum, MultipliesByThreeAndAddsEachByte) {
    const uint8_t bytes[] = {1, 2, 3};
    EXPECT_EQ(HeaderChecksum(bytes, 0), 0u);
    EXPECT_EQ(HeaderChecksum(bytes, 3), ((1u * 3 + 2) * 3 + 3));
    std::vector<uint8_t> big(100, 0xFF);
    uint32_t h = 0;
    for (uint8_t b : big) h = h * 3 + b;  // wraps modulo 2^32
    EXPECT_EQ(HeaderChecksum(big.data(), big.size()), h);
}

TEST(SessionTrailer, RoundTripsAndPutsFieldsAtTheirOffsets) {
    TSessionTrailerInfo info;
    info.SessionStart = 0x11223344;
    info.SessionLength = 5;
    info.EntryCount = 3;
    info.SessionTotal = 77;
    info.ToolVersion = "v";
    info.SessionName = "Session1";
    TSessionTrailer raw = EncodeTrailer(info);
    const auto* b = reinterpret_cast<const uint8_t*>(&raw);
    EXPECT_EQ(std::vector<uint8_t>(b, b + 8), (std::vector<uint8_t>{0xa3, 0x61, 0x4a, 0x6a, 0x44, 0x33, 0x22, 0x11}));
    EXPECT_EQ(std::vector<uint8_t>(b + 216, b + 220), (std::vector<uint8_t>{0x0d, 0xbf, 0xf9, 0x8c}));
    EXPECT_EQ(b[88], 8);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b + 89), 8), "Session1");
    TSessionTrailerInfo back;
    ASSERT_TRUE(DecodeTrailer(raw, back));
    EXPECT_EQ(back.SessionStart, info.SessionStart);
    EXPECT_EQ(back.EntryCount, 3);
    EXPECT_EQ(back.SessionTotal, 77u);
    EXPECT_EQ(back.SessionName, "Session1");
}

TEST(SessionTrailer, ChecksumOffByOneIsInvalid) {
    TSessionTrailerInfo info;
    info.SessionName = "Session1";
    TSessionTrailer raw = EncodeTrailer(info);
    raw.Checksum[0] ^= 1;
    TSessionTrailerInfo back;
    EXPECT_FALSE(DecodeTrailer(raw, back));
}

TEST(SessionTrailer, BytesAfterTheNameDoNotChangeTheName) {
    TSessionTrailerInfo info;
    info.SessionName = "Session1";
    TSessionTrailer raw = EncodeTrailer(info);
    std::memset(raw.SessionName + 9, 0xCD, sizeof raw.SessionName - 9);
    const uint32_t sum = HeaderChecksum(reinterpret_cast<const uint8_t*>(&raw), 212);
    for (int i = 0; i < 4; ++i) raw.Checksum[i] = uint8_t(sum >> (8 * i));
    TSessionTrailerInfo back;
    ASSERT_TRUE(DecodeTrailer(raw, back));
    EXPECT_EQ(back.SessionName, "Session1");
}

TEST(SessionTrailer, EncodingRefusesTextsThatDoNotFit) {
    TSessionTrailerInfo info;
    info.SessionName = std::string(63, 'n');
    EXPECT_NO_THROW(EncodeTrailer(info));
    info.SessionName = std::string(64, 'n');
    EXPECT_THROW(EncodeTrailer(info), std::invalid_argument);
    TEntryHeaderInfo entry;
    entry.FileName = std::string(256, 'f');
    EXPECT_THROW(EncodeEntryHeader(entry), std::invalid_argument);
}

TEST(EntryHeader, RoundTripsEveryField) {
    TEntryHeaderInfo info{"movie.swf", "C:\\src\\", "QTOOL.x", 1234, 567, 0x0102030405060708ULL};
    TSessionEntryHeader raw = EncodeEntryHeader(info);
    const auto* b = reinterpret_cast<const uint8_t*>(&raw);
    EXPECT_EQ(b[780], 0x08);
    EXPECT_EQ(b[787], 0x01);
    TEntryHeaderInfo back;
    ASSERT_TRUE(DecodeEntryHeader(raw, back));
    EXPECT_EQ(back.FileName, info.FileName);
    EXPECT_EQ(back.SourceDir, info.SourceDir);
    EXPECT_EQ(back.Tag, info.Tag);
    EXPECT_EQ(back.Size, 1234u);
    EXPECT_EQ(back.StoredSize, 567u);
    EXPECT_EQ(back.LastWriteTime, info.LastWriteTime);
    raw.EndSignature[3] ^= 0x80;
    EXPECT_FALSE(DecodeEntryHeader(raw, back));
}

TEST(EntryNames, RefusesNamesThatLeaveTheDestination) {
    const struct {
        const char* name;
        bool safe;
    } cases[] = {{"movie.swf", true}, {"a..b", true}, {".hidden", true}, {"...", false},  {".", false},
                 {"..", false},       {". .", false}, {"", false},       {"a\\b", false}, {"a/b", false},
                 {"C:x", false},      {"x:", false},  {"a\x01b", false}};
    for (const auto& c : cases) EXPECT_EQ(IsSafeEntryName(c.name), c.safe) << c.name;
    // A NUL would cut the path the system sees down to "..".
    EXPECT_FALSE(IsSafeEntryName(std::string("..\0x", 4)));
    EXPECT_FALSE(IsSafeEntryTag(std::string("..\0x\\y", 6)));
}

// What Windows cannot create, creates under another name, or opens as a device.
TEST(EntryNames, RefusesNamesWindowsCannotCreate) {
    const struct {
        const char* name;
        const char* problem;  // empty: fine
    } cases[] = {{"con.mid", "is the name of a Windows device"},
                 {"aux", "is the name of a Windows device"},
                 {"LPT1.txt", "is the name of a Windows device"},
                 {"Nul.tar.gz", "is the name of a Windows device"},
                 {"com9", "is the name of a Windows device"},
                 {"con .txt", "is the name of a Windows device"},
                 {"CONOUT$", "is the name of a Windows device"},
                 {"a?b.mid", "holds the character '?'"},
                 {"x<y.txt", "holds the character '<'"},
                 {"x>y", "holds the character '>'"},
                 {"say\"hi\"", "holds the character '\"'"},
                 {"a|b", "holds the character '|'"},
                 {"a*", "holds the character '*'"},
                 {"trail.mid.", "ends in a dot or a blank, which Windows drops"},
                 {"trail.mid ", "ends in a dot or a blank, which Windows drops"},
                 {"", "is empty"},
                 {"console.txt", ""},
                 {"auxiliary.mid", ""},
                 {"com10.txt", ""},
                 {"lpt.txt", ""},
                 {"my con.mid", ""},
                 {"Gr\xFC\xDF"
                  "e.dxr",
                  ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(EntryNameProblem(c.name), c.problem) << c.name;
        if (*c.name) EXPECT_EQ(IsSafeEntryTag(std::string("media\\") + c.name), *c.problem == 0) << c.name;
    }
    // In code page 932 the trail byte 7C of a double-byte character is no "|".
    const testing::Cp932CodePage cp932;
    EXPECT_EQ(EntryNameProblem("\x83\x7C.txt", cp932), "");
    EXPECT_EQ(EntryNameProblem("\x83\x7C.txt"), "holds the character '|'");
}

TEST(EntryNames, RefusesTagsThatLeaveTheDestination) {
    const struct {
        const char* tag;
        bool safe;
    } cases[] = {{"", true},
                 {".", true},
                 {"QTOOL.Notes", true},
                 {"sub\\dir", true},
                 {"a..b\\c", true},
                 {"..", false},
                 {"a\\..\\b", false},
                 {"a/../b", false},
                 {"x\\..", false},
                 {"\\abs", false},
                 {"/abs", false},
                 {"C:\\x", false},
                 {"C:rel", false},
                 {"a\\b:c", false},
                 {"sub\\", true},
                 {".\\x", true},
                 {"a\\\\b", false},
                 {"...", false},
                 {"x\\.. \\y", false},
                 {"a\x05", false},
                 // Tool tags are compared, never made a path: only their colon is let through.
                 {"QTOOL.SATELLITE:QVIEW.EXE", true},
                 {"QTOOL.A:B\\c", true},
                 {"QTOOL.A:\\..\\b", false},
                 {"QTOOL.A:\x01", false},
                 {"qtool.a:b", false},
                 {"QTOOLS:a", false},
                 {"x\\QTOOL.a:b", false}};
    for (const auto& c : cases) EXPECT_EQ(IsSafeEntryTag(c.tag), c.safe) << c.tag;
}

// In code page 932 表 is 95 5C and ソ is 83 5C: the trail byte is no backslash, while a
// real separator, or a "/" or ":" after a lead byte (never trail bytes), still counts.
TEST(EntryNames, DoubleByteTrailBytesAreNoSeparators) {
    const struct {
        std::string text;
        bool name, tag;
    } cases[] = {{"\x95\x5C.swf", true, true},    {"\x83\x5C\x83\x74\x83\x67.exe", true, true},  // ソフト.exe
                 {"\x95\x5C\x5C", false, true},  // 表 and a real trailing backslash
                 {"a\x95\x5C\\b", false, true},   {"\x95\x5C\\..\\x", false, false},
                 {"..\\\x95\x5C", false, false},  {"\\\x95\x5C", false, false},
                 {"\x83\x5C\\\\x", false, false}, {"\x95/x", false, true},
                 {"\x95:", false, false},         {"\x95", true, true}};
    const testing::Cp932CodePage cp932;
    for (const auto& c : cases) {
        EXPECT_EQ(IsSafeEntryName(c.text, cp932), c.name) << c.text;
        EXPECT_EQ(IsSafeEntryTag(c.text, cp932), c.tag) << c.text;
    }
    // In a single-byte code page the same bytes hold a backslash.
    EXPECT_FALSE(IsSafeEntryName("\x95\x5C.swf"));
    EXPECT_FALSE(IsSafeEntryTag("\x83\x5C\\x"));
}

// A stub of stubSize bytes followed by one empty session whose trailer ends at
// stubSize + 220, then junk so the search has to walk back.
std::optional<TFoundTrailer> FindAfterJunk(size_t stubSize, size_t junk) {
    ArchiveBuilder archive(stubSize);
    archive.AddSession("Session1", {});
    archive.AppendRaw(std::string(junk, 'J'));
    TempDir dir;
    testing::WriteWholeFile(dir / "a.exe", archive.Text());
    TPosixArchiveFileSystem files;
    auto reader = files.OpenArchive(dir / "a.exe");
    return FindTrailer(*reader, reader->Size(), true);
}

TEST(FindTrailer, SearchStopsAtTheWindowEndingAtOffset2048) {
    EXPECT_TRUE(FindAfterJunk(2048 - 220, 5000).has_value());
    EXPECT_FALSE(FindAfterJunk(2047 - 220, 5000).has_value());
    auto found = FindAfterJunk(70000, 140000);  // several read blocks back
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->Offset, 70000u);
}

TEST(FindSession, WalksBackOverLaterSessionsAndListsThemAll) {
    ArchiveBuilder archive(4096);
    archive.AddSession("Session1", {{"a.txt", "first"}});
    archive.AddSession("Second", {{"b.txt", "second"}});
    TempDir dir;
    testing::WriteWholeFile(dir / "a.exe", archive.Text());
    TPosixArchiveFileSystem files;
    auto reader = files.OpenArchive(dir / "a.exe");
    auto first = FindSession(*reader, "Session1", false);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->Info.SessionStart, 4096u);
    EXPECT_FALSE(FindSession(*reader, "session1", true).has_value());  // byte-exact
    auto all = ListSessions(*reader);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].Info.SessionName, "Second");
    EXPECT_EQ(all[1].Info.SessionName, "Session1");
}

TEST(FindSession, ATrailerPointingPastItselfEndsTheWalk) {
    ArchiveBuilder archive(0);
    TSessionTrailerInfo info;
    info.SessionName = "Other";
    info.SessionStart = 220;  // its own end: would find itself again for ever
    TSessionTrailer raw = EncodeTrailer(info);
    archive.AppendRaw(std::string(reinterpret_cast<const char*>(&raw), sizeof raw));
    TempDir dir;
    testing::WriteWholeFile(dir / "a.exe", archive.Text());
    TPosixArchiveFileSystem files;
    auto reader = files.OpenArchive(dir / "a.exe");
    EXPECT_FALSE(FindSession(*reader, "Session1", true).has_value());
    EXPECT_EQ(ListSessions(*reader).size(), 1u);
}

}  // namespace
}  // namespace quindle
