// POSIX implementation of the extractor's file access.
#include "package/posix/PosixArchiveFiles.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <stdexcept>

namespace quindle {

namespace {

// One owner for a file descriptor.
class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd) : fd_(fd) {}
    ~TFileDescriptor() {
        if (fd_ >= 0) close(fd_);
    }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

// A read-only mapping of part of a file, from a page boundary.
class TPosixView : public IArchiveView {
public:
    TPosixView(void* start, size_t length, size_t skip) : start_(start), length_(length), skip_(skip) {}
    ~TPosixView() override { munmap(start_, length_); }
    TPosixView(const TPosixView&) = delete;
    TPosixView& operator=(const TPosixView&) = delete;
    const uint8_t* Data() const override { return static_cast<const uint8_t*>(start_) + skip_; }

private:
    void* start_;
    size_t length_, skip_;
};

class TPosixReader : public IArchiveReader {
public:
    explicit TPosixReader(int fd) : fd_(fd) {}
    uint64_t Size() override {
        struct stat st;
        if (fstat(fd_.Get(), &st) != 0) throw std::runtime_error("Stream read error");
        return uint64_t(st.st_size);
    }
    void Seek(uint64_t position) override {
        if (lseek(fd_.Get(), off_t(std::min<uint64_t>(position, INT64_MAX)), SEEK_SET) < 0)
            throw std::runtime_error("Stream read error");
    }
    size_t Read(void* buffer, size_t count) override {
        for (;;) {
            ssize_t n = read(fd_.Get(), buffer, count);
            if (n >= 0) return size_t(n);
            if (errno != EINTR) throw std::runtime_error("Stream read error");
        }
    }
    // Never past the end of the file: touching a mapped page there kills the process.
    std::unique_ptr<IArchiveView> View(uint64_t position, size_t count) override {
        if (count == 0 || position > Size() || count > Size() - position) return nullptr;
        const uint64_t page = uint64_t(sysconf(_SC_PAGESIZE));
        const uint64_t start = position / page * page;
        const size_t length = size_t(position - start) + count;
        void* mapped = mmap(nullptr, length, PROT_READ, MAP_SHARED, fd_.Get(), off_t(start));
        if (mapped == MAP_FAILED) return nullptr;
        return std::make_unique<TPosixView>(mapped, length, size_t(position - start));
    }

private:
    TFileDescriptor fd_;
};

class TPosixWriter : public IArchiveWriter {
public:
    explicit TPosixWriter(int fd) : fd_(fd) {}
    void Write(const void* data, size_t count) override {
        const char* p = static_cast<const char*>(data);
        while (count > 0) {
            ssize_t n = write(fd_.Get(), p, count);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) throw std::runtime_error("Stream write error");
            p += n;
            count -= size_t(n);
        }
    }
    bool SetLastWriteTime(uint64_t fileTime) override {
        int64_t seconds;
        long nanoseconds;
        FileTimeToUnix(fileTime, seconds, nanoseconds);
        struct timespec times[2];
        times[0].tv_sec = 0;
        times[0].tv_nsec = UTIME_OMIT;
        times[1].tv_sec = time_t(seconds);
        times[1].tv_nsec = nanoseconds;
        return futimens(fd_.Get(), times) == 0;
    }

private:
    TFileDescriptor fd_;
};

}  // namespace

std::string PosixPath(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

void FileTimeToUnix(uint64_t fileTime, int64_t& seconds, long& nanoseconds) {
    // Floor division, so times before 1970 keep a non-negative nanosecond part.
    const int64_t ticks = int64_t(fileTime) - kFileTimeUnixEpoch;
    int64_t q = ticks / 10000000, r = ticks % 10000000;
    if (r < 0) {
        r += 10000000;
        q -= 1;
    }
    seconds = q;
    nanoseconds = long(r * 100);
}

uint64_t UnixToFileTime(int64_t seconds, long nanoseconds) {
    return uint64_t(seconds * 10000000 + nanoseconds / 100 + kFileTimeUnixEpoch);
}

std::unique_ptr<IArchiveReader> TPosixArchiveFileSystem::OpenArchive(const std::string& path) {
    int fd = open(PosixPath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw std::runtime_error("Cannot open file " + path);
    auto reader = std::make_unique<TPosixReader>(fd);
    // A folder opens for reading here, and only its first read fails.
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode))
        throw std::runtime_error("Cannot open file " + path + ": it is a folder");
    return reader;
}

std::unique_ptr<IArchiveWriter> TPosixArchiveFileSystem::CreateExclusive(const std::string& path) {
    int fd = open(PosixPath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error("Cannot create file " + path);
    return std::make_unique<TPosixWriter>(fd);
}

bool TPosixArchiveFileSystem::RemoveFile(const std::string& path) { return unlink(PosixPath(path).c_str()) == 0; }

std::string TPosixArchiveFileSystem::OwnExecutablePath() {
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, size_t(n)) : std::string();
}

}  // namespace quindle
