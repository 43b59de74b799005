// quindle-pack's authoring commands end to end: settings from the loader's own table,
// check on a table of ini mistakes, pack with a password, info, and texts in the
// presentation's code page.
#include <gtest/gtest.h>

#include "recording_ini.h"

#include <cstdlib>
#include <regex>

#include "package_test_support.h"
#include "pack_tool_support.h"
#include "settings/ProjectSettingsLoader.h"
#include "window/HashPassword.h"

namespace quindle {
namespace {

using testing::Pack;
using testing::ReadWholeFile;
using testing::TempDir;
using testing::ToolRun;
using testing::WriteWholeFile;

// Every match of the pattern's first group, in order.
std::vector<std::string> All(const std::string& text, const std::string& pattern) {
    std::vector<std::string> found;
    const std::regex re(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
        found.push_back((*it)[1]);
    return found;
}

class AuthoringTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists(testing::PackTool())) << "build quindle-pack first";
        WriteWholeFile(dir_ / "stub.exe", std::string(4000, 'M'));
    }
    // The JSON a command prints, checked to parse as JSON.
    std::string Json(const std::vector<std::string>& args, int expectedCode = 0) {
        const ToolRun run = Pack(args, true);
        EXPECT_EQ(run.code, expectedCode) << run.output;
        WriteWholeFile(dir_ / "out.json", run.output);
        const std::string parse = "python3 -c 'import json,sys; json.load(open(sys.argv[1], encoding=\"utf-8\"))' " +
                                  testing::Quote(dir_ / "out.json");
        EXPECT_EQ(std::system(parse.c_str()), 0) << run.output;
        return run.output;
    }
    TempDir dir_;
};

using RecordingIni = testing::KeyRecordingIni;

TEST_F(AuthoringTest, SettingsListsExactlyTheKeysTheLoaderReads) {
    RecordingIni ini;
    TProjectSettings s;
    ReadProjectKeys(ini, "Tour", s, s);
    const std::string json = Json({"settings", "--json"});
    const std::vector<std::string> sections = All(json, "\"section\": \"([^\"]*)\"");
    const std::vector<std::string> keys = All(json, "\"key\": \"([^\"]*)\"");
    ASSERT_EQ(sections.size(), keys.size());
    std::vector<std::string> listed;
    for (size_t i = 0; i < keys.size(); ++i) listed.push_back(sections[i] + "/" + keys[i]);
    EXPECT_EQ(listed, ini.Asked);
    EXPECT_NE(json.find("\"registryValue\": \"MouseExit\""), std::string::npos);
    const ToolRun text = Pack({"settings"});
    EXPECT_EQ(text.code, 0);
    EXPECT_NE(text.output.find("registry value \"AnyKeyExit\" decides"), std::string::npos) << text.output;
}

TEST_F(AuthoringTest, CheckReportsEachMistakeWithItsLine) {
    const struct {
        const char* ini;
        const char* report;  // the one line expected, after "FILE:"
    } cases[] = {
        {"[Settings]\nPassword=0\nWidht=800\n",
         "3: unknown key Widht in [Settings]: the runner ignores it (did you mean Width?)"},
        {"[Setings]\n[Settings]\nPassword=0\n",
         "1: unknown section [Setings]: the runner reads nothing from it (did you mean Settings?)"},
        {"[Settings]\nPassword=0\nMajor=5\n", "3: unknown key Major in [Settings]: it belongs in [ProjectorVersion]"},
        {"[Settings]\nPassword=0\nWidth=800\nWidth=900\n",
         "4: Width given again (first on line 3, '800'): the runner reads the first, this one is ignored"},
        {"[Settings]\nPassword=0\n[settings]\nWidth=1\n",
         "3: section [settings] given again (first on line 1): the runner reads only the first, so every key here is "
         "ignored"},
        {"[Settings]\nPassword=0\nWidth=wide\n", "3: Width='wide' is not a number: the runner reads the default 640"},
        {"[Settings]\nPassword=0\nWidth=800 \n",
         "3: Width='800 ' has blanks after the number: the runner reads the default 640"},
        {"[Settings]\nPassword=0\nExitOnESC=2\n",
         "3: ExitOnESC=2 is neither 0 nor 1: the runner leaves ExitOnESC off (its default is on)"},
        {"[Settings]\nPassword=0\nSound=3\n", "3: Sound=3 leaves the choice to the user, like 2"},
        {"[Settings]\nPassword=0\nMidiLoop=2\n", "3: MidiLoop=2 plays once, like 0"},
        {"[Settings]\nPassword=0\nAlignmentH=4\n", "3: AlignmentH=4 is outside 0..3"},
        {"[Settings]\nPassword=0\nScreen=-2\n", "3: Screen=-2 is outside -1..2147483647"},
        {"[Settings]\nPassword=0\nScreens=2\n",
         "3: unknown key Screens in [Settings]: the runner ignores it (did you mean Screen?)"},
        {"[Settings]\nPassword=2\n", "2: Password=2 turns the password off: only 1 asks for it"},
        {"[Settings]\nPassword=1\n", "2: Password=1 but AlignmentX holds no hash: every password will be refused"},
        {"[Settings]\nWidth=800\n", " no Password key, so a password is asked for, but AlignmentX holds no hash"},
        {"[Settings]\nPassword=1\nAlignmentX=500000000\n", "3: AlignmentX=500000000 can never match"},
        {"[Settings]\nPassword=0\nMidiLoopTimes=3\n", "3: MidiLoopTimes has no effect: MidiLoop is not 1"},
        {"[Settings]\nPassword=0\nWidth =800\n",
         "3: blanks around the key name: the runner does not read this line as Width"},
        {"[Settings]\nPassword=0\n ;Width=1\n",
         "3: blank before ';': the runner reads comments only in the first column"},
        {"Password=0\n[Settings]\nPassword=0\n", "1: line before any section: the runner ignores it"},
        {"\xEF\xBB\xBF[Settings]\n[Settings]\nPassword=0\n", "1: the file begins with a UTF-8 byte order mark"},
        {"[Settings]\nPassword=0\nZantic Screen Name=Gr\xC3\xBC\xC3\x9F"
         "e\n",
         "3: Zantic Screen Name is written in UTF-8: the runner shows 'Gr\xC3\x83\xC2\xBC\xC3\x83\xC5\xB8"
         "e'"},
        {"[Settings]\nPassword=0\n[RightMenuDeleteItems]\nCount=1\n0=5\n1=6\n", "6: item 1 is not read: Count is 1"},
        {"[Settings]\nPassword=0\n[RightMenuDeleteItems]\nCount=60\n", "4: Count=60: only the items 0 to 49 are read"},
        {"[Settings]\nPassword=0\nNoTitle\n", "3: no '=' in this line: the runner ignores it"},
    };
    for (const auto& c : cases) {
        const std::string ini = dir_ / "show.ini";
        WriteWholeFile(ini, c.ini);
        const ToolRun run = Pack({"check", ini});
        EXPECT_EQ(run.code, 1) << c.ini;
        EXPECT_EQ(run.output.find(ini + ":" + c.report), 0u) << c.ini << "\n" << run.output;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << c.ini << "\n" << run.output;
    }
}

TEST_F(AuthoringTest, CheckPassesWhatTheRunnerReadsAsWritten) {
    const std::string ini = dir_ / "show.ini";
    WriteWholeFile(ini,
                   "; a comment\r\n[ProjectorVersion]\r\nMajor=0x50000\r\n[settings]\r\nwidth=800\r\n"
                   "Password=1\r\nAlignmentX=354546340\r\nScreen=-1\r\nMidi=0\r\nMidiLoop=1\r\nMidiLoopTimes=3\r\n"
                   "Zantic Screen Name=Gr\xFC\xDF"
                   "e\r\n[RightMenuDeleteItems]\r\nCount=1\r\n0=20048\r\n");
    const ToolRun run = Pack({"check", ini});
    EXPECT_EQ(run.code, 0) << run.output;
    EXPECT_EQ(run.output, ini + ": clean\n");
    EXPECT_EQ(Pack({"check", dir_ / "missing.ini"}).code, 2);
    EXPECT_EQ(Pack({"check", ini, "--codepage", "99999"}).code, 2);

    WriteWholeFile(ini, "[Settings]\nWidth=x\n");
    const std::string json = Json({"check", ini, "--json"}, 1);
    EXPECT_EQ(All(json, "\"line\": ([0-9]+)"), (std::vector<std::string>{"0", "2"})) << json;
    EXPECT_NE(json.find("\"clean\": false"), std::string::npos);
}

TEST_F(AuthoringTest, HashPasswordHashesTheCodePageBytesAndRefusesTheRest) {
    const struct {
        const char* text;
        const char* codePage;
        const char* bytes;  // nullptr: refused
    } cases[] = {
        {"Gr\xC3\xBC\xC3\x9F"
         "e",
         "1252",
         "Gr\xFC\xDF"
         "e"},
        {"\xC5\x81\xC3\xB3"
         "d\xC5\xBA",
         "1250",
         "\xA3\xF3"
         "d\x9F"},
        {"\xD0\x9F\xD1\x80\xD0\xB8", "1251", "\xCF\xF0\xE8"},
        {"\xE6\x97\xA5\xE6\x9C\xAC", "932", "\x93\xFA\x96\x7B"},
        {"\xE2\x82\xAC", "1252", "\x80"},
        {"\xC4\x80", "1252", nullptr},     // A with macron: not in 1252
        {"\xC2\xA5", "932", nullptr},      // yen sign: 932 has only a look-alike
        {"\xE3\x80\x9C", "932", nullptr},  // wave dash: likewise
        {"\xD0\x9F", "1252", nullptr},
    };
    for (const auto& c : cases) {
        const ToolRun run = Pack({"hash-password", c.text, "--codepage", c.codePage});
        if (c.bytes) {
            EXPECT_EQ(run.code, 0) << c.text;
            EXPECT_EQ(run.output, std::to_string(HashPassword(c.bytes)) + "\n") << c.text;
        } else {
            EXPECT_EQ(run.code, 2) << c.text;
            EXPECT_NE(run.output.find("has no place in code page " + std::string(c.codePage)), std::string::npos);
            EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
        }
    }
    EXPECT_EQ(Pack({"hash-password",
                    "Gr\xC3\xBC\xC3\x9F"
                    "e"})
                  .output,
              "354546340\n");
}

TEST_F(AuthoringTest, PackWithAPasswordWritesOnlyItsHash) {
    WriteWholeFile(dir_ / "movie.exe", "MZ projector");
    WriteWholeFile(dir_ / "show.ini", "; keep me\n[Settings]\nPassword=0\nWidth=800\n");
    const std::string show = dir_ / "Tour.exe";
    const ToolRun packed = Pack({"pack", "--stub", dir_ / "stub.exe", "--out", show, "--password",
                                 "Gr\xC3\xBC\xC3\x9F"
                                 "e",
                                 dir_ / "movie.exe", dir_ / "show.ini"});
    ASSERT_EQ(packed.code, 0) << packed.output;
    EXPECT_EQ(packed.output, "");
    const std::string bytes = ReadWholeFile(show);
    EXPECT_EQ(bytes.find("Gr\xC3\xBC\xC3\x9F"
                         "e"),
              std::string::npos);
    EXPECT_EQ(bytes.find("Gr\xFC\xDF"
                         "e"),
              std::string::npos);

    ASSERT_EQ(Pack({"extract", show, "--to", dir_ / "out"}).code, 0);
    // The runner's own hash of what its dialog sees in code page 1252.
    EXPECT_EQ(ReadWholeFile(dir_ / "out/show.ini"), "; keep me\n[Settings]\nPassword=1\nAlignmentX=" +
                                                        std::to_string(HashPassword("Gr\xFC\xDF"
                                                                                    "e")) +
                                                        "\nWidth=800\n");
    EXPECT_EQ(ReadWholeFile(dir_ / "show.ini"), "; keep me\n[Settings]\nPassword=0\nWidth=800\n");

    WriteWholeFile(dir_ / "pw.txt",
                   "\xEF\xBB\xBFGr\xC3\xBC\xC3\x9F"
                   "e\r\n");
    ASSERT_EQ(Pack({"pack", "--stub", dir_ / "stub.exe", "--out", dir_ / "file.exe", "--password-file", dir_ / "pw.txt",
                    dir_ / "movie.exe", dir_ / "show.ini"})
                  .code,
              0);
    ASSERT_EQ(Pack({"extract", dir_ / "file.exe", "--to", dir_ / "out2"}).code, 0);
    EXPECT_EQ(ReadWholeFile(dir_ / "out2/show.ini"), ReadWholeFile(dir_ / "out/show.ini"));
}

TEST_F(AuthoringTest, PackReportsTheIniAndStrictRefuses) {
    WriteWholeFile(dir_ / "movie.exe", "MZ");
    WriteWholeFile(dir_ / "show.ini", "[Settings]\nPassword=0\nFullScreen=yes\n");
    const std::string out = dir_ / "show.exe";
    ToolRun run = Pack({"pack", "--stub", dir_ / "stub.exe", "--out", out, dir_ / "movie.exe", dir_ / "show.ini"});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.output, "quindle-pack: warning: " + dir_ / "show.ini" +
                              ":3: FullScreen='yes' is not a number: the runner reads the default 0\n");
    std::filesystem::remove(out);
    run = Pack({"pack", "--strict", "--stub", dir_ / "stub.exe", "--out", out, dir_ / "movie.exe", dir_ / "show.ini"});
    EXPECT_EQ(run.code, 1) << run.output;
    EXPECT_FALSE(testing::Exists(out));
    EXPECT_FALSE(testing::Exists(out + ".partial"));

    const struct {
        std::vector<std::string> args;
        const char* message;
    } bad[] = {
        {{"--password", "x", dir_ / "movie.exe"}, "--password needs a project ini"},
        {{"--password", "\xC4\x80", dir_ / "movie.exe", dir_ / "show.ini"}, "has no place in code page 1252"},
        {{"--password", "x", "--password-file", dir_ / "show.ini", dir_ / "show.ini"}, "give the password once"},
        {{"--codepage", "0", dir_ / "show.ini"}, "--codepage"},
    };
    for (const auto& c : bad) {
        std::vector<std::string> args = {"pack", "--stub", dir_ / "stub.exe", "--out", out};
        args.insert(args.end(), c.args.begin(), c.args.end());
        run = Pack(args);
        EXPECT_EQ(run.code, 2) << run.output;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
        EXPECT_FALSE(testing::Exists(out));
    }
}

TEST_F(AuthoringTest, InfoShowsWhatTheShowWillDo) {
    std::filesystem::create_directories(dir_ / "in/docs");
    WriteWholeFile(dir_ / "in/Movie.exe", "MZ");
    WriteWholeFile(dir_ / "in/hook.dll", "MZ");
    WriteWholeFile(dir_ / "in/song.mid", "MThd");
    WriteWholeFile(dir_ / "in/docs/caf\xC3\xA9.txt", "text");  // UTF-8, as the host names it
    WriteWholeFile(dir_ / "in/show.ini", "[Settings]\nPassword=0\nMidi=1\nSound=2\nNoTitle=7\nWidth=800\n");
    const std::string show = dir_ / "Tour.EXE";
    ASSERT_EQ(Pack({"pack", "--stub", dir_ / "stub.exe", "--out", show, dir_ / "in"}).code, 0);
    const std::string json = Json({"info", show, "--json"});
    EXPECT_NE(json.find("\"projector\": \"movie.exe\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"hookLibrary\": \"hook0.dll\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"music\": null"), std::string::npos) << json;  // Midi=1: never extracted
    EXPECT_NE(json.find("\"settingsIni\": \"show.ini\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"tagFolders\": [\n    \"docs\"\n  ]"), std::string::npos) << json;
    EXPECT_NE(json.find("<run>\\\\docs\\\\caf\xC3\xA9.txt"), std::string::npos) << json;  // 1252 decoded
    const auto value = [&json](const std::string& key) {
        const std::vector<std::string> v = All(json, "\"key\": \"" + key + "\",\n\\s*\"value\": (null|\"[^\"]*\")");
        return v.empty() ? std::string("?") : v[0];
    };
    EXPECT_EQ(value("Zantic Screen Name"), "\"Tour\"");
    EXPECT_EQ(value("Width"), "\"800\"");
    EXPECT_EQ(value("Height"), "\"480\"");
    EXPECT_EQ(value("NoTitle"), "\"0\"");
    EXPECT_EQ(value("ExitOnESC"), "\"1\"");
    EXPECT_EQ(value("Midi"), "\"1\"");
    EXPECT_EQ(value("Sound"), "null");
    EXPECT_NE(json.find("\"userChoice\": \"Mute\""), std::string::npos);

    const std::string cyrillic = Json({"list", show, "--json", "--codepage", "1251"});
    EXPECT_NE(cyrillic.find("caf\xD0\xB9.txt"), std::string::npos) << cyrillic;

    const ToolRun text = Pack({"info", show});
    EXPECT_EQ(text.code, 0);
    EXPECT_NE(text.output.find("Sound                    left to the user: registry value \"Mute\""), std::string::npos)
        << text.output;
}

}  // namespace
}  // namespace quindle
