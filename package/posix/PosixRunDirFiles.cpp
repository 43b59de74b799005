// The run directory's file system on POSIX. Used by native tests of the routing and the
// settings loader.
#include "package/posix/PosixRunDirFiles.h"

#include "package/posix/PosixArchiveFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace quindle {
namespace {

bool StatMode(const std::string& path, mode_t& mode) {
    struct stat info;
    if (stat(PosixPath(path).c_str(), &info) != 0) return false;
    mode = info.st_mode;
    return true;
}

class TDir {
public:
    explicit TDir(const std::string& path) : dir_(opendir(path.c_str())) {}
    ~TDir() {
        if (dir_) closedir(dir_);
    }
    TDir(const TDir&) = delete;
    TDir& operator=(const TDir&) = delete;
    DIR* get() const { return dir_; }

private:
    DIR* dir_;
};

}  // namespace

bool TPosixRunDirFiles::FolderExists(const std::string& path) {
    mode_t mode;
    return StatMode(path, mode) && S_ISDIR(mode);
}

void TPosixRunDirFiles::CreateFolder(const std::string& path) { mkdir(PosixPath(path).c_str(), 0777); }

bool TPosixRunDirFiles::CreateOwnFolder(const std::string& path) { return mkdir(PosixPath(path).c_str(), 0777) == 0; }

bool TPosixRunDirFiles::RemoveEmptyFolder(const std::string& path) { return rmdir(PosixPath(path).c_str()) == 0; }

bool TPosixRunDirFiles::FileExists(const std::string& path) {
    mode_t mode;
    return StatMode(path, mode) && !S_ISDIR(mode);
}

bool TPosixRunDirFiles::RemoveFile(const std::string& path) { return unlink(PosixPath(path).c_str()) == 0; }

bool TPosixRunDirFiles::FileUnlocked(const std::string& path) {
    const int fd = open(PosixPath(path).c_str(), O_RDWR);
    if (fd < 0) return false;
    close(fd);
    return true;
}

std::string TPosixRunDirFiles::LoadFileText(const std::string& path) {
    std::FILE* f = std::fopen(PosixPath(path).c_str(), "rb");
    if (!f) return {};
    std::string bytes;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, got);
    std::fclose(f);
    return bytes;
}

std::vector<TDirEntry> TPosixRunDirFiles::FindEntries(const std::string& pattern) {
    std::vector<TDirEntry> found;
    const std::string path = PosixPath(pattern);
    const std::string wildcard = "/*.*";
    if (path.size() >= wildcard.size() && path.compare(path.size() - wildcard.size(), wildcard.size(), wildcard) == 0) {
        const std::string folder = path.substr(0, path.size() - 3);
        TDir dir(folder);
        if (!dir.get()) return found;
        while (const dirent* entry = readdir(dir.get())) {
            mode_t mode = 0;
            const bool known = StatMode(folder + entry->d_name, mode);
            found.push_back({entry->d_name, known && S_ISDIR(mode)});
        }
        return found;
    }
    mode_t mode;
    if (StatMode(path, mode)) found.push_back({path.substr(path.find_last_of('/') + 1), S_ISDIR(mode)});
    return found;
}

}  // namespace quindle
