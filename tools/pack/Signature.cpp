// Reading a file's signature through the runner's own PE reading, and pack's rule for
// signed stubs.
#include "tools/pack/Signature.h"

#include <cstdio>
#include <stdexcept>
#include <vector>

#include "package/SignerSubject.h"
#include "tools/pack/CommandLine.h"
#include "tools/pack/HostFiles.h"

namespace quindle::pack {

namespace {

std::vector<uint8_t> ReadTable(IArchiveReader& file, const TCertificateTable& table) {
    std::vector<uint8_t> bytes(table.Size);
    file.Seek(table.Offset);
    size_t got = 0;
    while (got < bytes.size()) {
        const size_t n = file.Read(bytes.data() + got, bytes.size() - got);
        if (n == 0) throw std::runtime_error("Stream read error");
        got += n;
    }
    return bytes;
}

}  // namespace

TSignatureFacts ReadSignature(const std::string& path) {
    auto file = MakeHostFileSystem()->OpenArchive(path);
    const std::optional<TPeSignatureFields> fields = ReadPeSignatureFields(*file);
    TSignatureFacts facts;
    if (!fields || !fields->HasSecurityEntry()) return facts;
    facts.Signed = true;
    facts.Table = fields->Table;
    if (!facts.Table) return facts;
    facts.DataAfterTable = facts.Table->Offset + facts.Table->Size < file->Size();
    facts.Signer = SignerSubject(ReadTable(*file, *facts.Table));
    return facts;
}

std::string DescribeSignature(const TSignatureFacts& facts) {
    if (!facts.Signed) return "none";
    if (!facts.Table) return "damaged: the security directory names no certificate table inside the file";
    std::string text = "signed by " + (facts.Signer ? *facts.Signer : std::string("(signer not readable)")) +
                       " (not checked; certificate table of " + std::to_string(facts.Table->Size) +
                       " bytes at offset " + std::to_string(facts.Table->Offset) + ")";
    if (facts.DataAfterTable) text += "; bytes follow the table: appended after signing, which breaks the signature";
    return text;
}

std::optional<TUnsignedImage> StubImageForPack(const std::string& stub, bool stripSignature) {
    auto file = MakeHostFileSystem()->OpenArchive(stub);
    const std::optional<TPeSignatureFields> fields = ReadPeSignatureFields(*file);
    if (!fields || !fields->HasSecurityEntry()) return std::nullopt;
    const std::string table = fields->Table ? "a certificate table of " + std::to_string(fields->Table->Size) +
                                                  " bytes at offset " + std::to_string(fields->Table->Offset)
                                            : "a damaged security directory entry";
    if (!stripSignature)
        throw EUsageError(
            "the stub " + stub + " is signed (" + table +
            "): a session appended after the signature breaks it. Pack the unsigned runner and sign the packed "
            "show, or give --strip-signature to pack onto the stub without its signature");
    std::optional<TUnsignedImage> image = UnsignedImageOf(*fields, file->Size());
    if (!image)
        throw EUsageError("the stub " + stub + " has bytes after its certificate table (" + table +
                          "): stripping the signature would cut them off");
    std::fprintf(stderr,
                 "quindle-pack: packing onto %s without its signature (%s removed, security directory entry and PE "
                 "checksum set to 0): the packed show is unsigned; sign it now\n",
                 stub.c_str(), table.c_str());
    return image;
}

}  // namespace quindle::pack
