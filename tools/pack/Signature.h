// The Authenticode signature of a runner or a show as quindle-pack meets it: info shows
// who signed a show; pack refuses a signed stub, because a session appended after the
// certificate table breaks the signature, unless told to pack onto the stub's image
// without its signature.
#pragma once

#include <optional>
#include <string>

#include "package/PeImage.h"

namespace quindle::pack {

struct TSignatureFacts {
    bool Signed = false;  // the security directory names a certificate table
    std::optional<TCertificateTable> Table;
    bool DataAfterTable = false;        // bytes were appended after signing
    std::optional<std::string> Signer;  // the signer's certificate subject, when readable
};

TSignatureFacts ReadSignature(const std::string& path);

// One line for info: "none", or who signed and where the table lies.
std::string DescribeSignature(const TSignatureFacts& facts);

// The image pack copies from the stub: nullopt for the stub as it is. A signed stub is
// refused (EUsageError, exit 2) unless stripSignature, which gives its unsigned image
// and says so on stderr.
std::optional<TUnsignedImage> StubImageForPack(const std::string& stub, bool stripSignature);

}  // namespace quindle::pack
