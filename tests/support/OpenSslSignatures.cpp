#include "support/OpenSslSignatures.h"

namespace qm::test {

TestSigningKey::TestSigningKey()
    : signer_(defserver::Signer::Generate()),
      point_(signer_.PublicPoint()),
      id_(update::KeyIdOf(defserver::Sha256(point_).data())) {}

update::KeyLine TestSigningKey::Line() const {
    update::KeyLine line;
    line.id = id_;
    line.publicKey = point_;
    return line;
}

update::KeyLine TestSigningKey::Introduce(const TestSigningKey& other,
                                          const std::string& retires) const {
    update::KeyLine line = other.Line();
    line.signerId = id_;
    line.signerRetires = retires;
    line.signature = Sign(update::IntroductionText(line));
    return line;
}

std::string TestSigningKey::Sign(std::string_view bytes) const {
    return signer_.SignDigest(defserver::Sha256(bytes));
}

std::string TestSigningKey::SignedAnswer(update::SignedPurpose purpose, std::string_view payload,
                                         std::string_view context, const std::string& made) const {
    update::SignatureLine line{purpose, id_, made, {}};
    const std::string body = update::BodyOf(purpose, payload);
    line.signature = Sign(update::SignedBytes(line, context, body));
    return update::SignedAnswerText(body, line);
}

}  // namespace qm::test
