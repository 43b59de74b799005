// TSessionExtractor end to end over real archive files: sessions, routing through
// OnFile, progress and cancel, the repositioning after compressed entries, file
// times and every failure message.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>

#include "FakeRunDirFiles.h"
#include "package/ExtractionRouting.h"
#include "package/SessionExtractor.h"
#include "package_archive_builder.h"
#include "package_test_support.h"
#include "error_text.h"

namespace quindle {
namespace {

using testing::ArchiveBuilder;
using testing::MemoryDestination;
using testing::PatternText;
using testing::ReadWholeFile;
using testing::TempDir;
using testing::TestEntry;

class ExtractTest : public ::testing::Test {
protected:
    // Writes the archive and points an extractor at it, writing into out/.
    TSessionExtractor& Prepare(ArchiveBuilder& archive, IArchiveFileSystem& files) {
        archivePath_ = tmp_ / "show.exe";
        testing::WriteWholeFile(archivePath_, archive.Text());
        std::filesystem::create_directory(tmp_ / "out");
        extractor_ = std::make_unique<TSessionExtractor>(files);
        extractor_->UseOwnExecutable = false;
        extractor_->ArchiveFileName = archivePath_;
        extractor_->DestinationDir = tmp_ / "out";
        return *extractor_;
    }
    std::string Out(const std::string& name) const { return tmp_ / ("out/" + name); }
    // The path as the extractor names it: DestinationDir, a backslash, the name.
    std::string Named(const std::string& name) const { return tmp_ / "out" + "\\" + name; }
    std::string ErrorOf(const std::function<void()>& action) { return testing::ErrorOf<std::runtime_error>(action); }

    TempDir tmp_;
    std::string archivePath_;
    TPosixArchiveFileSystem disk_;
    std::unique_ptr<TSessionExtractor> extractor_;
};

TEST_F(ExtractTest, TakesTheNamedSessionOfTwoBackToBack) {
    ArchiveBuilder archive(4096);
    archive.AddSession("Session1", {{"a.txt", "first"}});
    archive.AddSession("Other", {{"b.txt", "second"}});
    TSessionExtractor& x = Prepare(archive, disk_);
    x.Extract("Session1");
    EXPECT_EQ(ReadWholeFile(Out("a.txt")), "first");
    EXPECT_FALSE(testing::Exists(Out("b.txt")));
    EXPECT_EQ(x.SessionTotal, 5);
    EXPECT_EQ(x.SessionDone, 5);
}

TEST_F(ExtractTest, RawUpTo108BytesAndZlibFrom109) {
    // A 108-byte entry whose bytes happen to be a zlib stream still comes out raw.
    const std::string stream = ArchiveBuilder::Deflate(PatternText(500));
    const std::string raw108 = (stream + std::string(108, 'p')).substr(0, 108);
    const std::string text109 = PatternText(109);
    ArchiveBuilder archive;
    archive.AddSession("Session1", {{"r.bin", raw108}, {"z.bin", text109}});
    const std::string bytes = archive.Text();
    EXPECT_NE(bytes.find(raw108), std::string::npos);
    EXPECT_EQ(bytes.find(text109), std::string::npos);
    Prepare(archive, disk_).Extract("Session1");
    EXPECT_EQ(ReadWholeFile(Out("r.bin")), raw108);
    EXPECT_EQ(ReadWholeFile(Out("z.bin")), text109);
}

TEST_F(ExtractTest, SessionNamesOf63CharactersWorkAnd64AreRefusedBeforeOpening) {
    const std::string name63(63, 'S');
    ArchiveBuilder archive;
    archive.AddSession(name63, {{"a.txt", "x"}});
    TSessionExtractor& x = Prepare(archive, disk_);
    x.Extract(name63);
    EXPECT_TRUE(testing::Exists(Out("a.txt")));
    x.ArchiveFileName = tmp_ / "missing.exe";
    EXPECT_EQ(ErrorOf([&] { x.Extract(std::string(64, 'S')); }), "Session name too long");
    EXPECT_EQ(ErrorOf([&] { x.Extract(name63); }), "Cannot open file " + tmp_ / "missing.exe");
}

TEST_F(ExtractTest, ATrailerWithAWrongChecksumIsNotASession) {
    ArchiveBuilder archive(3000);
    const size_t at = archive.AddSession("Session1", {{"a.txt", "x"}});
    archive.Bytes()[at + 212] += 1;
    for (bool scan : {true, false}) {
        TSessionExtractor& x = Prepare(archive, disk_);
        x.ScanForTrailer = scan;
        // Its entries are there, its end is not: said so, after the message the runner always gives.
        EXPECT_EQ(ErrorOf([&] { x.Extract("Session1"); }),
                  "Session not found on extract from " + archivePath_ +
                      ": the file ends inside its session (cut short, or its trailer damaged)");
    }
}

TEST_F(ExtractTest, WithoutBackwardSearchOnlyTheLastWindowCounts) {
    ArchiveBuilder archive(3000);
    archive.AddSession("Session1", {{"a.txt", "x"}});
    archive.AppendRaw("tail");
    TSessionExtractor& x = Prepare(archive, disk_);
    x.ScanForTrailer = false;
    EXPECT_EQ(ErrorOf([&] { x.Extract("Session1"); }), "Session not found on extract from " + archivePath_);
    x.ScanForTrailer = true;
    x.Extract("Session1");
    EXPECT_EQ(ReadWholeFile(Out("a.txt")), "x");
}

struct ProgressLog {
    std::vector<std::string> events;
    void Attach(TSessionExtractor& x) {
        x.OnProgress = [this](TSessionExtractor&, const std::string& name, int32_t percent, bool&) {
            events.push_back("S " + name + " " + std::to_string(percent));
        };
        x.OnFileProgress = [this](TSessionExtractor&, const std::string& name, int32_t percent, bool&) {
            events.push_back("F " + name + " " + std::to_string(percent));
        };
    }
};

TEST_F(ExtractTest, SkippingEveryEntryStillWalksAllHeadersAndReportsProgress) {
    ArchiveBuilder archive;
    archive.AddSession("Session1", {{"a.bin", PatternText(300)}, {"b.txt", "0123456789"}, {"c.bin", PatternText(90)}});
    MemoryDestination memory;
    TSessionExtractor& x = Prepare(archive, memory);
    ProgressLog log;
    log.Attach(x);
    x.OnFile = [](TSessionExtractor&, std::string&, std::string&, bool& skip) { skip = true; };
    x.Extract("Session1");
    EXPECT_TRUE(memory.created.empty());
    EXPECT_EQ(log.events, (std::vector<std::string>{"S a.bin 0", "S a.bin 75", "S b.txt 75", "S b.txt 78", "S c.bin 78",
                                                    "S c.bin 100"}));
}

TEST_F(ExtractTest, RenameInOnFileWritesTheNewNameAndReportsIt) {
    ArchiveBuilder archive;
    archive.AddSession("Session1", {{"a.txt", "data"}});
    TSessionExtractor& x = Prepare(archive, disk_);
    ProgressLog log;
    log.Attach(x);
    x.OnFile = [](TSessionExtractor&, std::string& name, std::string&, bool&) { name = "renamed.txt"; };
    x.Extract("Session1");
    EXPECT_EQ(ReadWholeFile(Out("renamed.txt")), "data");
    EXPECT_FALSE(testing::Exists(Out("a.txt")));
    EXPECT_EQ(log.events,
              (std::vector<std::string>{"S a.txt 0", "F renamed.txt 0", "F renamed.txt 100", "S renamed.txt 100"}));
    EXPECT_EQ(x.EntryName, "renamed.txt");
}

TEST_F(ExtractTest, DirGetsABackslashUnlessItEndsInColonOrBackslash) {
    const struct {
        const char* dir;
        const char* path;
    } cases[] = {{"D:", "D:a.txt"},
                 {"C:\\run\\", "C:\\run\\a.txt"},
                 {"C:\\run", "C:\\run\\a.txt"},
                 {"rel/dir", "rel/dir\\a.txt"},
                 {"", "a.txt"}};
    ArchiveBuilder archive;
    archive.AddSession("Session1", {{"a.txt", "data"}});
    for (const auto& c : cases) {
        MemoryDestination memory;
        TSessionExtractor& x = Prepare(archive, memory);
        const std::string dir = c.dir;
        x.OnFile = [dir](TSessionExtractor&, std::string&, std::string& d, bool&) { d = dir; };
        x.Extract("Session1");
        EXPECT_EQ(memory.created, std::vector<std::string>{c.path}) << c.dir;
    }
}

TEST_F(ExtractTest, EmptyDestinationDirSendsEntriesBackToTheirSourceDirectory) {
    std::filesystem::create_directory(tmp_ / "src");
    ArchiveBuilder archive;
    archive.AddSession("Session1", {{"a.txt", "back home", "", tmp_ / "src\\"}});
    TSessionExtractor& x = Prepare(archive, disk_);
    x.DestinationDir.clear();
    x.Extract("Session1");
    EXPECT_EQ(ReadWholeFile(tmp_ / "src/a.txt"), "back home");
}

TEST_F(ExtractTest, CancelInTheThirdChunkLeavesEarlierEntriesAndNoTraceOfTheThird) {
    ArchiveBuilder archive;
    archive.AddSession("Session1",
                       {{"a.txt", "first"}, {"b.bin", PatternText(5000)}, {"c.bin", PatternText(200000, 3)}});
    TSessionExtractor& x = Prepare(archive, disk_);
    int chunksOfC = 0;
    x.OnFileProgress = [&](TSessionExtractor& sender, const std::string& name, int32_t, bool& cancel) {
        if (name == "c.bin" && sender.EntryDone > 0 && ++chunksOfC == 3) cancel = true;
    };
    x.Extract("Session1");
    EXPECT_EQ(chunksOfC, 3);
    EXPECT_EQ(x.EntryDone, 3 * 65536);
    EXPECT_EQ(ReadWholeFile(Out("a.txt")), "first");
    EXPECT_EQ(ReadWholeFile(Out("b.bin")), PatternText(5000));
    EXPECT_FALSE(testing::Exists(Out("c.bin")));
}

TEST_F(ExtractTest, CancelBeforeTheFirstChunkDeletesTheNewFile) {
    ArchiveBuilder archive;
    archive.AddSession("Session1", {{"a.txt", "first"}});
    TSessionExtractor& x = Prepare(archive, disk_);
    x.OnFileProgress = [](TSessionExtractor&, const std::string&, int32_t, bool& cancel) { cancel = true; };
    x.Extract("Session1");
    EXPECT_FALSE(testing::Exists(Out("a.txt")));
}

TEST_F(ExtractTest, ACompressedEntryIsFollowedByItsStoredEndNotWhereInflateStopped) {
    // The stored size covers bytes after the zlib stream; the raw entry after it must
    // still be read from the right place.
    ArchiveBuilder archive;
    const std::string big = PatternText(70000);
    const std::string stream = ArchiveBuilder::Deflate(big) + "PADDINGPADDING";
    TEntryHeaderInfo header{"big.bin", "", "", uint32_t(big.size()), uint32_t(stream.size()), 7};
    TSessionEntryHeader raw = EncodeEntryHeader(header);
    archive.AppendRaw(std::string(reinterpret_cast<const char*>(&raw), sizeof raw) + stream);
    TEntryHeaderInfo small{"small.bin", "", "", 20, 20, 7};
    raw = EncodeEntryHeader(small);
    archive.AppendRaw(std::string(reinterpret_cast<const char*>(&raw), sizeof raw) + "twenty-raw-bytes-ok!");
    TSessionTrailerInfo trailer;
    trailer.EntryCount = 2;
    trailer.SessionTotal = uint32_t(big.size() + 20);
    trailer.SessionName = "Session1";
    TSessionTrailer t = EncodeTrailer(trailer);
    archive.AppendRaw(std::string(reinterpret_cast<const char*>(&t), sizeof t));
    Prepare(archive, disk_).Extract("Session1");
    EXPECT_EQ(ReadWholeFile(Out("big.bin")), big);
    EXPECT_EQ(ReadWholeFile(Out("small.bin")), "twenty-raw-bytes-ok!");
}

TEST_F(ExtractTest, ExtractedFilesCarryTheHeaderFileTimeExactly) {
    const uint64_t times[] = {0x01D9A1B2C3D4E5F7ULL, 116444736000000001ULL, 100000000000000000ULL};
    ArchiveBuilder archive;
    archive.AddSession("Session1", {{"a.txt", "x", "", "", times[0]},
                                    {"b.bin", PatternText(1000), "", "", times[1]},
                                    {"c.txt", "", "", "", times[2]}});
    Prepare(archive, disk_).Extract("Session1");
    EXPECT_EQ(testing::LastWriteFileTime(Out("a.txt")), times[0]);
    EXPECT_EQ(testing::LastWriteFileTime(Out("b.bin")), times[1]);
    EXPECT_EQ(testing::LastWriteFileTime(Out("c.txt")), times[2]);
    EXPECT_EQ(ReadWholeFile(Out("c.txt")), "");
}

TEST_F(ExtractTest, ASessionWithATotalOfZeroExtractsNothing) {
    ArchiveBuilder archive;
    archive.AddSession("Session1", {{"empty.txt", ""}});
    MemoryDestination memory;
    Prepare(archive, memory).Extract("Session1");
    EXPECT_TRUE(memory.created.empty());
}

TEST_F(ExtractTest, TheOwnExecutableIsTheArchiveByDefault) {
    ArchiveBuilder archive;
    archive.AddSession("Session1", {{"a.txt", "own"}});
    MemoryDestination memory;
    TSessionExtractor& x = Prepare(archive, memory);
    memory.ownPath = archivePath_;
    x.UseOwnExecutable = true;
    x.ArchiveFileName = "elsewhere";
    x.Extract("Session1");
    EXPECT_EQ(memory.files.at(Named("a.txt")).data, "own");
}

// Each case spoils the second of three entries; the first stays, nothing of the
// second remains.
struct FailureCase {
    const char* what;
    std::function<void(std::string& archive, size_t secondHeader)> spoil;
    std::function<std::string(const std::string& archivePath, const std::string& outDir)> message;
};

TEST_F(ExtractTest, FailuresCarryTheirMessagesAndLeaveNoUnfinishedFile) {
    const std::string second = PatternText(150000, 2);
    const FailureCase cases[] = {
        {"header checksum", [](std::string& a, size_t at) { a[at + 788] ^= 1; },
         [](const std::string& p, const std::string&) { return "File prefix format error on extract from " + p; }},
        {"header signature", [](std::string& a, size_t at) { a[at + 795] ^= 1; },
         [](const std::string& p, const std::string&) { return "File prefix format error on extract from " + p; }},
        {"corrupt deflate data", [](std::string& a, size_t at) { a[at + 796 + 2] = char(0xFF); },
         [](const std::string& p, const std::string&) {
             return "Extract error on entry \"b.bin\" of " + p + ": its zlib stream is damaged (invalid block type)";
         }},
        {"archive ends inside the stream", [](std::string& a, size_t at) { a.resize(at + 796 + 1000); },
         [](const std::string& p, const std::string&) {
             return "Extract error on entry \"b.bin\" of " + p + ": the file ends inside its data";
         }},
        {"header cut short by the trailer", [](std::string& a, size_t at) { a.resize(at + 700); },
         [](const std::string& p, const std::string&) { return "File prefix format error on extract from " + p; }},
    };
    for (const FailureCase& c : cases) {
        ArchiveBuilder archive;
        archive.AddSession("Session1", {{"a.txt", "first"}});
        std::string bytes = archive.Text();
        bytes.resize(bytes.size() - 220);  // rebuilt below around the spoiled entries
        ArchiveBuilder entries;
        entries.AddSession("x", {{"b.bin", second}, {"c.txt", "third"}});
        const size_t at = bytes.size();
        bytes += entries.Text().substr(0, entries.Size() - 220);
        TSessionTrailerInfo trailer;
        trailer.EntryCount = 3;
        trailer.SessionTotal = uint32_t(5 + second.size() + 5);
        trailer.SessionName = "Session1";
        c.spoil(bytes, at);
        TSessionTrailer t = EncodeTrailer(trailer);
        bytes.append(reinterpret_cast<const char*>(&t), sizeof t);

        ArchiveBuilder whole;
        whole.AppendRaw(bytes);
        TSessionExtractor& x = Prepare(whole, disk_);
        EXPECT_EQ(ErrorOf([&] { x.Extract("Session1"); }), c.message(archivePath_, tmp_ / "out")) << c.what;
        EXPECT_EQ(ReadWholeFile(Out("a.txt")), "first") << c.what;
        EXPECT_FALSE(testing::Exists(Out("b.bin"))) << c.what;
        std::filesystem::remove_all(tmp_ / "out");
    }
}

TEST_F(ExtractTest, DataEndingShortOfTheSizeIsAnExtractError) {
    // A zlib stream that inflates to less than Size, and a raw entry running into the
    // end of the file. For the latter the trailer has to come first: a stub reaching
    // to offset 1,828 puts it in the last window the backward search looks at.
    const std::string shortStream = ArchiveBuilder::Deflate(PatternText(200));
    const struct {
        uint32_t size;
        std::string stored;
        bool trailerFirst;
        const char* fault;
    } cases[] = {{5000, shortStream, false, "its zlib stream ends after 200 of 5000 bytes"},
                 {100, "only forty bytes are here in the file..", true, "the file ends inside its data"}};
    for (const auto& c : cases) {
        const size_t stub = c.trailerFirst ? 2048 - 220 : 0;
        const size_t start = stub + (c.trailerFirst ? 220 : 0);
        TSessionTrailerInfo trailer;
        trailer.SessionStart = uint32_t(start);
        trailer.EntryCount = 2;
        trailer.SessionTotal = 5 + c.size;
        trailer.SessionName = "Session1";
        const TSessionTrailer t = EncodeTrailer(trailer);
        const std::string trailerBytes(reinterpret_cast<const char*>(&t), sizeof t);

        ArchiveBuilder first;
        first.AddSession("x", {{"a.txt", "first"}});
        std::string entries = first.Text().substr(0, first.Size() - 220);
        TEntryHeaderInfo header{"b.bin", "", "", c.size, uint32_t(c.stored.size()), 0};
        const TSessionEntryHeader raw = EncodeEntryHeader(header);
        entries.append(reinterpret_cast<const char*>(&raw), sizeof raw);
        entries += c.stored;

        ArchiveBuilder whole(stub);
        whole.AppendRaw(c.trailerFirst ? trailerBytes + entries : entries + trailerBytes);
        TSessionExtractor& x = Prepare(whole, disk_);
        EXPECT_EQ(ErrorOf([&] { x.Extract("Session1"); }),
                  "Extract error on entry \"b.bin\" of " + archivePath_ + ": " + c.fault)
            << c.size;
        EXPECT_EQ(ReadWholeFile(Out("a.txt")), "first");
        EXPECT_FALSE(testing::Exists(Out("b.bin")));
    }
}

// The disk, with a count of the views of the archive it handed out.
class ViewCountingDisk : public TPosixArchiveFileSystem {
public:
    int views = 0;
    std::unique_ptr<IArchiveReader> OpenArchive(const std::string& path) override {
        return std::make_unique<Reader>(TPosixArchiveFileSystem::OpenArchive(path), views);
    }

private:
    class Reader : public IArchiveReader {
    public:
        Reader(std::unique_ptr<IArchiveReader> inner, int& views) : inner_(std::move(inner)), views_(views) {}
        uint64_t Size() override { return inner_->Size(); }
        void Seek(uint64_t position) override { inner_->Seek(position); }
        size_t Read(void* buffer, size_t count) override { return inner_->Read(buffer, count); }
        std::unique_ptr<IArchiveView> View(uint64_t position, size_t count) override {
            std::unique_ptr<IArchiveView> view = inner_->View(position, count);
            views_ += view ? 1 : 0;
            return view;
        }

    private:
        std::unique_ptr<IArchiveReader> inner_;
        int& views_;
    };
};

// Bytes deflate cannot shrink much.
std::string NoiseBytes(size_t size) {
    std::string s(size, '\0');
    uint64_t x = 0x9E3779B97F4A7C15ULL;
    for (char& c : s) {
        x ^= x << 13, x ^= x >> 7, x ^= x << 17;
        c = char(x >> 24);
    }
    return s;
}

// An entry whose stored data is large enough to be read through a mapping of the
// archive: whole, the raw entry after it read from the right place; changed in the
// middle of its stream, or cut short by the end of the file (where no view is made),
// refused with the fault named and no file left.
TEST_F(ExtractTest, EntriesReadThroughAMappingOfTheArchiveAreProvenAsAnyOther) {
    const std::string movie = NoiseBytes(3u << 20);
    const std::string stored = ArchiveBuilder::Deflate(movie);
    const struct {
        const char* what;
        std::function<void(std::string& entryData)> spoil;
        const char* fault;  // empty: extracted whole
        int views;
    } cases[] = {{"whole", [](std::string&) {}, "", 1},
                 {"changed", [](std::string& d) { d[d.size() / 2] ^= 0x10; }, "its zlib stream is damaged (", 1},
                 {"cut short", [](std::string& d) { d.resize(d.size() - 1000); }, "the file ends inside its data", 0}};
    for (const auto& c : cases) {
        // The trailer before the entries, where the backward search still finds it, so
        // the file can end inside them.
        TSessionTrailerInfo trailer;
        trailer.SessionStart = 2048;
        trailer.EntryCount = 2;
        trailer.SessionTotal = uint32_t(movie.size() + 4);
        trailer.SessionName = "Session1";
        const TSessionTrailer t = EncodeTrailer(trailer);
        ArchiveBuilder archive(2048 - sizeof t);
        archive.AppendRaw(std::string(reinterpret_cast<const char*>(&t), sizeof t));
        const TEntryHeaderInfo header{"movie.swf", "", "", uint32_t(movie.size()), uint32_t(stored.size()), 0};
        const TSessionEntryHeader raw = EncodeEntryHeader(header);
        archive.AppendRaw(std::string(reinterpret_cast<const char*>(&raw), sizeof raw));
        std::string data = stored;
        ArchiveBuilder after;
        after.AddSession("x", {{"last.txt", "next"}});
        data += after.Text().substr(0, after.Size() - 220);
        c.spoil(data);
        archive.AppendRaw(data);

        ViewCountingDisk disk;
        TSessionExtractor& x = Prepare(archive, disk);
        const std::string error = ErrorOf([&] { x.Extract("Session1"); });
        EXPECT_EQ(disk.views, c.views) << c.what;
        if (std::string(c.fault).empty()) {
            EXPECT_EQ(error, "(no error)");
            EXPECT_TRUE(ReadWholeFile(Out("movie.swf")) == movie);
            EXPECT_EQ(ReadWholeFile(Out("last.txt")), "next");
        } else {
            EXPECT_EQ(error.find("Extract error on entry \"movie.swf\" of " + archivePath_ + ": " + c.fault), 0u)
                << c.what << ": " << error;
            EXPECT_FALSE(testing::Exists(Out("movie.swf"))) << c.what;
        }
        std::filesystem::remove_all(tmp_ / "out");
    }
}

TEST_F(ExtractTest, CannotCreateFileNamesThePath) {
    ArchiveBuilder archive;
    archive.AddSession("Session1", {{"a.txt", "x"}});
    TSessionExtractor& x = Prepare(archive, disk_);
    x.DestinationDir = tmp_ / "no-such-dir\\";
    EXPECT_EQ(ErrorOf([&] { x.Extract("Session1"); }), "Cannot create file " + tmp_ / "no-such-dir\\a.txt");
}

TEST_F(ExtractTest, UnsafeEntriesAreRefusedBeforeAnythingIsWrittenForThem) {
    const std::string dots = "is dots and blanks only (Windows reads it as \".\" or \"..\")";
    const struct {
        const char* name;
        const char* tag;
        std::string why;  // after the quoted name
    } cases[] = {{"..", "", dots},
                 {".", "", dots},
                 {"..\\evil.txt", "", "holds the character '\\'"},
                 {"../evil.txt", "", "holds the character '/'"},
                 {"C:evil.txt", "", "holds the character ':'"},
                 {"ok.txt", "..\\up", "has the tag \"..\\up\", in which '..' " + dots},
                 {"ok.txt", "\\root",
                  "has the tag \"\\root\", in which a leading or doubled separator makes an empty folder name"},
                 {"ok.txt", "C:\\x", "has the tag \"C:\\x\", in which 'C:' holds the character ':'"},
                 {"ok.txt", "a/../../b", "has the tag \"a/../../b\", in which '..' " + dots},
                 {"ok.txt", "qtool.x:y", "has the tag \"qtool.x:y\", in which 'qtool.x:y' holds the character ':'"},
                 {"ok.txt", "QTOOL.x:\\..\\..\\up", "has the tag \"QTOOL.x:\\..\\..\\up\", in which '..' " + dots},
                 {"con.mid", "", "is the name of a Windows device"},
                 {"a?b.mid", "", "holds the character '?'"},
                 {"trail.mid.", "", "ends in a dot or a blank, which Windows drops"},
                 {"ok.txt", "lpt1\\x", "has the tag \"lpt1\\x\", in which 'lpt1' is the name of a Windows device"}};
    for (const auto& c : cases) {
        ArchiveBuilder archive;
        archive.AddSession("Session1", {{"a.txt", "first"}, {c.name, "evil", c.tag}, {"z.txt", "last"}});
        MemoryDestination memory;
        TSessionExtractor& x = Prepare(archive, memory);
        bool routed = false;
        x.OnFile = [&](TSessionExtractor& s, std::string&, std::string&, bool&) { routed = s.EntryName != "a.txt"; };
        EXPECT_EQ(ErrorOf([&] { x.Extract("Session1"); }),
                  "Unsafe entry name on extract from " + archivePath_ + ": \"" + c.name + "\" " + c.why)
            << c.name << " " << c.tag;
        EXPECT_FALSE(routed);
        EXPECT_EQ(memory.created, std::vector<std::string>{Named("a.txt")});
    }
}

// Whatever a routing makes of an entry, what it places below the destination is never a
// stream or a drive-relative path: a tool tag routed as a folder once gave
// "C:\dest\QTOOL.MusC:x.mid". Elsewhere the routing's Dir stands (see above).
TEST_F(ExtractTest, RoutingBelowTheDestinationMakesOnlyFoldersWindowsCanCreate) {
    ArchiveBuilder archive;
    archive.AddSession("Session1", {{"a.txt", "first"}, {"x.mid", "music", "QTOOL.MusC:"}});
    for (const bool separated : {true, false}) {
        MemoryDestination memory;
        TSessionExtractor& x = Prepare(archive, memory);
        if (separated) x.DestinationDir += "\\";
        const std::string destination = x.DestinationDir;
        x.OnFile = [&](TSessionExtractor& s, std::string&, std::string& dir, bool&) {
            if (!s.EntryTag.empty()) dir = destination + (separated ? "" : "\\") + s.EntryTag;
        };
        EXPECT_EQ(ErrorOf([&] { x.Extract("Session1"); }),
                  "Unsafe entry name on extract from " + archivePath_ + ": \"x.mid\" is routed to " + destination +
                      (separated ? "" : "\\") + "QTOOL.MusC:, where 'QTOOL.MusC:' holds the character ':'");
        EXPECT_EQ(memory.created, std::vector<std::string>{Named("a.txt")});
    }
}

// A tool satellite's tag holds a colon; it is only compared, never made a path.
TEST_F(ExtractTest, ToolSatelliteTagsExtractIntoTheDestinationItself) {
    ArchiveBuilder archive;
    archive.AddSession("Session1", {{"QVIEW.EXE", "program", "QTOOL.PROGRAM"},
                                    {"View.hlp", "help", "QTOOL.SATELLITE:QVIEW.EXE"},
                                    {"Notes.txt", "notes", "QTOOL.SATELLITE:QVIEW.EXE\\sub"}});
    MemoryDestination memory;
    TSessionExtractor& x = Prepare(archive, memory);
    FakeRunDirFiles runDir;
    TRoutingRecord extracted;
    EXPECT_EQ(ErrorOf([&] { extracted = ExtractRouted(x, runDir, TRoutingPass::Main); }), "(no error)");
    EXPECT_EQ(memory.created, (std::vector<std::string>{Named("qview.exe"), Named("view.hlp"), Named("notes.txt")}));
    ASSERT_EQ(extracted.ToolFiles.size(), 3u);
    EXPECT_EQ(extracted.ToolFiles[1].Path, Named("view.hlp"));
    EXPECT_EQ(extracted.ToolFiles[1].Tag, "QTOOL.SATELLITE:QVIEW.EXE");
    EXPECT_TRUE(extracted.TagFolders.empty());
    EXPECT_TRUE(runDir.Created.empty());
}

TEST_F(ExtractTest, NamesAreCheckedInTheSystemCodePage) {
    const std::string hyou = "\x95\x5C.txt";  // 表.txt in code page 932
    ArchiveBuilder archive;
    archive.AddSession("Session1", {{hyou, "kanji"}});
    MemoryDestination japanese;
    japanese.leadBytes = testing::IsCp932LeadByte;
    Prepare(archive, japanese).Extract("Session1");
    EXPECT_EQ(japanese.files[Named(hyou)].data, "kanji");

    MemoryDestination western;
    TSessionExtractor& x = Prepare(archive, western);
    EXPECT_EQ(ErrorOf([&] { x.Extract("Session1"); }),
              "Unsafe entry name on extract from " + archivePath_ + ": \"" + hyou + "\" holds the character '\\'");
    EXPECT_TRUE(western.created.empty());
}

TEST_F(ExtractTest, HugeSizesEndInErrorsNotAllocations) {
    ArchiveBuilder archive;
    archive.AddSession("Session1", {{"a.txt", "first"}});
    std::string bytes = archive.Text().substr(0, archive.Size() - 220);
    TEntryHeaderInfo header{"huge.bin", "", "", 0xFFFFFFFFu, 0xFFFFFFF0u, 0};
    TSessionEntryHeader raw = EncodeEntryHeader(header);
    bytes.append(reinterpret_cast<const char*>(&raw), sizeof raw);
    bytes += ArchiveBuilder::Deflate(PatternText(300));
    TSessionTrailerInfo trailer;
    trailer.EntryCount = 0x7FFFFFFF;
    trailer.SessionTotal = 0xFFFFFFFFu;
    trailer.SessionName = "Session1";
    TSessionTrailer t = EncodeTrailer(trailer);
    bytes.append(reinterpret_cast<const char*>(&t), sizeof t);
    ArchiveBuilder whole;
    whole.AppendRaw(bytes);
    MemoryDestination memory;
    TSessionExtractor& x = Prepare(whole, memory);
    EXPECT_EQ(ErrorOf([&] { x.Extract("Session1"); }), "Extract error on entry \"huge.bin\" of " + archivePath_ +
                                                           ": its zlib stream ends after 300 of 4294967295 bytes");
    EXPECT_EQ(memory.files.count(Named("huge.bin")), 0u);

    // Skipped, the same entry moves the position past the end of the file: the next
    // header read fails cleanly.
    x.OnFile = [](TSessionExtractor&, std::string&, std::string&, bool& skip) { skip = true; };
    EXPECT_EQ(ErrorOf([&] { x.Extract("Session1"); }),
              "Stream read error on extract from " + archivePath_ + ": the file ends inside its session");
}

// A show held in memory; written files are kept by path, removed ones dropped.
class InMemoryShow : public IArchiveFileSystem {
public:
    explicit InMemoryShow(const std::string& bytes) : bytes_(bytes) {}
    std::map<std::string, std::string> files;

    std::unique_ptr<IArchiveReader> OpenArchive(const std::string&) override {
        return std::make_unique<Reader>(bytes_);
    }
    std::unique_ptr<IArchiveWriter> CreateExclusive(const std::string& path) override {
        return std::make_unique<Writer>(files[path]);
    }
    bool RemoveFile(const std::string& path) override { return files.erase(path) == 1; }
    std::string OwnExecutablePath() override { return "show.exe"; }
    bool IsLeadByte(unsigned char) const override { return false; }

private:
    class Reader : public IArchiveReader {
    public:
        explicit Reader(const std::string& bytes) : bytes_(bytes) {}
        uint64_t Size() override { return bytes_.size(); }
        void Seek(uint64_t position) override { at_ = position; }
        size_t Read(void* buffer, size_t count) override {
            const size_t n = at_ >= bytes_.size() ? 0 : std::min<size_t>(count, size_t(bytes_.size() - at_));
            std::memcpy(buffer, bytes_.data() + at_, n);
            at_ += n;
            return n;
        }

    private:
        const std::string& bytes_;
        uint64_t at_ = 0;
    };
    class Writer : public IArchiveWriter {
    public:
        explicit Writer(std::string& data) : data_(data) { data_.clear(); }
        void Write(const void* data, size_t count) override { data_.append(static_cast<const char*>(data), count); }
        bool SetLastWriteTime(uint64_t) override { return true; }

    private:
        std::string& data_;
    };
    const std::string& bytes_;
};

// Each byte of a small compressed entry's stored data (zlib header, deflate data and
// Adler-32) set in turn to every other value: the extraction either refuses the entry,
// leaving no file of it, or yields exactly the packed bytes; never different bytes in
// silence. Whatever inflates entries must pass this: the whole-entry inflater and the
// streaming one alike.
TEST(EntryDataProof, EveryChangedByteIsRefusedOrYieldsThePackedBytes) {
    const std::string movie = PatternText(1500, 9);
    ArchiveBuilder archive;
    archive.AddSession("Session1", {{"movie.swf", movie}, {"after.txt", "next"}});
    const std::string packed = archive.Text();
    const size_t first = sizeof(TSessionEntryHeader), stored = ArchiveBuilder::Deflate(movie).size();
    for (const uint32_t wholeEntryLimit : {kWholeEntryLimit, 0u}) {
        int refused = 0, identical = 0, different = 0;
        for (size_t at = first; at < first + stored; ++at) {
            for (int value = 0; value < 256; ++value) {
                if (value == static_cast<unsigned char>(packed[at])) continue;
                std::string bytes = packed;
                bytes[at] = char(value);
                InMemoryShow show(bytes);
                TSessionExtractor x(show);
                x.DestinationDir = "C:\\run\\";
                x.WholeEntryLimit = wholeEntryLimit;
                const std::string error = testing::ErrorOf([&] { x.Extract("Session1"); });
                if (error != "(no error)") {
                    ++refused;
                    EXPECT_EQ(error.find("Extract error on entry \"movie.swf\" of show.exe: "), 0u) << error;
                    EXPECT_EQ(show.files.count("C:\\run\\movie.swf"), 0u) << at << " " << value;
                } else if (show.files["C:\\run\\movie.swf"] == movie && show.files["C:\\run\\after.txt"] == "next") {
                    ++identical;
                } else {
                    ++different;
                }
            }
        }
        std::printf("whole-entry limit %u: %zu stored bytes, %d changes: %d refused, %d identical, %d different\n",
                    wholeEntryLimit, stored, refused + identical + different, refused, identical, different);
        EXPECT_EQ(different, 0) << wholeEntryLimit;
        EXPECT_EQ(refused + identical + different, int(stored) * 255) << wholeEntryLimit;
    }
}

TEST(ProgressPercent, RoundsToNearestOverUnsignedSizesAndAnswersMinusOneForZero) {
    const struct {
        uint32_t done, total;
        int32_t percent;
    } cases[] = {{1, 3, 33},     {2, 3, 67},
                 {1, 200, 1},    {1, 201, 0},
                 {5, 0, -1},     {0, 0, -1},
                 {300, 400, 75}, {0, 1, 0},
                 {1, 1, 100},    {0x60000000u, 0xC0000000u, 50}};  // a 3 GiB entry half done
    for (const auto& c : cases) {
        MemoryDestination files;
        TSessionExtractor extractor(files);
        int32_t entryPercent = 0, sessionPercent = 0;
        extractor.OnFileProgress = [&](TSessionExtractor&, const std::string&, int32_t p, bool&) { entryPercent = p; };
        extractor.OnProgress = [&](TSessionExtractor&, const std::string&, int32_t p, bool&) { sessionPercent = p; };
        extractor.EntryDone = extractor.SessionDone = static_cast<int32_t>(c.done);
        extractor.EntrySize = extractor.SessionTotal = static_cast<int32_t>(c.total);
        extractor.NotifyFileProgress();
        extractor.NotifyProgress();
        EXPECT_EQ(entryPercent, c.percent) << c.done << " of " << c.total;
        EXPECT_EQ(sessionPercent, c.percent) << c.done << " of " << c.total;
    }
}

TEST(NotifyProgress, ReportsMinusOneForAZeroTotalAndReturnsCancel) {
    MemoryDestination memory;
    TSessionExtractor x(memory);
    EXPECT_FALSE(x.NotifyProgress());
    int32_t seen = 0;
    x.OnProgress = [&](TSessionExtractor&, const std::string&, int32_t percent, bool& cancel) {
        seen = percent;
        cancel = true;
    };
    x.SessionTotal = 0;
    x.SessionDone = 10;
    EXPECT_TRUE(x.NotifyProgress());
    EXPECT_EQ(seen, -1);
    x.OnFileProgress = x.OnProgress;
    x.EntrySize = 3;
    x.EntryDone = 2;
    EXPECT_TRUE(x.NotifyFileProgress());
    EXPECT_EQ(seen, 67);
}

}  // namespace
}  // namespace quindle
