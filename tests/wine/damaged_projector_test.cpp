// A projector whose data is not whole: damaged near the end of its zlib stream or in its
// Adler-32, or holding more than its header's size (where a reader that stops at the
// size writes a projector a byte short and starts it). The runner refuses it with the
// entry's name before anything starts (the stand-in never reports), and leaves nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <ostream>

#include "package/SessionArchive.h"
#include "tests/harness/Harness.h"
#include "tests/harness/Presentation.h"

namespace harness {
namespace {

using quindle::TSessionEntryHeader;
using quindle::TSessionTrailer;

// The projector's entry: the first of the last session.
struct ProjectorEntry {
    size_t HeaderAt = 0;
    quindle::TEntryHeaderInfo Info;
    size_t DataEnd() const { return HeaderAt + sizeof(TSessionEntryHeader) + Info.StoredSize; }
};

std::optional<ProjectorEntry> FindProjector(const std::string& show) {
    TSessionTrailer trailer;
    std::memcpy(&trailer, show.data() + show.size() - sizeof trailer, sizeof trailer);
    quindle::TSessionTrailerInfo session;
    if (!quindle::DecodeTrailer(trailer, session)) return std::nullopt;
    TSessionEntryHeader header;
    std::memcpy(&header, show.data() + session.SessionStart, sizeof header);
    ProjectorEntry entry{session.SessionStart, {}};
    if (!quindle::DecodeEntryHeader(header, entry.Info) || entry.Info.FileName != "standin.exe") return std::nullopt;
    return entry;
}

struct ProjectorDamage {
    const char* name;
    void (*damage)(std::string& show, const ProjectorEntry& projector);
    // What the message says is wrong; empty where it depends on the projector's data.
    std::string (*fault)(const ProjectorEntry& projector);
};
void PrintTo(const ProjectorDamage& d, std::ostream* os) { *os << d.name; }

const ProjectorDamage kProjectorDamages[] = {
    {"EightBytesBeforeTheEnd", [](std::string& show, const ProjectorEntry& p) { show[p.DataEnd() - 8] ^= 0x01; },
     [](const ProjectorEntry&) { return std::string(); }},
    {"InItsAdler32", [](std::string& show, const ProjectorEntry& p) { show[p.DataEnd() - 1] ^= 0x01; },
     [](const ProjectorEntry&) { return std::string("its zlib stream is damaged (incorrect data check)"); }},
    // A header (checksum and all) claiming a byte less than the stream holds: the whole
    // stream must come out, and exactly Size bytes with it.
    {"SizeShortOfItsStream",
     [](std::string& show, const ProjectorEntry& p) {
         quindle::TEntryHeaderInfo info = p.Info;
         info.Size -= 1;
         const TSessionEntryHeader header = quindle::EncodeEntryHeader(info);
         std::memcpy(&show[p.HeaderAt], &header, sizeof header);
     },
     [](const ProjectorEntry& p) {
         return "its zlib stream holds more than " + std::to_string(p.Info.Size - 1) + " bytes";
     }},
};

class DamagedProjector : public ::testing::TestWithParam<ProjectorDamage> {};

TEST_P(DamagedProjector, IsRefusedBeforeAnythingStarts) {
    const ProjectorDamage& d = GetParam();
    PresentationSpec spec;
    spec.Name = std::string("Projector") + d.name;
    Presentation show(spec);
    ASSERT_TRUE(show.Packed()) << show.PackOutput();

    // Intact, the show starts its projector, which reports.
    Program intact = show.Start();
    const HWND window = WaitForShow(intact);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(CloseShow(window, intact), std::optional<DWORD>(0));
    ASSERT_TRUE(FileExists(show.ReportPath()));
    ASSERT_TRUE(::DeleteFileA(show.ReportPath().c_str()));

    std::string bytes = ReadFile(show.ExePath());
    const std::optional<ProjectorEntry> projector = FindProjector(bytes);
    ASSERT_TRUE(projector.has_value());
    d.damage(bytes, *projector);
    ASSERT_TRUE(WriteFile(show.ExePath(), bytes));

    Program runner = show.Start();
    const auto box = WaitForDialog(runner.Pid());
    ASSERT_TRUE(box.has_value()) << "no message box";
    EXPECT_EQ(box->Caption, "Error");
    const std::string prefix = "Exception occured: Extract error on entry \"standin.exe\" of " + show.ExePath() + ": ";
    EXPECT_EQ(box->Text.substr(0, prefix.size()), prefix) << box->Text;
    const std::string fault = d.fault(*projector);
    if (!fault.empty()) {
        EXPECT_EQ(box->Text, prefix + fault);
    }
    EXPECT_TRUE(PressButton(*box, "OK"));
    EXPECT_EQ(runner.WaitExit(), std::optional<DWORD>(0));
    EXPECT_FALSE(FileExists(show.ReportPath())) << "the damaged projector started";
    EXPECT_TRUE(WaitUntil([&] { return ListDir(show.Temp()).empty(); }, 5000))
        << "left in the temporary folder: " << (ListDir(show.Temp()).empty() ? "" : ListDir(show.Temp()).front());
}

INSTANTIATE_TEST_SUITE_P(Runner, DamagedProjector, ::testing::ValuesIn(kProjectorDamages),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace harness
