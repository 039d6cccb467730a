#pragma once
// The check every answer of the maker's servers passes before anything is written: signed by
// a key the program trusts, with a signature that matches its bytes, for the use it is put to,
// and for a date answer recent. A key the program does not know yet is looked for once among
// the server's "/keys" introductions.

#include <functional>
#include <string>
#include <string_view>

#include "platform/Platform.h"
#include "ui/Interaction.h"
#include "update/SignedAnswer.h"
#include "update/UpdateKeys.h"

namespace qm::update {

// The keys the program learned from its server, in the data folder.
inline constexpr const char* kLearnedKeysFile = "LearnedUpdateKeys.txt";
// A signed date answer older than this is an old one replayed: it could otherwise keep the
// program from newer definitions unnoticed.
inline constexpr double kSignedDateLifeDays = 2.0;

enum class Verdict {
    Verified,         // signed by a trusted key, and the signature matches
    AllowedUnsigned,  // unsigned, and the machine allows unsigned answers
    Unsigned,         // no signature line, or one that does not read
    UnknownKey,       // signed by a key the program does not trust (or no longer does)
    BadSignature,     // the signature does not match the bytes
    Stale,            // a date answer signed too long ago
};
bool Trusted(Verdict verdict);
const char* VerdictName(Verdict verdict);

struct CheckedAnswer {
    Verdict verdict = Verdict::Unsigned;
    std::string payload;  // the answer without its signature line; empty unless trusted
};

struct VerifierSettings {
    std::string programFolder;  // where the installed key file is; no trailing separator
    std::string dataFolder;     // where learned keys are kept
    std::string keysUrl;        // the server's "/keys"
    // The machine-wide `AllowUnsignedDefinitions`: an administrator's own unsigned server.
    bool allowUnsigned = false;
};

class AnswerVerifier {
  public:
    AnswerVerifier(platform::Platform& platform, ui::EventPump& pump, VerifierSettings settings);

    // `context` is what the signature binds the answer to besides its bytes (the installed
    // date a definitions query sent). `keepGoing` as for the request it came from.
    CheckedAnswer Check(SignedPurpose purpose, std::string_view answer, std::string_view context,
                        const std::function<bool()>& keepGoing = {});

  private:
    Verdict Verify(const SignatureLine& line, std::string_view context, std::string_view body,
                   double today);
    // Fetches "/keys" (once) and keeps what it introduces; true when a key was learned.
    bool LearnFromServer(const std::function<bool()>& keepGoing, double today);
    double Today() const;

    platform::Platform& platform_;
    ui::EventPump& pump_;
    VerifierSettings settings_;
    TrustedKeys keys_;
    bool askedForKeys_ = false;
};

}  // namespace qm::update
