// quindle-pack at its edges: one table of bad inputs, each refused with its exit code
// and a message a person can act on, every file it was given left as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>

#include "package/SessionArchive.h"
#include "package_archive_builder.h"
#include "package_test_support.h"
#include "pack_tool_support.h"

namespace quindle {
namespace {

namespace fs = std::filesystem;
using testing::Pack;
using testing::PatternText;
using testing::ReadWholeFile;
using testing::TempDir;
using testing::ToolRun;
using testing::WriteWholeFile;

// FNV-1a, 64 bits, as hex.
std::string Hash(const std::string& bytes) {
    uint64_t h = 0xcbf29ce484222325ULL;
    for (unsigned char c : bytes) h = (h ^ c) * 0x100000001b3ULL;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

// Every file below folder with the hash of its bytes.
std::map<std::string, std::string> Hashes(const std::string& folder) {
    std::map<std::string, std::string> hashes;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(folder))
        if (e.is_regular_file()) hashes[e.path().string()] = Hash(ReadWholeFile(e.path().string()));
    return hashes;
}

std::string Utf16Le(const std::string& ascii, bool mark) {
    std::string out = mark ? "\xFF\xFE" : "";
    for (char c : ascii) out += std::string(1, c) + '\0';
    return out;
}

// Offset just after the stored data of the named entry of the session ending the file.
size_t StoredEnd(const std::string& show, const std::string& name) {
    TSessionTrailer raw;
    std::memcpy(&raw, show.data() + show.size() - sizeof raw, sizeof raw);
    TSessionTrailerInfo trailer;
    if (!DecodeTrailer(raw, trailer)) return 0;
    for (size_t at = trailer.SessionStart; at + sizeof(TSessionEntryHeader) <= show.size();) {
        TSessionEntryHeader header;
        std::memcpy(&header, show.data() + at, sizeof header);
        TEntryHeaderInfo entry;
        if (!DecodeEntryHeader(header, entry)) return 0;
        at += sizeof header + entry.StoredSize;
        if (entry.FileName == name) return at;
    }
    return 0;
}

class PackRefusals : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(testing::PackTool())) << "build quindle-pack first";
        Write("stub.exe", std::string(6000, 'M'));
        Write("show.exe", PatternText(5000, 3));
        Write("second.exe", PatternText(300, 8));
        Write("show.ini", "[Settings]\r\nPassword=0\r\n");
        Write("demo.mid", PatternText(20000, 4));
        Write("show.partial", "an author's file that happens to carry this name");
        const ToolRun packed = Pack(
            {"pack", "--stub", P("stub.exe"), "--out", P("packed.exe"), P("show.exe"), P("show.ini"), P("demo.mid")});
        ASSERT_EQ(packed.code, 0) << packed.output;
        std::string show = ReadWholeFile(P("packed.exe"));
        // A show whose music changed in its Adler-32, the last byte of its zlib stream.
        std::string damaged = show;
        const size_t end = StoredEnd(show, "demo.mid");
        ASSERT_NE(end, 0u);
        damaged[end - 1] ^= 0x01;
        Write("damaged.exe", damaged);
        Write("cut.exe", show.substr(0, 6000 + (show.size() - 6000) / 2));
        fs::create_hard_link(P("show.ini"), P("link.ini"));
        fs::create_directories(P("outdir"));
        fs::create_directories(P("withshow"));
        fs::copy_file(P("show.exe"), P("withshow/show.exe"));
        fs::copy_file(P("packed.exe"), P("withshow/old.exe"));
        fs::create_directories(P("dup"));
        Write("dup/show.exe", "MZ");
        Write("dup/X.mid", "one");
        Write("dup/x.mid", "two");
        for (const char* name : {"con.mid", "aux", "lpt1.txt", "a?b.mid", "x<y.txt", "trail.mid.", "trail.mid ",
                                 "\xE6\x97\xA5\xE6\x9C\xAC.txt"})
            Write(name, "data");
        Write("utf16.ini", Utf16Le("[Settings]\r\nPassword=0\r\n", true));
        Write("utf16-nomark.ini", Utf16Le("[Settings]\r\nPassword=0\r\n", false));
        Write("utf8-mark.ini", "\xEF\xBB\xBF[Settings]\r\nPassword=0\r\n");
        Write("utf8-japanese.ini", "[Settings]\r\nPassword=0\r\nZantic Screen Name=\xE6\x97\xA5\xE6\x9C\xAC\r\n");
        Write("pw-latin1.txt",
              "Gr\xFC\xDF"
              "e\n");
    }
    std::string P(const std::string& name) const { return dir_ / name; }
    void Write(const std::string& name, const std::string& bytes) const { WriteWholeFile(P(name), bytes); }
    // pack onto the clean stub into out.exe, with the rest of the arguments.
    std::vector<std::string> PackArgs(std::vector<std::string> rest) const {
        std::vector<std::string> args = {"pack", "--stub", P("stub.exe"), "--out", P("out.exe")};
        args.insert(args.end(), rest.begin(), rest.end());
        return args;
    }
    TempDir dir_;
};

TEST_F(PackRefusals, EachBadInputIsRefusedWithItsReasonAndChangesNothing) {
    const std::string exe = P("show.exe"), ini = P("show.ini"), mid = P("demo.mid");
    const std::string dots = "is dots and blanks only";
    const struct {
        std::vector<std::string> args;
        int code;
        std::string message;  // a fragment of what the command prints
        int lines;            // lines it prints
    } cases[] = {
        // pack never writes over what it reads, however the path is spelled.
        {{"pack", "--stub", P("stub.exe"), "--out", P("stub.exe"), exe, ini}, 2, "would write over the stub", 1},
        {{"pack", "--stub", P("stub.exe"), "--out", ini, exe, ini}, 2, "would write over the input " + ini, 1},
        {{"pack", "--stub", P("stub.exe"), "--out", P("link.ini"), exe, ini},
         2,
         "would write over the input " + ini,
         1},
        {{"pack", "--stub", P("stub.exe"), "--out", P("outdir/../show.exe"), exe, ini},
         2,
         "would write over the input " + exe,
         1},
        {{"pack", "--stub", P("stub.exe"), "--out", P("show"), exe, ini, P("show.partial")},
         2,
         "--out " + P("show") + " (through its temporary file) would write over the input " + P("show.partial"),
         1},
        {{"pack", "--stub", P("stub.exe"), "--out", P("outdir"), exe, ini}, 2, "is a folder", 1},
        {{"pack", "--stub", P("packed.exe"), "--out", P("out.exe"), exe, ini},
         2,
         "already holds a session (\"Session1\"): pack onto a clean runner, or give --add-session",
         1},
        {PackArgs({P("withshow")}), 2, P("withshow/old.exe") + " is a packaged show (an earlier output?)", 1},
        // Shows the runner cannot run.
        {PackArgs({ini, mid}), 2, "no program among the inputs", 1},
        {PackArgs({"--strict", exe, P("second.exe"), ini}), 1, "the runner starts only the last, " + P("second.exe"),
         2},
        {PackArgs({P("dup")}), 2, "would both be written to <run>\\x.mid", 1},
        {PackArgs({exe, mid, mid}), 2, "would both be written to <run>\\demo.mid", 1},
        // Names Windows cannot create, or the code page cannot hold.
        {PackArgs({exe, P("con.mid")}), 2, "file name \"con.mid\" is the name of a Windows device", 1},
        {PackArgs({exe, P("aux")}), 2, "file name \"aux\" is the name of a Windows device", 1},
        {PackArgs({exe, P("lpt1.txt")}), 2, "file name \"lpt1.txt\" is the name of a Windows device", 1},
        {PackArgs({exe, P("a?b.mid")}), 2, "file name \"a?b.mid\" holds the character '?'", 1},
        {PackArgs({exe, P("x<y.txt")}), 2, "file name \"x<y.txt\" holds the character '<'", 1},
        {PackArgs({exe, P("trail.mid.")}), 2, "\"trail.mid.\" ends in a dot or a blank, which Windows drops", 1},
        {PackArgs({exe, P("trail.mid ")}), 2, "\"trail.mid \" ends in a dot or a blank, which Windows drops", 1},
        {PackArgs({exe, P("\xE6\x97\xA5\xE6\x9C\xAC.txt")}), 2, "'\xE6\x97\xA5' has no place in code page 1252", 1},
        {PackArgs({exe, "--tag", "media\\con", mid}), 2, "'con' is the name of a Windows device", 1},
        {PackArgs({exe, "--tag", "a:b", mid}), 2, "'a:b' holds the character ':'", 1},
        {PackArgs({exe, "--tag", "..\\up", mid}), 2, "'..' " + dots, 1},
        {PackArgs({exe, "--tag", std::string(256, 't'), mid}), 2, "tag over 255 characters", 1},
        // Passwords nobody can use.
        {PackArgs({"--password", "", exe, ini}), 2, "the password is empty or blank", 1},
        {PackArgs({"--password", "   ", exe, ini}), 2, "the password is empty or blank", 1},
        {PackArgs({"--password", "CanCel", exe, ini}), 2, "hashes like the dialog's Cancel", 1},
        {PackArgs({"--password", std::string(1500, 'p'), exe, ini}), 2,
         "is 1500 bytes long in code page 1252: the password dialog takes at most 1023", 1},
        {PackArgs({"--password-file", P("pw-latin1.txt"), exe, ini}), 2,
         "the password in " + P("pw-latin1.txt") + ": text is not valid UTF-8", 1},
        {PackArgs({"--password", "x", exe}), 2, "--password needs a project ini", 1},
        // Ini files the runner cannot read.
        {PackArgs({exe, P("utf16.ini")}), 2, "UTF-16 text (little-endian, with a byte order mark)", 1},
        {PackArgs({"--password", "x", exe, P("utf16-nomark.ini")}), 2,
         "UTF-16 text (little-endian, without a byte order mark): the runner reads it as bytes and stops at its "
         "first zero byte, so it sees no setting; save it as code page 1252 text",
         1},
        {PackArgs({exe, P("utf8-mark.ini")}), 2, "begins with a UTF-8 byte order mark", 1},
        {PackArgs({exe, P("utf8-japanese.ini")}), 2, "'\xE6\x97\xA5' has no place in code page 1252", 1},
        // Bad use.
        {{"pack", "--stub", P("nostub.exe"), "--out", P("out.exe"), exe}, 2, "stub not found", 1},
        {{"pack", "--out", P("out.exe"), exe}, 2, "missing --stub", 1},
        {PackArgs({P("missing.txt")}), 2, "input not found", 1},
        {PackArgs({"--session", std::string(64, 's'), exe}), 2, "session name of 64 or more characters", 1},
        {PackArgs({"--level", "13", exe}), 2, "--level", 1},
        {{"hash-password", "x", "--codepage", "-h"}, 2, "--codepage takes a number", 1},
        {{"frobnicate"}, 2, "unknown command", 1},
        // extract never replaces a file unless told, and never loses one.
        {{"extract", P("packed.exe"), "--to", dir_.Path()},
         2,
         "3 file(s) of the show are in " + dir_.Path() + " already: nothing written (--force replaces them)",
         4},
        {{"extract", P("damaged.exe"), "--to", dir_.Path(), "--force"},
         1,
         "Extract error on entry \"demo.mid\" of " + P("damaged.exe") +
             ": its zlib stream is damaged (incorrect data "
             "check)",
         1},
        // Damaged shows, named for what they are.
        {{"verify", P("damaged.exe")}, 1, "Extract error on entry \"demo.mid\"", 1},
        {{"verify", P("cut.exe")},
         1,
         "Session not found on extract from " + P("cut.exe") +
             ": the file ends inside its session (cut short, or its trailer damaged)",
         1},
        {{"list", P("cut.exe")}, 1, "the file ends inside its session", 1},
        {{"extract", P("cut.exe"), "--to", P("fresh")}, 1, "the file ends inside its session", 1},
        {{"verify", P("outdir")}, 1, "Cannot open file " + P("outdir") + ": it is a folder", 1},
        {{"info", P("outdir")}, 1, "it is a folder", 1},
    };
    for (const auto& c : cases) {
        const std::map<std::string, std::string> before = Hashes(dir_.Path());
        const ToolRun run = Pack(c.args);
        std::string command;
        for (const std::string& a : c.args) command += " " + a.substr(0, 40);
        EXPECT_EQ(run.code, c.code) << command << "\n" << run.output;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << command << "\n" << run.output;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), c.lines) << command << "\n" << run.output;
        // Nothing written, nothing changed, nothing removed.
        EXPECT_EQ(Hashes(dir_.Path()), before) << command;
        EXPECT_FALSE(fs::exists(P("fresh"))) << command;
    }
}

// check tells what an ini that pack refuses is, and how to save it.
TEST_F(PackRefusals, CheckSaysWhatAnIniIsAndHowToSaveIt) {
    const struct {
        const char* file;
        std::string report;
        int lines;  // the other lines say what the runner then makes of the file
    } cases[] = {
        {"utf16.ini",
         ": the file is UTF-16 text (little-endian, with a byte order mark): the runner reads it as bytes and stops at "
         "its first zero byte, so it sees no setting; save it as code page 1252 text\n",
         1},
        {"utf16-nomark.ini", ": the file is UTF-16 text (little-endian, without a byte order mark)", 1},
        {"utf8-mark.ini",
         ":1: the file begins with a UTF-8 byte order mark, so the runner does not see a section header on its first "
         "line: save it as code page 1252 text (without the mark)\n",
         3},
    };
    for (const auto& c : cases) {
        const ToolRun run = Pack({"check", P(c.file)});
        EXPECT_EQ(run.code, 1) << c.file;
        EXPECT_NE(run.output.find(P(c.file) + c.report), std::string::npos) << run.output;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), c.lines) << run.output;
    }
}

// A value is a value, whatever it spells: "-h" after --password is the password.
TEST_F(PackRefusals, AnOptionsValueIsNeverTakenForHelp) {
    const ToolRun run = Pack(PackArgs({"--password", "-h", P("show.exe"), P("show.ini")}));
    EXPECT_EQ(run.code, 0) << run.output;
    EXPECT_EQ(run.output, "");
    ASSERT_EQ(Pack({"extract", P("out.exe"), "--to", P("out")}).code, 0);
    EXPECT_NE(ReadWholeFile(P("out/show.ini")).find("Password=1"), std::string::npos);
    EXPECT_EQ(Pack({"pack", "-h"}).output.find("usage: quindle-pack pack"), 0u);
}

// The refusals leave room for what is legitimate: a second session on purpose, several
// programs with a warning, UTF-8 texts converted with a note.
TEST_F(PackRefusals, WhatIsMeantIsPackedWithANote) {
    ToolRun run = Pack({"pack", "--stub", P("packed.exe"), "--out", P("two.exe"), "--add-session", "--session", "Other",
                        P("show.exe")});
    EXPECT_EQ(run.code, 0) << run.output;
    run = Pack(PackArgs({P("show.exe"), P("second.exe"), P("show.ini")}));
    EXPECT_EQ(run.code, 0) << run.output;
    EXPECT_EQ(run.output, "quindle-pack: warning: 2 programs among the inputs (" + P("show.exe") + ", " +
                              P("second.exe") + "): the runner starts only the last, " + P("second.exe") + "\n");

    Write("utf8.ini",
          "[Settings]\r\nPassword=0\r\nZantic Screen Name=Gr\xC3\xBC\xC3\x9F"
          "e\r\n");
    Write(
        "Gr\xC3\xBC\xC3\x9F"
        "e.dxr",
        "movie");
    fs::remove(P("out.exe"));
    run = Pack(PackArgs({P("show.exe"), P("utf8.ini"), "--tag",
                         "F\xC3\xBC\xC3\x9F"
                         "e",
                         P("Gr\xC3\xBC\xC3\x9F"
                           "e.dxr")}));
    EXPECT_EQ(run.code, 0) << run.output;
    EXPECT_EQ(run.output,
              "quindle-pack: note: " + P("utf8.ini") + " is UTF-8 text: packed converted to code page 1252\n");
    const std::string show = ReadWholeFile(P("out.exe"));
    // Stored in code page 1252, as the runner will write and the movie will look for them.
    EXPECT_NE(show.find("Gr\xFC\xDF"
                        "e.dxr"),
              std::string::npos);
    EXPECT_NE(show.find("F\xFC\xDF"
                        "e"),
              std::string::npos);
    EXPECT_EQ(show.find("Gr\xC3\xBC"), std::string::npos);
    run = Pack({"list", P("out.exe")});
    EXPECT_NE(run.output.find("Gr\xC3\xBC\xC3\x9F"
                              "e.dxr"),
              std::string::npos)
        << run.output;
    ASSERT_EQ(Pack({"extract", P("out.exe"), "--to", P("out")}).code, 0);
    EXPECT_EQ(ReadWholeFile(P("out/F\xC3\xBC\xC3\x9F"
                              "e/Gr\xC3\xBC\xC3\x9F"
                              "e.dxr")),
              "movie");
    EXPECT_EQ(ReadWholeFile(P("out/utf8.ini")),
              "[Settings]\r\nPassword=0\r\nZantic Screen Name=Gr\xFC\xDF"
              "e\r\n");
}

// With --force an existing file is replaced by what the show holds; the rest stays.
TEST_F(PackRefusals, ExtractReplacesOnlyWithForce) {
    Write("demo.mid", "the author's own tune");
    ASSERT_EQ(Pack({"extract", P("packed.exe"), "--to", dir_.Path(), "--force"}).code, 0);
    EXPECT_EQ(ReadWholeFile(P("demo.mid")), PatternText(20000, 4));
    EXPECT_EQ(ReadWholeFile(P("show.exe")), PatternText(5000, 3));
    for (const fs::directory_entry& e : fs::directory_iterator(dir_.Path()))
        EXPECT_EQ(e.path().string().find(".quindle-partial"), std::string::npos) << e.path();
}

}  // namespace
}  // namespace quindle
