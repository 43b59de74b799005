#include "base/Platform.h"
#include "base/Text.h"
#include "runner/Lifecycle.h"

#include <gtest/gtest.h>

namespace quindle {
namespace {

TEST(SetupSwitch, OnlySlashCInEitherCaseSelectsSetup) {
    const struct {
        const char* arg;
        bool setup;
    } cases[] = {
        {"/C", true}, {"/c", true}, {"/C:123", false}, {"/S", false}, {"/P", false},
        {"", false},  {"C", false}, {"/CC", false},    {"-c", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsSetupSwitch(c.arg), c.setup) << c.arg;
}

TEST(ExeBaseName, CutsAtTheFirstDotExeWhateverItsCase) {
    const struct {
        const char* name;
        const char* base;
    } cases[] = {
        {"Tour.exe", "Tour"}, {"Tour.EXE", "Tour"}, {"Tour.Exe", "Tour"}, {"Tour", ""},
        {"Show.scr", ""},     {"a.exe.exe", "a"},   {".exe", ""},         {"My Show.Exe", "My Show"},
    };
    for (const auto& c : cases) EXPECT_EQ(ExeBaseNameOf(c.name), c.base) << c.name;
}

TEST(FileNamePart, TakesWhatFollowsTheLastSeparator) {
    EXPECT_EQ(FileNamePart("C:\\Shows\\Tour.exe"), "Tour.exe");
    EXPECT_EQ(FileNamePart("C:Tour.exe"), "Tour.exe");
    EXPECT_EQ(FileNamePart("Tour.exe"), "Tour.exe");
}

TEST(FolderPart, KeepsItsSeparator) {
    EXPECT_EQ(FolderPart("C:\\Shows\\Tour.exe"), "C:\\Shows\\");
    EXPECT_EQ(FolderPart("C:Tour.exe"), "C:");
    EXPECT_EQ(FolderPart("Tour.exe"), "");
}

TEST(TPlatformFlags, FromTheVersionWord) {
    const struct {
        uint16_t word;
        bool nt;
        bool w95, w98, me, nt5;
    } cases[] = {
        {0x0004, false, true, false, false, false},  // 4.0: Windows 95
        {0x0A04, false, false, true, false, false},  // 4.10: Windows 98
        {0x5A04, false, false, false, true, false},  // 4.90: Windows Me
        {0x0005, true, false, false, false, true},   // 5.0: Windows 2000
        {0x0105, true, false, false, false, true},   // 5.1: XP
        {0x0106, true, false, false, false, false},  // 6.1: 7
    };
    for (const auto& c : cases) {
        const TPlatformFlags f = PlatformFlagsFromVersion(c.word, c.nt);
        EXPECT_EQ(f.IsWin95, c.w95) << std::hex << c.word;
        EXPECT_EQ(f.IsWin98, c.w98) << std::hex << c.word;
        EXPECT_EQ(f.IsWinMe, c.me) << std::hex << c.word;
        EXPECT_EQ(f.IsWinNT5, c.nt5) << std::hex << c.word;
    }
}

}  // namespace
}  // namespace quindle
