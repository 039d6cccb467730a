#pragma once
// The system's cryptography, as far as the program checks its maker's signatures: SHA-256
// digests and ECDSA P-256 signatures.

#include <array>
#include <optional>
#include <string_view>

namespace qm::platform {

using Sha256Digest = std::array<unsigned char, 32>;

// A public key as the maker publishes it: the uncompressed curve point, 0x04 then X and Y.
inline constexpr std::size_t kP256PublicKeyBytes = 65;
// A signature as the maker sends it: r then s, 32 bytes each, big-endian.
inline constexpr std::size_t kP256SignatureBytes = 64;

class Signatures {
  public:
    virtual ~Signatures() = default;
    // Nothing when the system's provider cannot hash.
    virtual std::optional<Sha256Digest> Sha256(std::string_view bytes) = 0;
    // True only when `signature` is a valid signature of `digest` by `publicKey`; a key or
    // signature of the wrong size, a point not on the curve or any failure gives false.
    virtual bool VerifyP256(std::string_view publicKey, const Sha256Digest& digest,
                            std::string_view signature) = 0;
};

}  // namespace qm::platform
