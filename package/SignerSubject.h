// Who signed a program, as quindle-pack info shows it: the subject of the certificate
// that made the first Authenticode signature in the program's certificate table. Read
// from the PKCS#7 SignedData with a small DER walk; neither the signature nor the
// certificate is checked.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quindle {

// WIN_CERTIFICATE's wCertificateType for a PKCS#7 SignedData.
constexpr uint16_t kCertificateTypePkcsSignedData = 2;

// The subject as Windows shows it, most specific part first ("CN=..., O=..., C=..."),
// texts in UTF-8; nullopt when the table holds no SignedData whose first signer's
// certificate is among its certificates, or when the walk meets damaged DER.
std::optional<std::string> SignerSubject(const std::vector<uint8_t>& certificateTable);

}  // namespace quindle
