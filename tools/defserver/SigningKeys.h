#pragma once
// The publication's signing keys: the first stands alone, each later one is introduced by the
// newest key before it, which retires some days later; the newest signs every answer.

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "Publication.h"
#include "Signer.h"
#include "update/SignedAnswer.h"
#include "update/UpdateKeys.h"

namespace qm::defserver {

inline constexpr int kDefaultRetirementDays = 30;

// Makes a key pair and keeps it. A later key is introduced by the newest one, whose last day
// of signing is today (UTC) plus `retireOldAfterDays`. Gives the new key's line.
update::KeyLine MakeKey(Publication& db, int retireOldAfterDays);

// The key file ("UpdateKeys.txt", and the "/keys" answer): every key, oldest first, the first
// as it stands and each later one with its introduction.
std::string KeyFileText(const std::vector<StoredKey>& keys);

// Signs answers with the publication's newest key as it was when made. Safe to share between
// the server's threads: signing only reads the key.
class AnswerSigner {
  public:
    // Throws when the publication has no key.
    explicit AnswerSigner(Publication& db);

    // The whole answer: the payload in its carrier, with its signature line, made now or at
    // `made` (seconds since 1970, UTC).
    std::string Sign(update::SignedPurpose purpose, std::string_view context,
                     std::string_view payload) const;
    std::string Sign(update::SignedPurpose purpose, std::string_view context,
                     std::string_view payload, std::time_t made) const;

  private:
    explicit AnswerSigner(const StoredKey& key);

    std::string keyId_;
    Signer signer_;
};

}  // namespace qm::defserver
