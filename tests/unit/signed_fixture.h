// Real signed programs for the tests: the 32-bit runner and the 64-bit stand-in signed
// by osslsigncode with a throwaway chain (fixtures/make_signed_fixtures.sh), each kept
// as its headers and its certificate table, and files rebuilt around them.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "package_archive_builder.h"

namespace quindle::testing {

// The signer's subject of scripts/test-signing-chain.sh, which made the fixtures.
constexpr char kFixtureSigner[] = "CN=Quindle Test Signer, OU=Presentations, O=Quindle Runner Tests, C=DE";

inline std::vector<uint8_t> ReadFixture(const std::string& name) {
    std::ifstream in(std::string(QUINDLE_UNIT_FIXTURES) + "/" + name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline uint32_t Load32(const std::vector<uint8_t>& bytes, uint64_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | bytes[size_t(at) + size_t(i)];
    return v;
}
inline void Store32(std::vector<uint8_t>& bytes, uint64_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[size_t(at) + size_t(i)] = uint8_t(v >> (8 * i));
}

// A real signed program's headers and certificate table; the bytes between them are
// not kept, so files are rebuilt around them.
struct TSignedFixture {
    const char* Name;
    const char* Headers;
    const char* Table;
    uint64_t SecurityEntryAt;  // within the optional header: 128 for PE32, 144 for PE32+
};
inline void PrintTo(const TSignedFixture& f, std::ostream* os) { *os << f.Name; }

inline const TSignedFixture kFixtures[] = {
    {"runner32", "signed-runner32-headers.bin", "signed-runner32-certificates.bin", 128},
    {"standin64", "signed-standin64-headers.bin", "signed-standin64-certificates.bin", 144},
};

struct TLoaded {
    std::vector<uint8_t> Headers, Table;
    uint64_t OptionalHeader = 0, SecurityEntry = 0, TableOffset = 0;
};

inline TLoaded Load(const TSignedFixture& fixture) {
    TLoaded loaded{ReadFixture(fixture.Headers), ReadFixture(fixture.Table)};
    if (loaded.Headers.size() < 0x200 || loaded.Table.empty()) {
        ADD_FAILURE() << "fixture missing: " << fixture.Name;
        return loaded;
    }
    loaded.OptionalHeader = Load32(loaded.Headers, 0x3C) + 24;
    loaded.SecurityEntry = loaded.OptionalHeader + fixture.SecurityEntryAt;
    loaded.TableOffset = Load32(loaded.Headers, loaded.SecurityEntry);
    return loaded;
}

// The signed program rebuilt: its headers, then body up to the table (filler when
// body is short), then its certificate table.
inline std::vector<uint8_t> SignedFile(const TLoaded& loaded, std::vector<uint8_t> body = {}) {
    body.resize(size_t(loaded.TableOffset), 'M');
    std::copy(loaded.Headers.begin(), loaded.Headers.end(), body.begin());
    body.insert(body.end(), loaded.Table.begin(), loaded.Table.end());
    return body;
}

// A show as signing leaves it: the program, its sessions back to back, padding zeros
// up to the table, the table.
inline std::vector<uint8_t> SignedShow(const TLoaded& loaded, size_t padding,
                                       const std::vector<std::string>& sessions = {"Session1"}) {
    const auto addAll = [&sessions](ArchiveBuilder& archive) {
        for (const std::string& name : sessions) archive.AddSession(name, {{name + ".ini", "[Settings]\r\n"}});
    };
    ArchiveBuilder measure(0);
    addAll(measure);
    ArchiveBuilder archive(size_t(loaded.TableOffset) - padding - measure.Size());
    addAll(archive);
    archive.Bytes().resize(archive.Size() + padding, 0);
    return SignedFile(loaded, archive.Bytes());
}

}  // namespace quindle::testing
