// A packaged presentation damaged after packing (cut short, a flipped header byte, a
// trailer pointing past the end of the file): the runner reports the extractor's own
// message, ends with its exit code and leaves nothing in the temporary folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>

#include "package/SessionArchive.h"
#include "tests/harness/Harness.h"
#include "tests/harness/Presentation.h"

namespace harness {
namespace {

using quindle::TSessionEntryHeader;
using quindle::TSessionTrailer;

// The packaged file's bytes with the session's layout at hand.
struct PackedBytes {
    std::string Bytes;
    size_t TrailerAt() const { return Bytes.size() - sizeof(TSessionTrailer); }
    TSessionTrailer Trailer() const {
        TSessionTrailer raw;
        std::memcpy(&raw, Bytes.data() + TrailerAt(), sizeof raw);
        return raw;
    }
    size_t SessionStart() const {
        quindle::TSessionTrailerInfo info;
        return quindle::DecodeTrailer(Trailer(), info) ? info.SessionStart : 0;
    }
};

struct DamageCase {
    const char* name;
    void (*damage)(PackedBytes& file);
    const char* caption;
    const char* message;  // the box's text; "{show}" stands for the packaged file's path
    DWORD exitCode;
};
void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }

const DamageCase kDamages[] = {
    // An interrupted copy: the end of the session and its trailer are missing.
    {"CutShort", [](PackedBytes& f) { f.Bytes.resize(f.SessionStart() + (f.TrailerAt() - f.SessionStart()) / 2); },
     "Application Error",
     "Session not found on extract from {show}: the file ends inside its session (cut short, or its trailer damaged)",
     1},
    // The first entry header (the projector's) no longer matches its checksum.
    {"FlippedEntryHeaderByte", [](PackedBytes& f) { f.Bytes[f.SessionStart() + 8] ^= 0x20; }, "Application Error",
     "File prefix format error on extract from {show}", 1},
    // A valid trailer whose session starts beyond the end of the file.
    {"TrailerPastTheEnd",
     [](PackedBytes& f) {
         quindle::TSessionTrailerInfo info;
         ASSERT_TRUE(quindle::DecodeTrailer(f.Trailer(), info));
         info.SessionStart = uint32_t(f.Bytes.size() + 4096);
         const TSessionTrailer raw = quindle::EncodeTrailer(info);
         std::memcpy(&f.Bytes[f.TrailerAt()], &raw, sizeof raw);
     },
     "Application Error", "Stream read error on extract from {show}: the file ends inside its session", 1},
    // The projector's zlib header: found only when the run directory is filled.
    {"FlippedZlibHeaderByte",
     [](PackedBytes& f) { f.Bytes[f.SessionStart() + sizeof(TSessionEntryHeader) + 1] ^= 0x01; }, "Error",
     "Exception occured: Extract error on entry \"standin.exe\" of {show}: its zlib stream is damaged (incorrect "
     "header check)",
     0},
};

class DamagedProgram : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedProgram, ReportsTheExtractorsMessageAndLeavesNothing) {
    const DamageCase& c = GetParam();
    PresentationSpec spec;
    spec.Name = std::string("Damaged") + c.name;
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();
    PackedBytes file{ReadFile(show.ExePath())};
    ASSERT_NE(file.SessionStart(), 0u);
    c.damage(file);
    ASSERT_TRUE(WriteFile(show.ExePath(), file.Bytes));

    Program runner = show.Start();
    const auto box = WaitForDialog(runner.Pid());
    ASSERT_TRUE(box.has_value()) << "no message box";
    EXPECT_EQ(box->Caption, c.caption);
    std::string message = c.message;
    message.replace(message.find("{show}"), 6, show.ExePath());
    EXPECT_EQ(box->Text, message);
    EXPECT_TRUE(PressButton(*box, "OK"));
    EXPECT_EQ(runner.WaitExit(), std::optional<DWORD>(c.exitCode));
    EXPECT_TRUE(WaitUntil([&] { return ListDir(show.Temp()).empty(); }, 5000))
        << "left in the temporary folder: " << (ListDir(show.Temp()).empty() ? "" : ListDir(show.Temp()).front());
    EXPECT_EQ(::GlobalFindAtomA(("aakq " + spec.Name + ".exe").c_str()), 0);
}

INSTANTIATE_TEST_SUITE_P(Runner, DamagedProgram, ::testing::ValuesIn(kDamages),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace harness
