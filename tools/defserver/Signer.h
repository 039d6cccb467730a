#pragma once
// The server's half of the maker's signatures, on OpenSSL: P-256 key pairs, SHA-256, and ECDSA
// signatures in the form the program verifies (r then s, 32 bytes each). The verifying half
// serves the tests' check of what the server sends.

#include <memory>
#include <string>
#include <string_view>

#include "platform/Signatures.h"

struct evp_pkey_st;

namespace qm::defserver {

struct KeyFree {
    void operator()(evp_pkey_st* key) const;
};
using KeyPointer = std::unique_ptr<evp_pkey_st, KeyFree>;

platform::Sha256Digest Sha256(std::string_view bytes);

// One private key. Signing from several threads at once is safe: each signature has its own
// context and the key is only read.
class Signer {
  public:
    static Signer Generate();
    // Throws when the text holds no private key.
    static Signer FromPem(const std::string& pem);

    std::string PrivatePem() const;
    // The uncompressed point: 0x04, X, Y (65 bytes).
    std::string PublicPoint() const;
    // r then s, big-endian, each padded to 32 bytes.
    std::string SignDigest(const platform::Sha256Digest& digest) const;

  private:
    explicit Signer(KeyPointer key) : key_(std::move(key)) {}
    KeyPointer key_;
};

class OpenSslSignatures final : public platform::Signatures {
  public:
    std::optional<platform::Sha256Digest> Sha256(std::string_view bytes) override;
    bool VerifyP256(std::string_view publicKey, const platform::Sha256Digest& digest,
                    std::string_view signature) override;
};

}  // namespace qm::defserver
