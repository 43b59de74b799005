// TMemIniFile over lines as they stand in a file: parsing, lookups, rendering.
#include "settings/IniFile.h"

#include <gtest/gtest.h>

namespace quindle {
namespace {

std::unique_ptr<TMemIniFile> Parsed(const TStringList& lines) {
    auto ini = std::make_unique<TMemIniFile>("");
    ini->ParseLines(lines);
    return ini;
}

// Each case: one line under [S]; then what GetText / GetInt of a key give.
TEST(MemIniLines, OneLineTable) {
    const struct {
        const char* line;
        const char* key;
        const char* text;  // GetText with default "<def>"
        int32_t number;    // GetInt with default -7
    } cases[] = {
        {"Major=0x50000", "Major", "0x50000", 327680},
        {"Major=$50000", "Major", "$50000", 327680},
        {"Major= 12", "Major", " 12", 12},
        {"Major=12 ", "Major", "12 ", -7},
        {"Count=-2147483648", "Count", "-2147483648", -7},
        {"Count=-2147483647", "Count", "-2147483647", -2147483647},
        {"BeforeShow=", "BeforeShow", "", -7},
        {"BeforeShow=a=b", "BeforeShow", "a=b", -7},
        {";Width=10", "Width", "<def>", -7},
        {" ;Width=10", " ;Width", "10", 10},
        {" ;Width=10", "Width", "<def>", -7},
        {"Width = 5", "Width", "<def>", -7},
        {"Width = 5", "Width ", " 5", 5},
        {"WIDTH=5", "width", "5", 5},
        {"NoEquals", "NoEquals", "<def>", -7},
    };
    for (const auto& c : cases) {
        const auto owner = Parsed({"[S]", c.line});
        TMemIniFile& ini = *owner;
        EXPECT_EQ(ini.GetText("S", c.key, "<def>"), c.text) << c.line;
        EXPECT_EQ(ini.GetInt("s", c.key, -7), c.number) << c.line;
    }
}

TEST(MemIniLines, CommentLineIsDroppedAndBlankLedLineKept) {
    const auto owner = Parsed({"[S]", ";Width=10", " ;Width=10", "", "x"});
    TMemIniFile& ini = *owner;
    TStringList lines;
    ini.ListSectionLines("S", lines);
    EXPECT_EQ(lines, (TStringList{" ;Width=10", "x"}));
}

TEST(MemIniLines, RepeatedSectionHidesItsKeysButIsListedTwice) {
    const auto owner = Parsed({"[Settings]", "A=1", "[settings]", "B=2"});
    TMemIniFile& ini = *owner;
    EXPECT_EQ(ini.GetText("Settings", "A", "-"), "1");
    EXPECT_EQ(ini.GetText("Settings", "B", "-"), "-");
    TStringList names;
    ini.ListSections(names);
    EXPECT_EQ(names, (TStringList{"Settings", "settings"}));
}

TEST(MemIniLines, HeaderRulesAndLinesBeforeTheFirstSection) {
    const auto owner = Parsed({"Orphan=1", "[]", "E=1", " [Indented]", "[Open", "[A]]", "K=2"});
    TMemIniFile& ini = *owner;
    TStringList names;
    ini.ListSections(names);
    EXPECT_EQ(names, (TStringList{"", "A]"}));
    TStringList lines;
    ini.ListSectionLines("", lines);
    EXPECT_EQ(lines, (TStringList{"E=1", " [Indented]", "[Open"}));
    EXPECT_EQ(ini.GetText("A]", "K", ""), "2");
}

TEST(MemIniLines, SetTextReplacesFirstKeyOrAppendsSectionAtTheEnd) {
    const auto owner = Parsed({"[A]", "k=1", "K=2", "[B]", "x=1"});
    TMemIniFile& ini = *owner;
    ini.SetText("a", "K", "9");
    ini.SetText("A", "new", "n");
    ini.SetText("C", "c", "3");
    TStringList out;
    ini.GetLines(out);
    EXPECT_EQ(out, (TStringList{"[A]", "K=9", "K=2", "new=n", "", "[B]", "x=1", "", "[C]", "c=3", ""}));
}

TEST(MemIniLines, ListKeysGivesEmptyNameForLinesWithoutEquals) {
    const auto owner = Parsed({"[A]", "k=1", "plain", "=v"});
    TMemIniFile& ini = *owner;
    TStringList keys{"stale"};
    ini.ListKeys("A", keys);
    EXPECT_EQ(keys, (TStringList{"k", "", ""}));
    ini.ListKeys("Missing", keys);
    EXPECT_TRUE(keys.empty());
}

TEST(MemIniLines, DropKeyAndDropSectionTakeTheFirstMatch) {
    const auto owner = Parsed({"[A]", "k=1", "k=2", "[B]", "[a]", "k=3"});
    TMemIniFile& ini = *owner;
    ini.DropKey("A", "K");
    EXPECT_EQ(ini.GetText("A", "k", ""), "2");
    ini.DropSection("a");
    EXPECT_EQ(ini.GetText("A", "k", ""), "3");
    ini.DropSection("Missing");
    ini.DropKey("Missing", "k");
    EXPECT_EQ(ini.Sections.size(), 2u);
}

TEST(MemIniLines, TypedWritesGoThroughSetText) {
    TMemIniFile ini("");
    ini.SetInt("S", "i", -5);
    ini.SetFlag("S", "t", true);
    ini.SetFlag("S", "f", false);
    ini.SetFloat("S", "x", 0.1);
    EXPECT_EQ(ini.GetText("S", "i", ""), "-5");
    EXPECT_EQ(ini.GetText("S", "t", ""), "1");
    EXPECT_EQ(ini.GetText("S", "f", ""), "0");
    EXPECT_EQ(ini.GetText("S", "x", ""), "0.1");
    EXPECT_TRUE(ini.GetFlag("S", "t", false));
    EXPECT_FALSE(ini.GetFlag("S", "f", true));
    EXPECT_TRUE(ini.GetFlag("S", "missing", true));
    EXPECT_TRUE(ini.GetFlag("S", "i", false));
}

TEST(IniText, SplitsAtEveryKindOfLineEndAndStopsAtZero) {
    const struct {
        std::string bytes;
        TStringList lines;
    } cases[] = {
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {std::string("a\nb\0c\nd", 7), {"a", "b"}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitIniText(c.bytes), c.lines);
}

}  // namespace
}  // namespace quindle
