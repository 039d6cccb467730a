// libFuzzer target for the signature line and the key file, whatever the network or the data
// folder holds. Checked: a signature line that reads is written back to the same answer text
// and reads again the same; each key line that reads is written back and reads the same.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "update/SignedAnswer.h"
#include "update/UpdateKeys.h"

namespace {

using namespace qm::update;

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "check failed: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const SplitAnswer split = SplitSignedAnswer(input);
    Check(split.body.size() <= input.size(), "the body is part of the answer");
    Check(input.compare(0, split.body.size(), split.body) == 0, "the body is the answer's start");
    if (split.signature) {
        const std::string again = SignedAnswerText(split.body, *split.signature);
        const SplitAnswer reread = SplitSignedAnswer(again);
        Check(reread.signature.has_value(), "a written line reads");
        Check(reread.body == split.body, "the same body");
        Check(reread.signature->signature == split.signature->signature &&
                  reread.signature->keyId == split.signature->keyId &&
                  reread.signature->made == split.signature->made,
              "the same fields");
        Check(PayloadOf(split.signature->purpose, split.body).size() <= split.body.size(),
              "the payload is no longer than the body");
    }
    for (const KeyLine& key : ParseKeyFile(input)) {
        const auto reread = ParseKeyLine(KeyLineText(key));
        Check(reread.has_value(), "a written key line reads");
        Check(reread->id == key.id && reread->publicKey == key.publicKey &&
                  reread->signerId == key.signerId && reread->signature == key.signature,
              "the same key");
    }
    return 0;
}
