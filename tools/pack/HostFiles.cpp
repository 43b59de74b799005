// Host specifics of quindle-pack: Win32 under Windows, POSIX elsewhere.
#include "tools/pack/HostFiles.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "base/Text.h"
#include "tools/pack/CodePage.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include "package/win32/Win32ArchiveFiles.h"
#include "package/win32/Win32RunDirFiles.h"
#else
#include <sys/stat.h>
#include <unistd.h>

#include "package/posix/PosixArchiveFiles.h"
#include "package/posix/PosixRunDirFiles.h"
#endif

namespace quindle::pack {

namespace fs = std::filesystem;

namespace {

// A directory as an entry records it: backslashes, one at the end.
std::string AsRecordedDirectory(std::string dir) {
    for (char& c : dir)
        if (c == '/') c = '\\';
    return WithTrailingBackslash(dir);
}

}  // namespace

std::string TemporaryFolder() { return AsRecordedDirectory(fs::temp_directory_path().string()); }

#ifdef _WIN32

std::unique_ptr<IArchiveFileSystem> MakeHostFileSystem() { return std::make_unique<TWin32ArchiveFileSystem>(); }
std::unique_ptr<IRunDirFiles> MakeHostRunDirFiles() { return std::make_unique<TWin32RunDirFiles>(); }

std::optional<TFileIdentity> FileIdentity(const std::string& path) {
    // Opened for no access at all: enough to ask, and allowed while others write it.
    const HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(h, &info) != FALSE;
    CloseHandle(h);
    if (!known) return std::nullopt;
    return TFileIdentity(info.dwVolumeSerialNumber, uint64_t(info.nFileIndexHigh) << 32 | info.nFileIndexLow);
}

uint64_t LastWriteFileTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        throw std::runtime_error("Cannot open file " + path);
    return uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
}

std::string SourceDirectoryOf(const std::string& path) {
    return AsRecordedDirectory(fs::absolute(fs::path(path)).parent_path().string());
}

void MakeDirectories(const std::string& path) { fs::create_directories(fs::path(path)); }

std::string HostFileName(const std::string& stored, int) { return stored; }

std::string HostPath(const std::string& path) { return path; }

bool HostPathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void MoveReplacing(const std::string& from, const std::string& to) {
    if (!MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING))
        throw std::runtime_error("Cannot create file " + to);
}

bool StderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

std::vector<std::string> ArgumentTexts(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide || count != argc) {
        if (wide) LocalFree(wide);
        return std::vector<std::string>(argv, argv + argc);  // cannot pair them up: keep the narrow form
    }
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i) {
        const int n = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string text(size_t(n > 0 ? n : 1), '\0');
        if (n > 0) WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, &text[0], n, nullptr, nullptr);
        text.pop_back();  // the terminating zero
        texts.push_back(std::move(text));
    }
    LocalFree(wide);
    return texts;
}

#else

std::unique_ptr<IArchiveFileSystem> MakeHostFileSystem() { return std::make_unique<TPosixArchiveFileSystem>(); }
std::unique_ptr<IRunDirFiles> MakeHostRunDirFiles() { return std::make_unique<TPosixRunDirFiles>(); }

std::optional<TFileIdentity> FileIdentity(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return std::nullopt;
    return TFileIdentity(uint64_t(st.st_dev), uint64_t(st.st_ino));
}

uint64_t LastWriteFileTime(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) throw std::runtime_error("Cannot open file " + path);
    return UnixToFileTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
}

std::string SourceDirectoryOf(const std::string& path) {
    return AsRecordedDirectory(fs::absolute(fs::path(path)).lexically_normal().parent_path().string());
}

void MakeDirectories(const std::string& path) { fs::create_directories(fs::path(PosixPath(path))); }

std::string HostFileName(const std::string& stored, int codePage) { return DecodeFromCodePage(stored, codePage); }

std::string HostPath(const std::string& path) { return PosixPath(path); }

bool HostPathExists(const std::string& path) {
    struct stat st;
    return lstat(HostPath(path).c_str(), &st) == 0;
}

void MoveReplacing(const std::string& from, const std::string& to) {
    if (rename(HostPath(from).c_str(), HostPath(to).c_str()) != 0) throw std::runtime_error("Cannot create file " + to);
}

bool StderrIsTerminal() { return isatty(fileno(stderr)) != 0; }

std::vector<std::string> ArgumentTexts(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

#endif

}  // namespace quindle::pack
