// Win32 implementation of the extractor's file access.
#include "package/win32/Win32ArchiveFiles.h"

#include <windows.h>

#include <stdexcept>

#include "base/win32/Handles.h"
#include "base/win32/SystemCodePage.h"
#include "base/win32/SystemPaths.h"

namespace quindle {

namespace {

// A read-only view of part of the archive, from an allocation-granularity boundary.
class TWin32View : public IArchiveView {
public:
    TWin32View(void* start, size_t skip) : view_(start), skip_(skip) {}
    const uint8_t* Data() const override { return static_cast<const uint8_t*>(view_.get()) + skip_; }

private:
    TUniqueView view_;
    size_t skip_;
};

class TWin32Reader : public IArchiveReader {
public:
    explicit TWin32Reader(HANDLE handle) : file_(handle) {}
    uint64_t Size() override {
        LARGE_INTEGER size;
        if (!GetFileSizeEx(file_.get(), &size)) throw std::runtime_error("Stream read error");
        return uint64_t(size.QuadPart);
    }
    void Seek(uint64_t position) override {
        LARGE_INTEGER to;
        to.QuadPart = LONGLONG(position);
        if (!SetFilePointerEx(file_.get(), to, nullptr, FILE_BEGIN)) throw std::runtime_error("Stream read error");
    }
    size_t Read(void* buffer, size_t count) override {
        DWORD got = 0;
        if (!ReadFile(file_.get(), buffer, DWORD(count), &got, nullptr)) throw std::runtime_error("Stream read error");
        return got;
    }
    std::unique_ptr<IArchiveView> View(uint64_t position, size_t count) override {
        if (count == 0 || position > Size() || count > Size() - position) return nullptr;
        if (!mapping_) mapping_.reset(CreateFileMappingA(file_.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
        if (!mapping_) return nullptr;
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        const uint64_t start = position / system.dwAllocationGranularity * system.dwAllocationGranularity;
        void* view = MapViewOfFile(mapping_.get(), FILE_MAP_READ, DWORD(start >> 32), DWORD(start),
                                   SIZE_T(position - start) + count);
        if (!view) return nullptr;  // no room in the address space, say: the caller reads
        return std::make_unique<TWin32View>(view, size_t(position - start));
    }

private:
    TUniqueFile file_;
    TUniqueHandle mapping_;  // made at the first view; views live on without it
};

class TWin32Writer : public IArchiveWriter {
public:
    explicit TWin32Writer(HANDLE handle) : file_(handle) {}
    void Write(const void* data, size_t count) override {
        DWORD written = 0;
        if (!WriteFile(file_.get(), data, DWORD(count), &written, nullptr) || written != count)
            throw std::runtime_error("Stream write error");
    }
    bool SetLastWriteTime(uint64_t fileTime) override {
        FILETIME time;
        time.dwLowDateTime = DWORD(fileTime);
        time.dwHighDateTime = DWORD(fileTime >> 32);
        return SetFileTime(file_.get(), nullptr, nullptr, &time) != 0;
    }

private:
    TUniqueFile file_;
};

}  // namespace

std::unique_ptr<IArchiveReader> TWin32ArchiveFileSystem::OpenArchive(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("Cannot open file " + path);
    return std::make_unique<TWin32Reader>(h);
}

std::unique_ptr<IArchiveWriter> TWin32ArchiveFileSystem::CreateExclusive(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("Cannot create file " + path);
    return std::make_unique<TWin32Writer>(h);
}

bool TWin32ArchiveFileSystem::RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

std::string TWin32ArchiveFileSystem::OwnExecutablePath() { return quindle::OwnExecutablePath(); }

bool TWin32ArchiveFileSystem::IsLeadByte(unsigned char c) const { return SystemCodePage().IsLeadByte(c); }

}  // namespace quindle
