// Signed programs: the PE reading that finds the certificate table, on real signed
// headers (signed_fixture.h) and damaged ones; the session search that starts at the
// table; the unsigned image pack writes; the signer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ostream>

#include "package/PeImage.h"
#include "package/SessionArchive.h"
#include "package/SignerSubject.h"
#include "signed_fixture.h"

namespace quindle {
namespace {

using testing::ArchiveBuilder;
using testing::kFixtures;
using testing::Load;
using testing::Load32;
using testing::SignedFile;
using testing::SignedShow;
using testing::Store32;
using testing::TLoaded;
using testing::TSignedFixture;

// A file in memory that records the highest offset any read reached.
class TMemoryFile : public IArchiveReader {
public:
    explicit TMemoryFile(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    uint64_t Size() override { return bytes_.size(); }
    void Seek(uint64_t position) override { position_ = position; }
    size_t Read(void* buffer, size_t count) override {
        if (position_ >= bytes_.size()) return 0;
        const size_t n = size_t(std::min<uint64_t>(count, bytes_.size() - position_));
        std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        readEnd_ = std::max(readEnd_, position_);
        return n;
    }
    uint64_t ReadEnd() const { return readEnd_; }  // one past the last byte read

private:
    std::vector<uint8_t> bytes_;
    uint64_t position_ = 0, readEnd_ = 0;
};

class SignedHeaders : public ::testing::TestWithParam<TSignedFixture> {};

TEST_P(SignedHeaders, NameTheCertificateTableAndTheFieldsSigningWrites) {
    const TLoaded loaded = Load(GetParam());
    TMemoryFile file(SignedFile(loaded));
    const std::optional<TPeSignatureFields> fields = ReadPeSignatureFields(file);
    ASSERT_TRUE(fields.has_value());
    EXPECT_EQ(fields->ChecksumOffset, loaded.OptionalHeader + 64);
    EXPECT_EQ(fields->SecurityEntryOffset, loaded.SecurityEntry);
    ASSERT_TRUE(fields->Table.has_value());
    EXPECT_EQ(fields->Table->Offset, loaded.TableOffset);
    EXPECT_EQ(fields->Table->Size, loaded.Table.size());
    EXPECT_EQ(fields->Table->Offset % kCertificateTableAlignment, 0u);
    EXPECT_EQ(TrailingCertificateTableStart(file), loaded.TableOffset);
}

TEST_P(SignedHeaders, WithTheEntryClearedTheProgramIsUnsigned) {
    const TLoaded loaded = Load(GetParam());
    std::vector<uint8_t> bytes = SignedFile(loaded);
    Store32(bytes, loaded.SecurityEntry, 0);
    Store32(bytes, loaded.SecurityEntry + 4, 0);
    TMemoryFile file(bytes);
    const std::optional<TPeSignatureFields> fields = ReadPeSignatureFields(file);
    ASSERT_TRUE(fields.has_value());
    EXPECT_FALSE(fields->HasSecurityEntry());
    EXPECT_FALSE(fields->Table.has_value());
    EXPECT_FALSE(TrailingCertificateTableStart(file).has_value());
}

// The search reads nothing of the table and needs no backward search: the session's
// trailer is in the window before the table or one of the seven after padding.
TEST_P(SignedHeaders, TheSessionIsFoundBeforeTheTableWhateverThePadding) {
    const TLoaded loaded = Load(GetParam());
    for (size_t padding = 0; padding < kCertificateTableAlignment; ++padding) {
        TMemoryFile file(SignedShow(loaded, padding));
        const std::optional<TFoundTrailer> found = FindSession(file, "Session1", false);
        ASSERT_TRUE(found.has_value()) << "padding " << padding;
        EXPECT_EQ(found->Offset, loaded.TableOffset - padding - sizeof(TSessionTrailer));
        EXPECT_LE(file.ReadEnd(), loaded.TableOffset) << "padding " << padding;
        EXPECT_EQ(ListSessions(file).size(), 1u);
    }
}

TEST_P(SignedHeaders, EarlierSessionsAreWalkedFromTheOneBeforeTheTable) {
    const TLoaded loaded = Load(GetParam());
    TMemoryFile file(SignedShow(loaded, 3, {"Session1", "Later"}));
    const std::optional<TFoundTrailer> found = FindSession(file, "Session1", false);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->Info.SessionName, "Session1");
    const std::vector<TFoundTrailer> all = ListSessions(file);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].Info.SessionName, "Later");
    EXPECT_EQ(all[0].Offset, loaded.TableOffset - 3 - sizeof(TSessionTrailer));
    EXPECT_EQ(all[1].Offset, found->Offset);
}

// A session appended after signing (by an older packaging tool) lies after the table;
// it is the last one, and the search from the end of the file finds it.
TEST_P(SignedHeaders, ASessionAppendedAfterTheTableIsTheLastSession) {
    const TLoaded loaded = Load(GetParam());
    const std::vector<uint8_t> signedShow = SignedShow(loaded, 0);
    ArchiveBuilder appended(signedShow.size());
    const size_t trailer = appended.AddSession("Session1", {{"b.txt", "appended"}});
    std::vector<uint8_t> bytes = appended.Bytes();
    std::copy(signedShow.begin(), signedShow.end(), bytes.begin());
    TMemoryFile file(bytes);
    EXPECT_FALSE(TrailingCertificateTableStart(file).has_value());
    const std::optional<TFoundTrailer> found = FindSession(file, "Session1", false);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->Offset, trailer);
    EXPECT_EQ(ListSessions(file).size(), 2u);
}

TEST_P(SignedHeaders, TheUnsignedImageEndsBeforeTheTableWithEntryAndChecksumCleared) {
    const TLoaded loaded = Load(GetParam());
    const std::vector<uint8_t> bytes = SignedShow(loaded, 5);
    TMemoryFile file(bytes);
    const std::optional<TPeSignatureFields> fields = ReadPeSignatureFields(file);
    ASSERT_TRUE(fields.has_value());
    const std::optional<TUnsignedImage> image = UnsignedImageOf(*fields, bytes.size());
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->Length, loaded.TableOffset);
    std::vector<uint8_t> unsignedBytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(image->Length));
    for (const TByteRange& range : image->Zeroed)
        std::fill_n(unsignedBytes.begin() + std::ptrdiff_t(range.Offset), range.Length, 0);
    TMemoryFile unsignedFile(unsignedBytes);
    const std::optional<TPeSignatureFields> after = ReadPeSignatureFields(unsignedFile);
    ASSERT_TRUE(after.has_value());
    EXPECT_FALSE(after->HasSecurityEntry());
    EXPECT_EQ(Load32(unsignedBytes, after->ChecksumOffset), 0u);
    EXPECT_NE(Load32(bytes, fields->ChecksumOffset), 0u);  // signing set it
    // Everything else is the signed file's, the session included.
    size_t differing = 0;
    for (size_t i = 0; i < unsignedBytes.size(); ++i) differing += unsignedBytes[i] != bytes[i];
    EXPECT_LE(differing, 12u);
    EXPECT_TRUE(FindSession(unsignedFile, "Session1", true).has_value());

    // Cutting a table that does not end the file would lose what follows it.
    std::vector<uint8_t> longer = bytes;
    longer.push_back(0);
    EXPECT_FALSE(UnsignedImageOf(*fields, longer.size()).has_value());
}

TEST_P(SignedHeaders, TheSignerIsTheSubjectOfTheSigningCertificate) {
    const TLoaded loaded = Load(GetParam());
    EXPECT_EQ(SignerSubject(loaded.Table), testing::kFixtureSigner);
}

INSTANTIATE_TEST_SUITE_P(RealSignedPrograms, SignedHeaders, ::testing::ValuesIn(kFixtures),
                         [](const auto& info) { return std::string(info.param.Name); });

// Damage to the signed runner's headers (pe: where its PE header starts). A file whose
// headers cannot be read, or whose entry names no table inside it, still has its
// session found by the backward search.
struct TDamage {
    const char* Name;
    void (*Apply)(std::vector<uint8_t>& bytes, uint64_t pe);
    bool HeadersRead;  // ReadPeSignatureFields still answers
};
void PrintTo(const TDamage& d, std::ostream* os) { *os << d.Name; }

constexpr uint64_t kOptional = 24, kSizeOfOptional = 4 + 16, kEntry = 24 + 128;  // from the PE header, PE32

const TDamage kDamages[] = {
    {"NoMz", [](std::vector<uint8_t>& b, uint64_t) { b[0] = 'X'; }, false},
    {"PePointerPastTheEnd", [](std::vector<uint8_t>& b, uint64_t) { Store32(b, 0x3C, uint32_t(b.size() - 10)); },
     false},
    {"PePointerWrapping", [](std::vector<uint8_t>& b, uint64_t) { Store32(b, 0x3C, 0xFFFFFFF0u); }, false},
    {"NoPeSignature", [](std::vector<uint8_t>& b, uint64_t pe) { b[pe + 1] = 'X'; }, false},
    {"UnknownOptionalHeader", [](std::vector<uint8_t>& b, uint64_t pe) { b[pe + kOptional] = 0x07; }, false},
    {"OptionalHeaderTooShortForTheEntry",
     [](std::vector<uint8_t>& b, uint64_t pe) { b[pe + kSizeOfOptional] = 130, b[pe + kSizeOfOptional + 1] = 0; },
     false},
    {"FourDataDirectories", [](std::vector<uint8_t>& b, uint64_t pe) { Store32(b, pe + kOptional + 92, 4); }, false},
    {"TableOffsetPastTheEnd", [](std::vector<uint8_t>& b, uint64_t pe) { Store32(b, pe + kEntry, uint32_t(b.size())); },
     true},
    {"TableRunningPastTheEnd",
     [](std::vector<uint8_t>& b, uint64_t pe) { Store32(b, pe + kEntry + 4, Load32(b, pe + kEntry + 4) + 8); }, true},
    {"TableSmallerThanACertificateHeader", [](std::vector<uint8_t>& b, uint64_t pe) { Store32(b, pe + kEntry + 4, 4); },
     true},
    {"TableInsideTheHeaders", [](std::vector<uint8_t>& b, uint64_t pe) { Store32(b, pe + kEntry, 0x40); }, true},
    {"TableEndWrapping32Bits",
     [](std::vector<uint8_t>& b, uint64_t pe) {
         Store32(b, pe + kEntry, 0xFFFFFFF8u), Store32(b, pe + kEntry + 4, 16);
     },
     true},
};

class DamagedHeaders : public ::testing::TestWithParam<TDamage> {};

TEST_P(DamagedHeaders, NameNoTableAndLeaveTheSessionToTheBackwardSearch) {
    const TLoaded loaded = Load(kFixtures[0]);
    std::vector<uint8_t> bytes = SignedShow(loaded, 2);
    GetParam().Apply(bytes, loaded.OptionalHeader - kOptional);
    TMemoryFile file(bytes);
    const std::optional<TPeSignatureFields> fields = ReadPeSignatureFields(file);
    EXPECT_EQ(fields.has_value(), GetParam().HeadersRead);
    if (fields) EXPECT_FALSE(fields->Table.has_value());
    EXPECT_FALSE(TrailingCertificateTableStart(file).has_value());
    EXPECT_FALSE(FindSession(file, "Session1", false).has_value());
    const std::optional<TFoundTrailer> found = FindSession(file, "Session1", true);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->Offset, loaded.TableOffset - 2 - sizeof(TSessionTrailer));
    // A damaged entry is cleared on stripping and nothing is cut.
    if (fields) EXPECT_EQ(UnsignedImageOf(*fields, bytes.size())->Length, bytes.size());
}

INSTANTIATE_TEST_SUITE_P(RunnerHeaders, DamagedHeaders, ::testing::ValuesIn(kDamages),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(PeHeaders, AFileCutShortOfItsHeadersIsNoProgram) {
    const TLoaded loaded = Load(kFixtures[0]);
    const size_t pe = size_t(loaded.OptionalHeader - kOptional);
    for (size_t length : {size_t(0), size_t(2), size_t(0x3F), pe + 10, pe + kOptional + 100}) {
        TMemoryFile file(std::vector<uint8_t>(loaded.Headers.begin(), loaded.Headers.begin() + std::ptrdiff_t(length)));
        EXPECT_FALSE(ReadPeSignatureFields(file).has_value()) << length;
        EXPECT_FALSE(FindSession(file, "Session1", true).has_value()) << length;
    }
}

// DER for the signer tests: tag, length (short or long form), body.
std::string Der(uint8_t tag, const std::string& body) {
    std::string out(1, char(tag));
    if (body.size() < 0x80) {
        out += char(body.size());
    } else {
        std::string length;
        for (size_t n = body.size(); n; n >>= 8) length.insert(length.begin(), char(n & 0xFF));
        out += char(0x80 | length.size());
        out += length;
    }
    return out + body;
}
std::string Seq(const std::string& body) { return Der(0x30, body); }
std::string Oid(const std::string& encoded) { return Der(0x06, encoded); }
const std::string kCn = "\x55\x04\x03", kOu = "\x55\x04\x0B", kO = "\x55\x04\x0A";

// A Name of one attribute per relative name, or several in one when grouped.
std::string Name(const std::vector<std::vector<std::pair<std::string, std::string>>>& rdns) {
    std::string body;
    for (const auto& rdn : rdns) {
        std::string set;
        for (const auto& [oid, value] : rdn) set += Seq(Oid(oid) + value);
        body += Der(0x31, set);
    }
    return Seq(body);
}
std::string Utf8(const std::string& text) { return Der(0x0C, text); }
std::string Printable(const std::string& text) { return Der(0x13, text); }

std::string Certificate(const std::string& serial, const std::string& issuer, const std::string& subject) {
    const std::string algorithm = Seq(Oid("\x2A\x86\x48\x86\xF7\x0D\x01\x01\x0B") + Der(0x05, ""));
    const std::string tbs = Seq(Der(0xA0, Der(0x02, "\x02")) + Der(0x02, serial) + algorithm + issuer +
                                Seq(Der(0x17, "260101000000Z") + Der(0x17, "270101000000Z")) + subject +
                                Seq(algorithm + Der(0x03, std::string("\0\x01", 2))));
    return Seq(tbs + algorithm + Der(0x03, std::string("\0\x02", 2)));
}

const std::string kSignedDataOid = "\x2A\x86\x48\x86\xF7\x0D\x01\x07\x02";

std::string SignedData(const std::string& certificates, const std::string& signerIssuer, const std::string& serial,
                       const std::string& contentType = kSignedDataOid) {
    const std::string digest = Seq(Oid("\x60\x86\x48\x01\x65\x03\x04\x02\x01") + Der(0x05, ""));
    const std::string signer = Seq(Der(0x02, "\x01") + Seq(signerIssuer + Der(0x02, serial)) + digest +
                                   Seq(Oid("\x2A\x86\x48\x86\xF7\x0D\x01\x01\x01")) + Der(0x04, "sig"));
    const std::string data =
        Seq(Der(0x02, "\x01") + Der(0x31, digest) + Seq(Oid("\x2B\x06\x01\x04\x01\x82\x37\x02\x01\x04")) +
            (certificates.empty() ? "" : Der(0xA0, certificates)) + Der(0x31, signer));
    return Seq(Oid(contentType) + Der(0xA0, data));
}

// One WIN_CERTIFICATE: length, revision 2.0, type, data padded to eight bytes.
std::vector<uint8_t> Entry(const std::string& data, uint16_t type = kCertificateTypePkcsSignedData) {
    std::vector<uint8_t> bytes(8);
    Store32(bytes, 0, uint32_t(8 + data.size()));
    bytes[4] = 0x00, bytes[5] = 0x02, bytes[6] = uint8_t(type), bytes[7] = uint8_t(type >> 8);
    bytes.insert(bytes.end(), data.begin(), data.end());
    bytes.resize((bytes.size() + 7) / 8 * 8);
    return bytes;
}

const std::string kRoot = Name({{{kCn, Printable("Root")}}});
const std::string kIntermediate = Name({{{kO, Printable("Example")}}, {{kCn, Printable("Intermediate")}}});
const std::string kSigner = Name({{{kO, Printable("Example")}},
                                  {{kCn, Utf8("Gr\xC3\xBC\xC3\x9F"
                                              "e Show")}}});

TEST(SignerSubject, IsTheCertificateWithTheSignersIssuerAndSerial) {
    // The same serial from another issuer, and the signer's issuer with another serial.
    const std::string certificates = Certificate("\x07", kRoot, kIntermediate) +
                                     Certificate("\x05", kRoot, Name({{{kCn, Printable("Wrong issuer")}}})) +
                                     Certificate("\x06", kIntermediate, Name({{{kCn, Printable("Wrong serial")}}})) +
                                     Certificate("\x05", kIntermediate, kSigner);
    EXPECT_EQ(SignerSubject(Entry(SignedData(certificates, kIntermediate, "\x05"))),
              "CN=Gr\xC3\xBC\xC3\x9F"
              "e Show, O=Example");
    EXPECT_EQ(SignerSubject(Entry(SignedData(certificates, kRoot, "\x07"))), "CN=Intermediate, O=Example");
    EXPECT_FALSE(SignerSubject(Entry(SignedData(certificates, kRoot, "\x09"))).has_value());
    EXPECT_FALSE(SignerSubject(Entry(SignedData("", kIntermediate, "\x05"))).has_value());
}

TEST(SignerSubject, ShowsEachKindOfTextAsUtf8) {
    const struct {
        std::string Subject;
        const char* Shown;
    } cases[] = {
        {Name({{{kCn, Der(0x1E, std::string("\x03\xA9\x00"
                                            "A",
                                            4))}}}),
         "CN=\xCE\xA9"
         "A"},                                                                                  // BMPString
        {Name({{{kCn, Der(0x1C, std::string("\0\x01\xF6\x00", 4))}}}), "CN=\xF0\x9F\x98\x80"},  // UniversalString
        {Name({{{kCn, Der(0x14, "Caf\xE9")}}}), "CN=Caf\xC3\xA9"},                              // Teletex as Latin-1
        {Name({{{kCn, Utf8("a\nb")}}}), "CN=a?b"},
        {Name({{{kCn, Utf8("\xC3(\xE2\x82")}}}), "CN=?(??"},  // broken UTF-8: a mark per stray byte
        {Name({{{kCn, Printable("x")}, {kOu, Printable("y")}}}), "CN=x + OU=y"},
        {Name({{{"\x2A\x03\x04", Printable("v")}}}), "OID.1.2.3.4=v"},
        {Name({{{kCn, Der(0x04, "\x01\x02")}}}), "CN=#04020102"},
        {Name({{{kCn, Der(0x1E, std::string("\0\x01", 2))}}}), "CN=?"},  // a control character
    };
    for (const auto& c : cases) {
        const std::string certificates = Certificate("\x01", kRoot, c.Subject);
        EXPECT_EQ(SignerSubject(Entry(SignedData(certificates, kRoot, "\x01"))), c.Shown) << c.Shown;
    }
}

TEST(SignerSubject, SkipsCertificateEntriesOfOtherTypes) {
    std::vector<uint8_t> table = Entry("an X.509 certificate of odd length", 1);
    const std::vector<uint8_t> pkcs = Entry(SignedData(Certificate("\x01", kRoot, kSigner), kRoot, "\x01"));
    table.insert(table.end(), pkcs.begin(), pkcs.end());
    EXPECT_EQ(SignerSubject(table),
              "CN=Gr\xC3\xBC\xC3\x9F"
              "e Show, O=Example");
}

TEST(SignerSubject, DamagedDerGivesNoSigner) {
    const std::string certificates = Certificate("\x05", kIntermediate, kSigner);
    const std::string good = SignedData(certificates, kIntermediate, "\x05");
    ASSERT_TRUE(SignerSubject(Entry(good)).has_value());
    std::string indefinite = good;
    indefinite[1] = char(0x80);
    std::string fiveLengthBytes = good;
    fiveLengthBytes[1] = char(0x85);
    std::string innerTooLong = good;  // the signer's certificate claims more than its parent holds
    const size_t certificateLength = good.find(certificates) + 1;
    ASSERT_EQ(uint8_t(good[certificateLength]), 0x81);
    ASSERT_LT(uint8_t(good[certificateLength + 1]), 0xFF);
    innerTooLong[certificateLength + 1] = char(0xFF);
    const std::vector<uint8_t> whole = Entry(good);
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"indefinite length", Entry(indefinite)},
        {"five length bytes", Entry(fiveLengthBytes)},
        {"element longer than its parent", Entry(innerTooLong)},
        {"not signedData",
         Entry(SignedData(certificates, kIntermediate, "\x05", "\x2A\x86\x48\x86\xF7\x0D\x01\x07\x01"))},
        {"entry longer than the table", std::vector<uint8_t>(whole.begin(), whole.end() - 16)},
        {"entry length below its header", {4, 0, 0, 0, 0, 2, 2, 0}},
        {"empty", {}},
    };
    for (const auto& [name, table] : cases) EXPECT_FALSE(SignerSubject(table).has_value()) << name;
    // Every cut of the DER inside an entry that claims exactly the cut length.
    for (size_t cut = 0; cut < good.size(); ++cut)
        EXPECT_FALSE(SignerSubject(Entry(good.substr(0, cut))).has_value()) << cut;
}

}  // namespace
}  // namespace quindle
