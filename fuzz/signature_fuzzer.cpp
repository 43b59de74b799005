// Fuzzes the reading of signed programs over arbitrary bytes: the PE headers with the
// certificate table they name, the unsigned image pack would write, and the DER walk
// to the signer's subject. Every run must end in an answer: no read outside the input,
// a table inside the file, an image whose cleared fields lie within it, a subject
// without control characters.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz/MemoryArchive.h"
#include "package/PeImage.h"
#include "package/SignerSubject.h"

using namespace quindle;

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::TMemoryArchive archive(data, size);
    const std::unique_ptr<IArchiveReader> reader = archive.OpenArchive("show.exe");
    IArchiveReader& file = *reader;
    const std::optional<TPeSignatureFields> fields = ReadPeSignatureFields(file);
    if (fields && fields->Table) Check(fields->Table->Offset + fields->Table->Size <= size);
    if (fields) {
        if (const std::optional<TUnsignedImage> image = UnsignedImageOf(*fields, size)) {
            Check(image->Length <= size);
            for (const TByteRange& range : image->Zeroed) Check(range.Offset + range.Length <= image->Length);
        }
    }
    if (const std::optional<uint64_t> start = TrailingCertificateTableStart(file)) Check(*start < size);
    // The input as a certificate table, and as the data of one PKCS#7 entry. A subject
    // goes on one line of quindle-pack's output: no control characters in it.
    std::vector<uint8_t> entry = {0, 0, 0, 0, 0x00, 0x02, uint8_t(kCertificateTypePkcsSignedData), 0};
    entry.insert(entry.end(), data, data + size);
    const uint32_t length = uint32_t(entry.size());
    for (int i = 0; i < 4; ++i) entry[size_t(i)] = uint8_t(length >> (8 * i));
    for (const std::optional<std::string>& subject :
         {SignerSubject(std::vector<uint8_t>(data, data + size)), SignerSubject(entry)}) {
        if (subject)
            for (const char c : *subject) Check(uint8_t(c) >= 0x20 && c != 0x7F);
    }
    return 0;
}
