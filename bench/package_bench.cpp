// Helper of package_bench.sh: makes mixed test data, and extracts a packaged runner
// either with the runner's extractor (entries inflated whole where they fit, or every
// entry streamed) or with a bare zlib inflate loop over the same streams, printing
// seconds and uncompressed bytes; on request also the peaks of private memory and of
// mapped file pages while the extractor ran.
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "package/ArchiveCursor.h"
#include "package/SessionArchive.h"
#include "package/SessionExtractor.h"
#include "package/posix/PosixArchiveFiles.h"

using namespace quindle;

namespace {


struct TXorShift {
    uint64_t s;
    uint64_t Next() {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return s;
    }
};

void WriteAll(int fd, const void* data, size_t n) {
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        ssize_t w = write(fd, p, n);
        if (w <= 0) {
            std::perror("write");
            std::exit(1);
        }
        p += w;
        n -= size_t(w);
    }
}

// A file's bytes: its first half text made of words (compresses about 3:1), its second
// half random bytes, so every file mixes both whatever its size.
void FillFile(std::vector<char>& buffer, TXorShift& rng) {
    static const char* const words[] = {"projector", "movie", "runner",   "session", "window", "frame",
                                        "sound",     "the",   "a",        "of",      "stage",  "layer",
                                        "button",    "click", "timeline", "and"};
    const size_t textEnd = buffer.size() / 2;
    size_t at = 0;
    while (at < textEnd) {
        const char* w = words[rng.Next() % 16];
        const size_t n = std::min(std::strlen(w), textEnd - at);
        std::memcpy(&buffer[at], w, n);
        at += n;
        if (at < textEnd) buffer[at++] = (rng.Next() % 11 == 0) ? '\n' : ' ';
    }
    for (; at < buffer.size(); ++at) buffer[at] = char(rng.Next() >> 24);
}

// MIB mebibytes in FILES files of (nearly) equal size.
int Generate(const std::string& dir, uint64_t mib, uint64_t files) {
    TXorShift rng{0x9E3779B97F4A7C15ULL};
    const uint64_t total = mib << 20;
    std::vector<char> buffer;
    for (uint64_t i = 0; i < files; ++i) {
        buffer.resize(size_t(total * (i + 1) / files - total * i / files));
        FillFile(buffer, rng);
        char name[32];
        std::snprintf(name, sizeof name, "/f%05llu.dat", static_cast<unsigned long long>(i));
        int fd = open((dir + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        WriteAll(fd, buffer.data(), buffer.size());
        close(fd);
    }
    return 0;
}

// Peaks of the process's private (anonymous) memory and its mapped file pages, read
// from /proc every half millisecond while it lives.
class TMemorySampler {
public:
    TMemorySampler() : thread_([this] { Run(); }) {}
    ~TMemorySampler() {
        stop_ = true;
        thread_.join();
    }
    long PeakPrivateKib() const { return peakPrivate_; }
    long PeakFileKib() const { return peakFile_; }

private:
    void Run() {
        while (!stop_) {
            std::ifstream status("/proc/self/status");
            std::string line;
            long value = 0;
            while (std::getline(status, line)) {
                if (std::sscanf(line.c_str(), "RssAnon: %ld", &value) == 1)
                    peakPrivate_ = std::max(peakPrivate_.load(), value);
                if (std::sscanf(line.c_str(), "RssFile: %ld", &value) == 1) peakFile_ = std::max(peakFile_.load(), value);
            }
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    }
    std::atomic<bool> stop_{false};
    std::atomic<long> peakPrivate_{0}, peakFile_{0};
    std::thread thread_;
};

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Prints seconds and bytes; with memory, also the peaks in KiB of private memory and of
// mapped file pages (the program's own among them).
int Ours(const std::string& show, const std::string& out, uint32_t wholeEntryLimit, bool memory) {
    TPosixArchiveFileSystem files;
    TSessionExtractor extractor(files);
    extractor.UseOwnExecutable = false;
    extractor.ArchiveFileName = show;
    extractor.DestinationDir = out;
    extractor.WholeEntryLimit = wholeEntryLimit;
    std::unique_ptr<TMemorySampler> sampler;
    if (memory) sampler = std::make_unique<TMemorySampler>();
    const auto start = std::chrono::steady_clock::now();
    extractor.Extract(kRunnerSessionName);
    const double seconds = Seconds(start);
    if (!sampler) {
        std::printf("%.4f %u\n", seconds, uint32_t(extractor.SessionDone));
        return 0;
    }
    const long peakPrivate = sampler->PeakPrivateKib(), peakFile = sampler->PeakFileKib();
    sampler.reset();
    std::printf("%.4f %u %ld %ld\n", seconds, uint32_t(extractor.SessionDone), peakPrivate, peakFile);
    return 0;
}

// The same streams through nothing but read, inflate and (optionally) write.
int Bare(const std::string& show, const std::string& out, bool writeFiles) {
    const auto start = std::chrono::steady_clock::now();
    TPosixArchiveFileSystem files;
    auto archive = files.OpenArchive(show);
    auto session = FindSession(*archive, kRunnerSessionName, true);
    if (!session) return 1;
    TArchiveCursor cursor(*archive, session->Info.SessionStart);
    std::vector<uint8_t> in(65536), chunk(65536);
    uint64_t total = 0;
    for (int32_t i = 0; i < session->Info.EntryCount; ++i) {
        TSessionEntryHeader raw;
        cursor.Read(&raw, sizeof raw);
        TEntryHeaderInfo entry;
        if (!DecodeEntryHeader(raw, entry)) return 1;
        const uint64_t next = cursor.Position() + entry.StoredSize;
        int fd = writeFiles ? open((out + "/" + entry.FileName).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644) : -1;
        if (entry.Size <= kRawEntryLimit) {  // stored as it is
            const size_t got = cursor.Read(chunk.data(), entry.Size);
            if (fd >= 0) {
                WriteAll(fd, chunk.data(), got);
                close(fd);
            }
            total += got;
            continue;
        }
        z_stream z{};
        inflateInit(&z);
        uint32_t storedLeft = entry.StoredSize;
        int rc = Z_OK;
        while (rc != Z_STREAM_END) {
            if (z.avail_in == 0) {
                const size_t got = cursor.Read(in.data(), std::min<size_t>(in.size(), storedLeft));
                if (got == 0) break;
                storedLeft -= uint32_t(got);
                z.next_in = in.data();
                z.avail_in = uInt(got);
            }
            z.next_out = chunk.data();
            z.avail_out = uInt(chunk.size());
            rc = inflate(&z, Z_NO_FLUSH);
            if (rc != Z_OK && rc != Z_STREAM_END) return 1;
            const size_t produced = chunk.size() - z.avail_out;
            if (fd >= 0) WriteAll(fd, chunk.data(), produced);
            total += produced;
        }
        inflateEnd(&z);
        if (fd >= 0) close(fd);
        cursor.Seek(next);
    }
    std::printf("%.4f %llu\n", Seconds(start), static_cast<unsigned long long>(total));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "gen" && argc == 5)
        return Generate(argv[2], std::strtoull(argv[3], nullptr, 10), std::strtoull(argv[4], nullptr, 10));
    if (mode == "ours" && argc == 4) return Ours(argv[2], argv[3], kWholeEntryLimit, false);
    if (mode == "ours-memory" && argc == 4) return Ours(argv[2], argv[3], kWholeEntryLimit, true);
    if (mode == "ours-streamed" && argc == 4) return Ours(argv[2], argv[3], 0, false);
    if (mode == "bare" && argc == 4) return Bare(argv[2], argv[3], true);
    if (mode == "inflate-only" && argc == 3) return Bare(argv[2], "", false);
    std::fprintf(stderr,
                 "usage: package_bench gen DIR MIB FILES | ours SHOW DIR | ours-memory SHOW DIR |\n"
                 "       ours-streamed SHOW DIR | bare SHOW DIR | inflate-only SHOW\n");
    return 2;
}
