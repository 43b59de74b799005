// The DER walk from a certificate table to its signer's subject:
//   WIN_CERTIFICATE -> ContentInfo (signedData) -> SignedData
//   SignedData.signerInfos[0].issuerAndSerialNumber picks one of SignedData.certificates
//   that certificate's subject Name -> "CN=..., O=..."
#include "package/SignerSubject.h"

#include <cstring>

namespace quindle {
namespace {

constexpr uint8_t kInteger = 0x02, kOid = 0x06, kSequence = 0x30, kSet = 0x31;
constexpr uint8_t kContext0 = 0xA0, kContext1 = 0xA1;  // constructed [0] and [1]
// 1.2.840.113549.1.7.2, PKCS#7 signedData
constexpr uint8_t kSignedDataOid[] = {0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x07, 0x02};

// One DER element; Whole spans its tag and length too, for comparing encodings.
struct TDer {
    uint8_t Tag = 0;
    const uint8_t* Body = nullptr;
    size_t Length = 0;
    const uint8_t* Whole = nullptr;
    size_t WholeLength = 0;

    bool SameBody(const TDer& other) const {
        return Length == other.Length && std::memcmp(Body, other.Body, Length) == 0;
    }
    bool SameEncoding(const TDer& other) const {
        return WholeLength == other.WholeLength && std::memcmp(Whole, other.Whole, WholeLength) == 0;
    }
};

// Reads the elements inside one constructed element (or a byte range) in order. Any
// element cut short, or in a form DER does not allow (indefinite length), ends it.
class TDerReader {
public:
    TDerReader(const uint8_t* begin, const uint8_t* end) : at_(begin), end_(end) {}
    explicit TDerReader(const TDer& constructed)
        : TDerReader(constructed.Body, constructed.Body + constructed.Length) {}

    bool Done() const { return at_ == end_; }
    std::optional<uint8_t> PeekTag() const {
        if (at_ == end_) return std::nullopt;
        return *at_;
    }
    std::optional<TDer> Next() {
        if (end_ - at_ < 2 || (at_[0] & 0x1F) == 0x1F) return std::nullopt;  // no high tag numbers here
        TDer item;
        item.Tag = at_[0];
        item.Whole = at_;
        const uint8_t* p = at_ + 2;
        size_t length = at_[1];
        if (length & 0x80) {
            const size_t bytes = length & 0x7F;
            if (bytes == 0 || bytes > 4 || size_t(end_ - p) < bytes) return std::nullopt;
            length = 0;
            for (size_t i = 0; i < bytes; ++i) length = length << 8 | *p++;
        }
        if (size_t(end_ - p) < length) return std::nullopt;
        item.Body = p;
        item.Length = length;
        at_ = p + length;
        item.WholeLength = size_t(at_ - item.Whole);
        return item;
    }
    std::optional<TDer> Next(uint8_t tag) {
        std::optional<TDer> item = Next();
        if (!item || item->Tag != tag) return std::nullopt;
        return item;
    }
    // Skips the next element when it carries tag; false when it is cut short.
    bool SkipOptional(uint8_t tag) { return PeekTag() != tag || Next().has_value(); }

private:
    const uint8_t* at_;
    const uint8_t* end_;
};

struct TSignerId {
    TDer Issuer, Serial;
};

struct TSignedData {
    std::optional<TDer> Certificates;  // [0] IMPLICIT SET OF Certificate
    TSignerId Signer;
};

std::optional<TSignedData> ReadSignedData(const uint8_t* begin, const uint8_t* end) {
    TDerReader outer(begin, end);
    const std::optional<TDer> contentInfo = outer.Next(kSequence);
    if (!contentInfo) return std::nullopt;
    TDerReader content(*contentInfo);
    const std::optional<TDer> type = content.Next(kOid);
    if (!type || type->Length != sizeof kSignedDataOid || std::memcmp(type->Body, kSignedDataOid, type->Length) != 0)
        return std::nullopt;
    const std::optional<TDer> wrapped = content.Next(kContext0);
    if (!wrapped) return std::nullopt;
    TDerReader explicitContent(*wrapped);
    const std::optional<TDer> signedData = explicitContent.Next(kSequence);
    if (!signedData) return std::nullopt;

    TDerReader fields(*signedData);
    if (!fields.Next(kInteger) || !fields.Next(kSet) || !fields.Next(kSequence)) return std::nullopt;
    TSignedData result;
    if (fields.PeekTag() == kContext0) result.Certificates = fields.Next();
    if (!fields.SkipOptional(kContext1)) return std::nullopt;  // crls
    const std::optional<TDer> signerInfos = fields.Next(kSet);
    if (!signerInfos) return std::nullopt;
    TDerReader signers(*signerInfos);
    const std::optional<TDer> signerInfo = signers.Next(kSequence);
    if (!signerInfo) return std::nullopt;
    TDerReader signer(*signerInfo);
    // Authenticode signers are version 1: issuer and serial number, not a key id.
    const std::optional<TDer> issuerAndSerial = signer.Next(kInteger) ? signer.Next(kSequence) : std::nullopt;
    if (!issuerAndSerial) return std::nullopt;
    TDerReader id(*issuerAndSerial);
    const std::optional<TDer> issuer = id.Next(kSequence);
    const std::optional<TDer> serial = id.Next(kInteger);
    if (!issuer || !serial) return std::nullopt;
    result.Signer = {*issuer, *serial};
    return result;
}

// The subject Name of the certificate that id names, among certificates.
std::optional<TDer> SubjectOf(const TDer& certificates, const TSignerId& id) {
    TDerReader list(certificates);
    while (!list.Done()) {
        const std::optional<TDer> certificate = list.Next();
        if (!certificate) return std::nullopt;
        if (certificate->Tag != kSequence) continue;  // other certificate choices
        TDerReader outer(*certificate);
        const std::optional<TDer> tbs = outer.Next(kSequence);
        if (!tbs) return std::nullopt;
        TDerReader fields(*tbs);
        if (!fields.SkipOptional(kContext0)) return std::nullopt;  // version
        const std::optional<TDer> serial = fields.Next(kInteger);
        const std::optional<TDer> algorithm = fields.Next(kSequence);
        const std::optional<TDer> issuer = fields.Next(kSequence);
        const std::optional<TDer> validity = fields.Next(kSequence);
        const std::optional<TDer> subject = fields.Next(kSequence);
        if (!serial || !algorithm || !issuer || !validity || !subject) return std::nullopt;
        if (serial->SameBody(id.Serial) && issuer->SameEncoding(id.Issuer)) return subject;
    }
    return std::nullopt;
}

std::string DottedOid(const TDer& oid) {
    std::string text;
    uint64_t arc = 0;
    bool first = true;
    for (size_t i = 0; i < oid.Length; ++i) {
        arc = arc << 7 | (oid.Body[i] & 0x7F);
        if (oid.Body[i] & 0x80) continue;
        if (first) {
            const uint64_t top = arc < 80 ? arc / 40 : 2;
            text = std::to_string(top) + "." + std::to_string(arc - top * 40);
            first = false;
        } else {
            text += "." + std::to_string(arc);
        }
        arc = 0;
    }
    return text;
}

// Attribute names as Windows shows them in a certificate's subject.
std::string AttributeName(const TDer& oid) {
    static const struct {
        const char* Oid;
        const char* Name;
    } kNames[] = {{"2.5.4.3", "CN"},
                  {"2.5.4.5", "SERIALNUMBER"},
                  {"2.5.4.6", "C"},
                  {"2.5.4.7", "L"},
                  {"2.5.4.8", "S"},
                  {"2.5.4.9", "STREET"},
                  {"2.5.4.10", "O"},
                  {"2.5.4.11", "OU"},
                  {"1.2.840.113549.1.9.1", "E"},
                  {"0.9.2342.19200300.100.1.25", "DC"}};
    const std::string dotted = DottedOid(oid);
    for (const auto& known : kNames)
        if (dotted == known.Oid) return known.Name;
    return "OID." + dotted;
}

void AppendUtf8(std::string& text, uint32_t c) {
    if (c < 0x20 || c == 0x7F || (c >= 0xD800 && c < 0xE000) || c > 0x10FFFF) c = '?';
    if (c < 0x80) {
        text += char(c);
    } else if (c < 0x800) {
        text += char(0xC0 | c >> 6);
        text += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += char(0xE0 | c >> 12);
        text += char(0x80 | (c >> 6 & 0x3F));
        text += char(0x80 | (c & 0x3F));
    } else {
        text += char(0xF0 | c >> 18);
        text += char(0x80 | (c >> 12 & 0x3F));
        text += char(0x80 | (c >> 6 & 0x3F));
        text += char(0x80 | (c & 0x3F));
    }
}

// Copies the UTF-8 character at p, a '?' for a broken one; the bytes it took.
size_t AppendUtf8Character(std::string& text, const uint8_t* p, size_t left) {
    const size_t length = p[0] < 0x80             ? 1
                          : (p[0] & 0xE0) == 0xC0 ? 2
                          : (p[0] & 0xF0) == 0xE0 ? 3
                          : (p[0] & 0xF8) == 0xF0 ? 4
                                                  : 0;
    if (length == 0 || length > left) {
        text += '?';
        return 1;
    }
    uint32_t c = length == 1 ? p[0] : p[0] & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            text += '?';
            return i;
        }
        c = c << 6 | (p[i] & 0x3F);
    }
    constexpr uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};  // shorter forms are not UTF-8
    AppendUtf8(text, c < kLeast[length] ? '?' : c);
    return length;
}

// A directory string as UTF-8, control characters as '?': UTF8String checked, BMPString and UniversalString
// from big-endian UCS, the one-byte kinds as Latin-1; any other kind in hex.
std::string AttributeValue(const TDer& value) {
    constexpr uint8_t kUtf8 = 0x0C, kBmp = 0x1E, kUniversal = 0x1C;
    constexpr uint8_t kOneByte[] = {0x12, 0x13, 0x14, 0x16, 0x1A};  // numeric, printable, teletex, IA5, visible
    std::string text;
    const uint8_t* p = value.Body;
    if (value.Tag == kUtf8) {
        for (size_t i = 0; i < value.Length;) i += AppendUtf8Character(text, p + i, value.Length - i);
        return text;
    }
    if (value.Tag == kBmp || value.Tag == kUniversal) {
        const size_t width = value.Tag == kBmp ? 2 : 4;
        for (size_t i = 0; i + width <= value.Length; i += width) {
            uint32_t c = 0;
            for (size_t b = 0; b < width; ++b) c = c << 8 | p[i + b];
            AppendUtf8(text, c);
        }
        return text;
    }
    if (std::memchr(kOneByte, value.Tag, sizeof kOneByte)) {
        for (size_t i = 0; i < value.Length; ++i) AppendUtf8(text, p[i]);
        return text;
    }
    static const char kHex[] = "0123456789ABCDEF";
    text = "#";
    for (size_t i = 0; i < value.WholeLength; ++i) {
        text += kHex[value.Whole[i] >> 4];
        text += kHex[value.Whole[i] & 15];
    }
    return text;
}

// Relative names in reverse order of encoding, as Windows and RFC 4514 show them.
std::optional<std::string> FormatName(const TDer& name) {
    std::string text;
    TDerReader rdns(name);
    while (!rdns.Done()) {
        const std::optional<TDer> rdn = rdns.Next(kSet);
        if (!rdn) return std::nullopt;
        std::string part;
        TDerReader attributes(*rdn);
        while (!attributes.Done()) {
            const std::optional<TDer> attribute = attributes.Next(kSequence);
            if (!attribute) return std::nullopt;
            TDerReader typeAndValue(*attribute);
            const std::optional<TDer> type = typeAndValue.Next(kOid);
            const std::optional<TDer> value = typeAndValue.Next();
            if (!type || !value) return std::nullopt;
            part += (part.empty() ? "" : " + ") + AttributeName(*type) + "=" + AttributeValue(*value);
        }
        text = text.empty() ? part : part + ", " + text;
    }
    return text;
}

uint32_t Load32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

std::optional<std::string> SignerSubject(const std::vector<uint8_t>& table) {
    // WIN_CERTIFICATE entries: dwLength, wRevision, wCertificateType, then the data;
    // each entry starts on an eight-byte boundary.
    constexpr size_t kHeader = 8;
    size_t at = 0;
    while (table.size() - at >= kHeader) {
        const uint32_t length = Load32(&table[at]);
        const uint16_t type = uint16_t(table[at + 6] | table[at + 7] << 8);
        if (length < kHeader || length > table.size() - at) return std::nullopt;
        if (type == kCertificateTypePkcsSignedData) {
            const std::optional<TSignedData> signedData = ReadSignedData(&table[at + kHeader], &table[at] + length);
            if (!signedData || !signedData->Certificates) return std::nullopt;
            const std::optional<TDer> subject = SubjectOf(*signedData->Certificates, signedData->Signer);
            return subject ? FormatName(*subject) : std::nullopt;
        }
        at += (size_t(length) + 7) / 8 * 8;
        if (at > table.size()) return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace quindle
