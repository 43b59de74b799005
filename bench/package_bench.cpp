// Helper of package_bench.sh: makes mixed test data, and extracts a packaged runner
// either with the runner's extractor or with a bare zlib inflate loop over the same
// streams, printing seconds and uncompressed bytes.
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "package/ArchiveCursor.h"
#include "package/SessionArchive.h"
#include "package/SessionExtractor.h"
#include "package/posix/PosixArchiveFiles.h"

using namespace quindle;

namespace {

constexpr size_t kFile = 16u << 20;

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

// Half text made of words (compresses about 3:1), half random bytes, in 16 MiB files.
int Generate(const std::string& dir, uint64_t mib) {
    static const char* const words[] = {"projector", "movie", "runner",   "session", "window", "frame",
                                        "sound",     "the",   "a",        "of",      "stage",  "layer",
                                        "button",    "click", "timeline", "and"};
    TXorShift rng{0x9E3779B97F4A7C15ULL};
    std::vector<char> buffer(kFile);
    const uint64_t files = mib * (1u << 20) / kFile;
    for (uint64_t i = 0; i < files; ++i) {
        const bool text = i % 2 == 0;
        size_t at = 0;
        if (text) {
            while (at < kFile) {
                const char* w = words[rng.Next() % 16];
                const size_t n = std::min(std::strlen(w), kFile - at);
                std::memcpy(&buffer[at], w, n);
                at += n;
                if (at < kFile) buffer[at++] = (rng.Next() % 11 == 0) ? '\n' : ' ';
            }
        } else {
            for (; at + 8 <= kFile; at += 8) {
                const uint64_t v = rng.Next();
                std::memcpy(&buffer[at], &v, 8);
            }
        }
        const std::string path = dir + "/" + (text ? "text" : "data") + std::to_string(i) + (text ? ".txt" : ".bin");
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        WriteAll(fd, buffer.data(), buffer.size());
        close(fd);
    }
    return 0;
}

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int Ours(const std::string& show, const std::string& out) {
    TPosixArchiveFileSystem files;
    TSessionExtractor extractor(files);
    extractor.UseOwnExecutable = false;
    extractor.ArchiveFileName = show;
    extractor.DestinationDir = out;
    const auto start = std::chrono::steady_clock::now();
    extractor.Extract(kRunnerSessionName);
    std::printf("%.4f %u\n", Seconds(start), uint32_t(extractor.SessionDone));
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
    if (mode == "gen" && argc == 4) return Generate(argv[2], std::strtoull(argv[3], nullptr, 10));
    if (mode == "ours" && argc == 4) return Ours(argv[2], argv[3]);
    if (mode == "bare" && argc == 4) return Bare(argv[2], argv[3], true);
    if (mode == "inflate-only" && argc == 3) return Bare(argv[2], "", false);
    std::fprintf(stderr, "usage: package_bench gen DIR MIB | ours SHOW DIR | bare SHOW DIR | inflate-only SHOW\n");
    return 2;
}
