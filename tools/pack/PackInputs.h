// The files a pack command names, in order, each with its name and tag as the host
// spells them and, once converted, as the show stores them; checked before any output
// is written (PackChecks).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quindle::pack {

struct TPackInput {
    std::string path;       // where the tool reads it
    std::string hostName;   // file name as UTF-8 text
    std::string hostTag;    // entry tag as UTF-8 text, backslash separated
    bool inFolder = false;  // found below a folder input, not named itself
    std::string name;       // entry file name in the show's code page (set by the checks)
    std::string tag;        // entry tag in the show's code page (set by the checks)
    std::string sourceDir;  // recorded source directory (empty when it cannot be recorded)
    uint64_t size = 0;
    uint64_t fileTime = 0;
    bool replaced = false;  // content holds the bytes to pack instead of the file's
    std::string content;
};

// Builds the list from the INPUT arguments: files, "--tag TAG" (applies to the files
// after it; "" clears it) and folders (top-level files with the current tag, files in
// subfolders tagged with the current tag and their relative folder path). Throws
// EUsageError for missing inputs and files of 4 GiB or more.
class TPackInputList {
public:
    // tag and text are UTF-8; text is the path as UTF-8 text (the path itself on POSIX).
    void SetTag(const std::string& tag);
    void Add(const std::string& path, const std::string& text);
    const std::vector<TPackInput>& Inputs() const { return inputs_; }
    std::vector<TPackInput>& Inputs() { return inputs_; }
    // Packs these bytes in place of the file of input index.
    void Replace(size_t index, std::string content);

private:
    void AddFile(const std::string& path, const std::string& hostName, const std::string& tag, bool inFolder);
    std::string tag_;
    std::vector<TPackInput> inputs_;
};

}  // namespace quindle::pack
