// Fuzzes the reading of signed programs over arbitrary bytes: the PE headers with the
// certificate table they name, the unsigned image pack would write, and the DER walk
// to the signer's subject. Every run must end in an answer: no read outside the input,
// a table inside the file, an image whose cleared fields lie within it.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "package/PeImage.h"
#include "package/SignerSubject.h"

using namespace quindle;

namespace {

class TMemoryReader : public IArchiveReader {
public:
    TMemoryReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint64_t Size() override { return size_; }
    void Seek(uint64_t position) override { position_ = position; }
    size_t Read(void* buffer, size_t count) override {
        if (position_ >= size_) return 0;
        const size_t n = size_t(std::min<uint64_t>(count, size_ - position_));
        std::memcpy(buffer, data_ + position_, n);
        position_ += n;
        return n;
    }

private:
    const uint8_t* data_;
    size_t size_;
    uint64_t position_ = 0;
};

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TMemoryReader file(data, size);
    const std::optional<TPeSignatureFields> fields = ReadPeSignatureFields(file);
    if (fields && fields->Table) Check(fields->Table->Offset + fields->Table->Size <= size);
    if (fields) {
        if (const std::optional<TUnsignedImage> image = UnsignedImageOf(*fields, size)) {
            Check(image->Length <= size);
            for (const TByteRange& range : image->Zeroed) Check(range.Offset + range.Length <= image->Length);
        }
    }
    if (const std::optional<uint64_t> start = TrailingCertificateTableStart(file)) Check(*start < size);
    // The input as a certificate table, and as the data of one PKCS#7 entry.
    const std::optional<std::string> asTable = SignerSubject(std::vector<uint8_t>(data, data + size));
    std::vector<uint8_t> entry = {0, 0, 0, 0, 0x00, 0x02, uint8_t(kCertificateTypePkcsSignedData), 0};
    entry.insert(entry.end(), data, data + size);
    const uint32_t length = uint32_t(entry.size());
    for (int i = 0; i < 4; ++i) entry[size_t(i)] = uint8_t(length >> (8 * i));
    const std::optional<std::string> asEntry = SignerSubject(entry);
    Check(!asTable || !asTable->empty() || size > 0);
    Check(!asEntry || asEntry->find('\n') == std::string::npos);
    return 0;
}
