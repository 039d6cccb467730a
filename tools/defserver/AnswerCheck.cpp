// What a client makes of one answer of the server, read with the core's own functions: the
// installed keys trusted as they stand, the introductions offered by "/keys" learned as the
// program learns them, then the answer's signature line checked against its bytes and its
// context. Prints "verified <key id>" and the payload, or why the answer is refused (exit 1).
//   qm_answer_check INSTALLED_KEYS OFFERED_KEYS PURPOSE CONTEXT < ANSWER

#include <ctime>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "Signer.h"
#include "platform/Clock.h"
#include "update/SignedAnswer.h"
#include "update/UpdateKeys.h"

namespace {

using namespace qm::update;

std::string ReadAll(std::istream& in) {
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int Refuse(const char* why) {
    std::cout << why << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr
            << "usage: qm_answer_check INSTALLED_KEYS OFFERED_KEYS PURPOSE CONTEXT < ANSWER\n";
        return 2;
    }
    std::ifstream installed(argv[1], std::ios::binary), offered(argv[2], std::ios::binary);
    const std::string purposeName = argv[3], context = argv[4], answer = ReadAll(std::cin);
    const double today = static_cast<double>(qm::platform::kDateValueOfUnixEpoch) +
                         static_cast<double>(std::time(nullptr)) / (24.0 * 60 * 60);

    qm::defserver::OpenSslSignatures signatures;
    TrustedKeys keys(signatures);
    keys.Load(ParseKeyFile(ReadAll(installed)), {});
    keys.Learn(ParseKeyFile(ReadAll(offered)), today);

    const SplitAnswer split = SplitSignedAnswer(answer);
    if (!split.signature) return Refuse("unsigned");
    const SignatureLine& line = *split.signature;
    if (purposeName != PurposeName(line.purpose)) return Refuse("signed for another use");
    const auto key = keys.UsableKey(line.keyId, today);
    if (!key) return Refuse("signed by an unknown key");
    const auto digest = signatures.Sha256(SignedBytes(line, context, split.body));
    if (!digest || !signatures.VerifyP256(*key, *digest, line.signature))
        return Refuse("signature does not match");
    std::cout << "verified " << line.keyId << "\n" << PayloadOf(line.purpose, split.body);
    return 0;
}
