// The run directory's file system on Windows: attributes, exclusive opens, shared reads
// and directory enumeration. Used by the extraction routing, RunDirIdle and SameFileContents.
#include "package/win32/Win32RunDirFiles.h"

#include <windows.h>

#include "base/win32/Handles.h"
#include "base/win32/SystemCodePage.h"

namespace quindle {
namespace {

// Owner of a directory search.
class TFind {
public:
    TFind(const std::string& pattern, WIN32_FIND_DATAA& data) : h_(FindFirstFileA(pattern.c_str(), &data)) {}
    ~TFind() {
        if (h_ != INVALID_HANDLE_VALUE) FindClose(h_);
    }
    TFind(const TFind&) = delete;
    TFind& operator=(const TFind&) = delete;
    bool Found() const { return h_ != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAA& data) { return FindNextFileA(h_, &data) != 0; }

private:
    HANDLE h_;
};

}  // namespace

bool TWin32RunDirFiles::FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void TWin32RunDirFiles::CreateFolder(const std::string& path) { CreateDirectoryA(path.c_str(), nullptr); }

bool TWin32RunDirFiles::CreateOwnFolder(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool TWin32RunDirFiles::RemoveEmptyFolder(const std::string& path) { return RemoveDirectoryA(path.c_str()) != 0; }

bool TWin32RunDirFiles::FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool TWin32RunDirFiles::RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool TWin32RunDirFiles::FileUnlocked(const std::string& path) {
    TUniqueFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}

std::string TWin32RunDirFiles::LoadFileText(const std::string& path) {
    TUniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    const DWORD size = GetFileSize(file.get(), nullptr);
    if (size == INVALID_FILE_SIZE || size == 0) return {};
    std::string bytes(size, '\0');
    DWORD got = 0;
    if (!ReadFile(file.get(), &bytes[0], size, &got, nullptr)) got = 0;
    bytes.resize(got);
    return bytes;
}

std::vector<TDirEntry> TWin32RunDirFiles::FindEntries(const std::string& pattern) {
    std::vector<TDirEntry> found;
    WIN32_FIND_DATAA data;
    TFind find(pattern, data);
    if (!find.Found()) return found;
    do {
        found.push_back({data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (find.Next(data));
    return found;
}

bool TWin32RunDirFiles::IsLeadByte(unsigned char c) const { return SystemCodePage().IsLeadByte(c); }

}  // namespace quindle
