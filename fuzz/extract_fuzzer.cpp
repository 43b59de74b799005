// Fuzzes TSessionExtractor::Extract over arbitrary archive bytes. Every run must end in
// success, a cancel or one of the extractor's errors; no file may be created outside
// the destination, and no unfinished file or open writer may remain. Entries inflated
// whole and streamed must fare alike.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>

#include "fuzz/MemoryArchive.h"
#include "package/SessionArchive.h"
#include "package/SessionExtractor.h"

using namespace quindle;

namespace {

const std::string kDestination = "C:\\dest\\";

uint32_t Load32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
void Store32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// Judged as Windows would see the path: cut at the first NUL, components of dots and
// spaces only (other than ".") may climb like "..".
bool InsideDestination(std::string path) {
    path = path.substr(0, path.find('\0'));
    if (path.compare(0, kDestination.size(), kDestination) != 0) return false;
    const std::string rest = path.substr(kDestination.size());
    if (rest.empty() || rest.find(':') != std::string::npos) return false;
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find_first_of("\\/", start);
        if (end == std::string::npos) end = rest.size();
        const std::string part = rest.substr(start, end - start);
        if (part != "." && !part.empty() && part.find_first_not_of(". ") == std::string::npos) return false;
        start = end + 1;
    }
    return true;
}

void Check(bool condition) {
    if (!condition) std::abort();
}

// Signatures in place make a header count; its checksum is then made to match, so
// mutations get past the checksum and reach the code behind it.
void RepairChecksums(uint8_t* data, size_t size) {
    if (size < sizeof(TSessionTrailer)) return;
    uint8_t* trailer = data + size - sizeof(TSessionTrailer);
    if (Load32(trailer) != kArchiveSignature || Load32(trailer + 216) != kArchiveEndSignature) return;
    Store32(trailer + 212, HeaderChecksum(trailer, 212));
    uint64_t at = Load32(trailer + 4);
    for (int i = 0; i < 64 && at + sizeof(TSessionEntryHeader) <= size; ++i) {
        uint8_t* header = data + at;
        if (Load32(header) != kArchiveSignature || Load32(header + 792) != kArchiveEndSignature) return;
        Store32(header + 788, HeaderChecksum(header, 788));
        at += sizeof(TSessionEntryHeader) + Load32(header + 776);
    }
}

}  // namespace

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int) {
    size = LLVMFuzzerMutate(data, size, maxSize);
    RepairChecksums(data, size);
    return size;
}

namespace {

// What one extraction left: its error (empty on success or cancel) and its files.
struct TOutcome {
    std::string error;
    std::map<std::string, fuzz::TWrittenFile> files;
    std::map<std::string, int> created;
};

TOutcome ExtractOnce(const uint8_t* data, size_t size, uint32_t wholeEntryLimit) {
    fuzz::TMemoryArchive files(data, size);
    TSessionExtractor extractor(files);
    extractor.UseOwnExecutable = false;
    extractor.ArchiveFileName = "show.exe";
    extractor.DestinationDir = kDestination;
    extractor.ScanForTrailer = size == 0 || data[0] % 2 == 0;
    extractor.WholeEntryLimit = wholeEntryLimit;
    // Routed the way the runner routes: tagged entries into a subfolder of the run directory.
    extractor.OnFile = [](TSessionExtractor& sender, std::string&, std::string& dir, bool& skip) {
        if (!sender.EntryTag.empty() && sender.EntryTag != ".") dir = kDestination + sender.EntryTag;
        skip = sender.EntryName.size() % 5 == 4;
    };
    extractor.OnFileProgress = [](TSessionExtractor& sender, const std::string& name, int32_t percent, bool& cancel) {
        Check(percent >= -1 && percent <= 100);
        cancel = name.size() % 7 == 6 && sender.EntryDone >= 65536;
    };
    TOutcome outcome;
    try {
        extractor.Extract(kRunnerSessionName);
    } catch (const std::runtime_error& e) {
        outcome.error = e.what();
    }
    Check(files.openWriters == 0);
    for (const auto& created : files.created) Check(InsideDestination(created.first));
    for (const auto& file : files.files) Check(file.second.finished);
    outcome.files = files.files;
    outcome.created = files.created;
    return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Inflating entries whole and streaming them must come to the same verdict, the
    // same error and the same files.
    const TOutcome whole = ExtractOnce(data, size, kWholeEntryLimit);
    const TOutcome streamed = ExtractOnce(data, size, 0);
    Check(whole.error == streamed.error);
    Check(whole.created == streamed.created);
    Check(whole.files.size() == streamed.files.size());
    for (const auto& file : whole.files) {
        const auto other = streamed.files.find(file.first);
        Check(other != streamed.files.end() && other->second.bytes == file.second.bytes);
    }
    return 0;
}
