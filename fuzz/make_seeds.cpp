// Writes seed archives for the extractor fuzzer: raw and compressed entries, tags,
// two sessions back to back, a multi-chunk entry.
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "package/SessionArchive.h"

using namespace quindle;

namespace {

struct TSeed {
    std::string name, data, tag;
};

std::string Stored(const std::string& data) {
    if (data.size() <= kRawEntryLimit) return data;
    uLongf length = compressBound(uLong(data.size()));
    std::string out(length, '\0');
    compress2(reinterpret_cast<Bytef*>(&out[0]), &length, reinterpret_cast<const Bytef*>(data.data()),
              uLong(data.size()), 9);
    out.resize(length);
    return out;
}

template <typename T>
void Append(std::string& out, const T& raw) {
    out.append(reinterpret_cast<const char*>(&raw), sizeof raw);
}

void AddSession(std::string& out, const std::string& name, const std::vector<TSeed>& entries) {
    const size_t start = out.size();
    uint32_t total = 0;
    for (const TSeed& e : entries) {
        const std::string stored = Stored(e.data);
        TEntryHeaderInfo info{e.name, "C:\\src\\", e.tag, uint32_t(e.data.size()), uint32_t(stored.size()), 1};
        Append(out, EncodeEntryHeader(info));
        out += stored;
        total += uint32_t(e.data.size());
    }
    TSessionTrailerInfo trailer;
    trailer.SessionStart = uint32_t(start);
    trailer.SessionLength = uint32_t(out.size() - start);
    trailer.EntryCount = int32_t(entries.size());
    trailer.SessionTotal = total;
    trailer.SessionName = name;
    Append(out, EncodeTrailer(trailer));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    // The fuzzer adds what it finds to this folder: start from the seeds alone.
    const std::filesystem::path dir = argv[1];
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::string text;
    for (int i = 0; text.size() < 200000; ++i) text += "line " + std::to_string(i % 97) + " of the movie\n";

    std::vector<std::string> seeds(4);
    AddSession(seeds[0], kRunnerSessionName, {{"a.txt", "small raw entry", ""}, {"b.ini", text.substr(0, 500), "sub"}});
    AddSession(seeds[1], kRunnerSessionName,
               {{"movie.swf", text, "."}, {"x.mid", std::string(20, 'm'), "QTOOL.Music"}});
    seeds[2] = std::string(300, 'M');
    AddSession(seeds[2], kRunnerSessionName, {{"one.txt", "first", ""}});
    AddSession(seeds[2], "Other", {{"two.txt", text.substr(0, 109), "a\\b"}});
    AddSession(seeds[3], kRunnerSessionName, {{"empty.txt", "", ""}, {"c.bin", text.substr(0, 70000), ""}});
    for (size_t i = 0; i < seeds.size(); ++i) {
        std::ofstream out(dir / ("seed" + std::to_string(i)), std::ios::binary | std::ios::trunc);
        out.write(seeds[i].data(), std::streamsize(seeds[i].size()));
    }
    return 0;
}
