// The files a pack command names, in order, each with its entry name, tag and
// recorded source directory; checked before any output is written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quindle::pack {

struct TPackInput {
    std::string path;       // where the tool reads it
    std::string name;       // entry file name
    std::string tag;        // entry tag, backslash separated
    std::string sourceDir;  // recorded source directory (empty when too long to record)
    uint64_t size = 0;
    uint64_t fileTime = 0;
    bool replaced = false;  // content holds the bytes to pack instead of the file's
    std::string content;
};

// Builds the list from the INPUT arguments: files, "--tag TAG" (applies to the files
// after it; "" clears it) and folders (top-level files with the current tag, files in
// subfolders tagged with the current tag and their relative folder path). Throws
// EUsageError for missing inputs, over-long or unsafe names and tags.
class TPackInputList {
public:
    void SetTag(const std::string& tag);
    void Add(const std::string& path);
    const std::vector<TPackInput>& Inputs() const { return inputs_; }
    // Packs these bytes in place of the file of input index.
    void Replace(size_t index, std::string content);

private:
    void AddFile(const std::string& path, const std::string& tag);
    std::string tag_;
    std::vector<TPackInput> inputs_;
};

}  // namespace quindle::pack
