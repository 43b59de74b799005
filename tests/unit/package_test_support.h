// Shared fixtures of the package tests: a temporary directory, whole-file helpers and
// a file system that keeps written entries in memory while reading real archives.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "package/ArchiveFiles.h"
#include "package/SessionArchive.h"
#include "package/posix/PosixArchiveFiles.h"

namespace quindle::testing {

// Lead bytes of code page 932 (Japanese Shift JIS), the double-byte code page whose
// trail bytes most often look like a backslash: 表 is 95 5C, ソ is 83 5C.
inline bool IsCp932LeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
struct Cp932CodePage : quindle::ILeadBytes {
    bool IsLeadByte(unsigned char c) const override { return IsCp932LeadByte(c); }
};

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quindle-pkg-XXXXXX").string();
        path_ = mkdtemp(&pattern[0]);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline void WriteWholeFile(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), std::streamsize(data.size()));
}

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

inline uint64_t LastWriteFileTime(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return 0;
    return UnixToFileTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
}

// Reads archives from disk, keeps every created file in memory by its exact path.
class MemoryDestination : public IArchiveFileSystem {
public:
    struct File {
        std::string data;
        uint64_t fileTime = 0;
        bool timeSet = false;
    };
    std::map<std::string, File> files;
    std::vector<std::string> created;

    std::unique_ptr<IArchiveReader> OpenArchive(const std::string& path) override { return disk_.OpenArchive(path); }
    std::unique_ptr<IArchiveWriter> CreateExclusive(const std::string& path) override {
        created.push_back(path);
        files[path] = File();
        return std::make_unique<Writer>(files[path]);
    }
    bool RemoveFile(const std::string& path) override { return files.erase(path) == 1; }
    std::string OwnExecutablePath() override { return ownPath; }
    bool IsLeadByte(unsigned char c) const override { return leadBytes && leadBytes(c); }
    std::string ownPath;
    std::function<bool(unsigned char)> leadBytes;  // empty: a single-byte code page

private:
    class Writer : public IArchiveWriter {
    public:
        explicit Writer(File& file) : file_(file) {}
        void Write(const void* data, size_t count) override {
            file_.data.append(static_cast<const char*>(data), count);
        }
        bool SetLastWriteTime(uint64_t fileTime) override {
            file_.fileTime = fileTime;
            file_.timeSet = true;
            return true;
        }

    private:
        File& file_;
    };
    TPosixArchiveFileSystem disk_;
};

}  // namespace quindle::testing
