#pragma once
// SHA-256 and ECDSA P-256 verification with the system's CNG providers.

#include "platform/Signatures.h"

namespace qm::platform::win32 {

class Win32Signatures final : public Signatures {
  public:
    std::optional<Sha256Digest> Sha256(std::string_view bytes) override;
    bool VerifyP256(std::string_view publicKey, const Sha256Digest& digest,
                    std::string_view signature) override;
};

}  // namespace qm::platform::win32
