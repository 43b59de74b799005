// Builds session archives in memory for the package tests: a stub, then sessions
// of entries, each compressed or raw by the 108-byte rule.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "package/SessionArchive.h"

namespace quindle::testing {

struct TestEntry {
    TestEntry(std::string name_, std::string data_, std::string tag_ = "", std::string sourceDir_ = "",
              uint64_t fileTime_ = 0x01D9A1B2C3D4E5F6ULL)
        : name(std::move(name_)),
          data(std::move(data_)),
          tag(std::move(tag_)),
          sourceDir(std::move(sourceDir_)),
          fileTime(fileTime_) {}
    std::string name;
    std::string data;
    std::string tag;
    std::string sourceDir;
    uint64_t fileTime;
};

class ArchiveBuilder {
public:
    explicit ArchiveBuilder(size_t stubSize = 0, char fill = 'M') : bytes_(stubSize, uint8_t(fill)) {}

    // Appends a session; returns the offset of its trailer.
    size_t AddSession(const std::string& name, const std::vector<TestEntry>& entries) {
        const size_t start = bytes_.size();
        uint32_t total = 0;
        for (const TestEntry& e : entries) {
            AddEntry(e);
            total += uint32_t(e.data.size());
        }
        TSessionTrailerInfo info;
        info.SessionStart = uint32_t(start);
        info.SessionLength = uint32_t(bytes_.size() - start);
        info.EntryCount = int32_t(entries.size());
        info.SessionTotal = total;
        info.ToolVersion = "test builder";
        info.SessionName = name;
        const size_t at = bytes_.size();
        Append(EncodeTrailer(info));
        return at;
    }

    static std::string Deflate(const std::string& data) {
        uLongf length = compressBound(uLong(data.size()));
        std::string out(length, '\0');
        if (compress2(reinterpret_cast<Bytef*>(&out[0]), &length, reinterpret_cast<const Bytef*>(data.data()),
                      uLong(data.size()), 6) != Z_OK)
            throw std::runtime_error("compress2");
        out.resize(length);
        return out;
    }

    // Position of the next byte to be appended.
    size_t Size() const { return bytes_.size(); }
    std::vector<uint8_t>& Bytes() { return bytes_; }
    std::string Text() const { return std::string(bytes_.begin(), bytes_.end()); }
    void AppendRaw(const std::string& text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }

private:
    void AddEntry(const TestEntry& e) {
        const std::string stored = e.data.size() > kRawEntryLimit ? Deflate(e.data) : e.data;
        TEntryHeaderInfo info;
        info.FileName = e.name;
        info.SourceDir = e.sourceDir;
        info.Tag = e.tag;
        info.Size = uint32_t(e.data.size());
        info.StoredSize = uint32_t(stored.size());
        info.LastWriteTime = e.fileTime;
        Append(EncodeEntryHeader(info));
        AppendRaw(stored);
    }

    template <typename T>
    void Append(const T& raw) {
        const auto* p = reinterpret_cast<const uint8_t*>(&raw);
        bytes_.insert(bytes_.end(), p, p + sizeof raw);
    }

    std::vector<uint8_t> bytes_;
};

// Text that compresses well yet is not one repeated byte.
inline std::string PatternText(size_t size, unsigned seed = 1) {
    std::string s(size, ' ');
    uint32_t x = seed * 2654435761u + 1;
    for (size_t i = 0; i < size; ++i) {
        if (i % 7 == 0) x = x * 1103515245u + 12345u;
        s[i] = char('a' + (x >> 16) % 13);
    }
    return s;
}

}  // namespace quindle::testing
