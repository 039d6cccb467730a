#pragma once
// The fake machine's cryptography is the real thing, the definition server's own OpenSSL half:
// the native tests sign as the server does and the program's checks verify as on Windows.

#include <string>

#include "Signer.h"
#include "update/SignedAnswer.h"
#include "update/UpdateKeys.h"

namespace qm::test {

using defserver::OpenSslSignatures;

// A P-256 key pair made for one test.
class TestSigningKey {
  public:
    TestSigningKey();

    const std::string& Id() const { return id_; }
    // The key as the installed key file lists it.
    update::KeyLine Line() const;
    // `other` introduced by this key, which retires after `retires`.
    update::KeyLine Introduce(const TestSigningKey& other, const std::string& retires) const;
    // The whole answer the server would send.
    std::string SignedAnswer(update::SignedPurpose purpose, std::string_view payload,
                             std::string_view context, const std::string& made) const;

  private:
    std::string Sign(std::string_view bytes) const;

    defserver::Signer signer_;
    std::string point_, id_;
};

}  // namespace qm::test
