// Collecting the pack command's inputs.
#include "tools/pack/PackInputs.h"

#include <algorithm>
#include <filesystem>

#include "tools/pack/CommandLine.h"
#include "tools/pack/HostFiles.h"

namespace quindle::pack {

namespace fs = std::filesystem;

namespace {

std::string JoinTag(const std::string& base, const std::string& relative) {
    if (base.empty()) return relative;
    if (relative.empty()) return base;
    return base + "\\" + relative;
}

}  // namespace

void TPackInputList::SetTag(const std::string& tag) { tag_ = tag; }

void TPackInputList::Add(const std::string& path, const std::string& text) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (fs::is_regular_file(status)) return AddFile(path, text.substr(text.find_last_of("/\\") + 1), tag_, false);
    if (!fs::is_directory(status)) throw EUsageError("input not found: " + text);

    // Sorted, so the same folder always packs to the same bytes.
    std::vector<fs::path> files;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(path))
        if (e.is_regular_file()) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        std::string relative = fs::relative(file.parent_path(), path).u8string();
        if (relative == ".") relative.clear();
        std::replace(relative.begin(), relative.end(), '/', '\\');
        AddFile(file.string(), file.filename().u8string(), JoinTag(tag_, relative), true);
    }
}

void TPackInputList::Replace(size_t index, std::string content) {
    TPackInput& input = inputs_.at(index);
    input.replaced = true;
    input.size = content.size();
    input.content = std::move(content);
}

void TPackInputList::AddFile(const std::string& path, const std::string& hostName, const std::string& tag,
                             bool inFolder) {
    TPackInput input;
    input.path = path;
    input.hostName = hostName;
    input.hostTag = tag;
    input.inFolder = inFolder;
    input.sourceDir = SourceDirectoryOf(path);
    input.size = fs::file_size(path);
    if (input.size > 0xFFFFFFFFu) throw EUsageError("file of 4 GiB or more: " + path);
    input.fileTime = LastWriteFileTime(path);
    inputs_.push_back(std::move(input));
}

}  // namespace quindle::pack
