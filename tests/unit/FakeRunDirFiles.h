// An in-memory stand-in for the run directory's file system, Windows-style paths
// compared exactly. Records the folders created, in order.
#pragma once

#include "package/RunDirFiles.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace quindle {

class FakeRunDirFiles : public IRunDirFiles {
public:
    struct File {
        std::string Bytes;
        bool Locked = false;  // held open by someone else
    };
    std::map<std::string, File> FileTable;
    std::set<std::string> Folders;
    std::vector<std::string> Created;
    unsigned char LeadLow = 0, LeadHigh = 0;  // lead byte range of a double-byte code page

    bool FolderExists(const std::string& path) override { return Folders.count(path) > 0; }
    void CreateFolder(const std::string& path) override {
        Created.push_back(path);
        const size_t cut = path.find_last_of('\\');
        if (cut != std::string::npos && cut > 2 && !Folders.count(path.substr(0, cut))) return;
        Folders.insert(path);
    }
    bool FileExists(const std::string& path) override { return FileTable.count(path) > 0; }
    bool RemoveFile(const std::string& path) override {
        auto it = FileTable.find(path);
        if (it == FileTable.end() || it->second.Locked) return false;
        FileTable.erase(it);
        return true;
    }
    bool FileUnlocked(const std::string& path) override {
        auto it = FileTable.find(path);
        return it != FileTable.end() && !it->second.Locked;
    }
    std::string LoadFileText(const std::string& path) override {
        auto it = FileTable.find(path);
        return it == FileTable.end() || it->second.Locked ? std::string() : it->second.Bytes;
    }
    // Exact paths and "folder\*.*" only, which is all the routines ask for.
    std::vector<TDirEntry> FindEntries(const std::string& pattern) override {
        std::vector<TDirEntry> found;
        const std::string wildcard = "\\*.*";
        if (pattern.size() > wildcard.size() && pattern.compare(pattern.size() - 4, 4, wildcard) == 0) {
            const std::string folder = pattern.substr(0, pattern.size() - 3);
            found.push_back({".", true});
            found.push_back({"..", true});
            for (const auto& f : Folders) {
                if (IsChild(folder, f)) found.push_back({f.substr(folder.size()), true});
            }
            for (const auto& f : FileTable) {
                if (IsChild(folder, f.first)) found.push_back({f.first.substr(folder.size()), false});
            }
        } else {
            const std::string name = pattern.substr(pattern.find_last_of('\\') + 1);
            if (Folders.count(pattern))
                found.push_back({name, true});
            else if (FileTable.count(pattern))
                found.push_back({name, false});
        }
        return found;
    }
    bool IsLeadByte(unsigned char c) const override { return LeadLow != 0 && c >= LeadLow && c <= LeadHigh; }

private:
    static bool IsChild(const std::string& folder, const std::string& path) {
        return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
               path.find('\\', folder.size()) == std::string::npos;
    }
};

}  // namespace quindle
