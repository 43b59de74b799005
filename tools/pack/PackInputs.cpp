// Collecting and checking the pack command's inputs.
#include "tools/pack/PackInputs.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "package/SessionArchive.h"
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

void CheckTag(const std::string& tag) {
    if (tag.size() > kMaxEntryTextLength) throw EUsageError("tag over 255 characters: " + tag);
    if (!IsSafeEntryTag(tag)) throw EUsageError("tag would leave the run directory: " + tag);
}

}  // namespace

void TPackInputList::SetTag(const std::string& tag) {
    CheckTag(tag);
    tag_ = tag;
}

void TPackInputList::Add(const std::string& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (fs::is_regular_file(status)) return AddFile(path, tag_);
    if (!fs::is_directory(status)) throw EUsageError("input not found: " + path);

    // Sorted, so the same folder always packs to the same bytes.
    std::vector<fs::path> files;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(path))
        if (e.is_regular_file()) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        std::string relative = fs::relative(file.parent_path(), path).generic_string();
        if (relative == ".") relative.clear();
        std::replace(relative.begin(), relative.end(), '/', '\\');
        const std::string tag = JoinTag(tag_, relative);
        CheckTag(tag);
        AddFile(file.string(), tag);
    }
}

void TPackInputList::Replace(size_t index, std::string content) {
    TPackInput& input = inputs_.at(index);
    input.replaced = true;
    input.size = content.size();
    input.content = std::move(content);
}

void TPackInputList::AddFile(const std::string& path, const std::string& tag) {
    TPackInput input;
    input.path = path;
    input.name = fs::path(path).filename().string();
    input.tag = tag;
    if (input.name.size() > kMaxEntryTextLength) throw EUsageError("file name over 255 characters: " + input.name);
    if (!IsSafeEntryName(input.name)) throw EUsageError("file name not allowed in a session: " + input.name);
    input.sourceDir = SourceDirectoryOf(path);
    if (input.sourceDir.size() > kMaxEntryTextLength) {
        std::fprintf(stderr, "quindle-pack: source directory of %s too long to record; left empty\n", path.c_str());
        input.sourceDir.clear();
    }
    input.size = fs::file_size(path);
    if (input.size > 0xFFFFFFFFu) throw EUsageError("file of 4 GiB or more: " + path);
    input.fileTime = LastWriteFileTime(path);
    inputs_.push_back(std::move(input));
}

}  // namespace quindle::pack
