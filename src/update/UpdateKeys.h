#pragma once
// The maker's keys the program trusts. The key file, "UpdateKeys.txt", one key a line (lines
// starting with ";" or "#" are comments, and a line that does not read is skipped):
//
//   "QMKEY1 <key id> <public key>"
//        a key trusted as it stands: only from the file in the program's folder, which only an
//        administrator can change (the installer writes the maker's key there)
//   "QMKEY1 <key id> <public key> <signer id> <signer retires> <signature>"
//        a key introduced by another one: trusted when the signer is, and the signature, over
//        "QMKEY1 <key id> <public key> <signer id> <signer retires>", is the signer's; from the
//        day after <signer retires> ("YYYY-MM-DD", or "never") the signer verifies no answer
//
// The public key is the uncompressed P-256 point (65 bytes) in Base64; the key id is the one a
// signature line names (16 hex digits of its SHA-256). The server's "/keys" answer is such a
// file; the keys the program learns from it are kept in the data folder, and trusted again at
// every start only as far as their signatures lead back to an installed key.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Signatures.h"

namespace qm::update {

inline constexpr const char* kUpdateKeysFile = "UpdateKeys.txt";
inline constexpr std::string_view kKeyTag = "QMKEY1";

struct KeyLine {
    std::string id;
    std::string publicKey;  // the 65-byte point, decoded
    // Empty for a key trusted as it stands.
    std::string signerId;
    std::string signerRetires;  // "YYYY-MM-DD" or "never"
    std::string signature;      // 64 bytes, decoded
    bool Introduced() const { return !signerId.empty(); }
};

std::optional<KeyLine> ParseKeyLine(std::string_view line);
std::vector<KeyLine> ParseKeyFile(std::string_view text);
std::string KeyLineText(const KeyLine& key);
// What the signer of an introduced key signs.
std::string IntroductionText(const KeyLine& key);
// The date value of the day a "YYYY-MM-DD" retirement ends (its next midnight); "never" and
// anything unreadable give nothing.
std::optional<double> RetirementEnd(std::string_view retires);

class TrustedKeys {
  public:
    explicit TrustedKeys(platform::Signatures& signatures) : signatures_(signatures) {}

    // Every installed key, then each introduced key whose signer is trusted. Introductions
    // from an earlier run are honoured whenever they were made: the signer may have retired
    // since.
    void Load(const std::vector<KeyLine>& installed, const std::vector<KeyLine>& learned);
    // The introductions of a "/keys" answer whose signer is trusted and not retired `today`:
    // they are trusted from now on and given back, for the caller to keep.
    std::vector<KeyLine> Learn(const std::vector<KeyLine>& offered, double today);

    // The key that may verify an answer `today`: trusted and not retired. Nothing otherwise.
    std::optional<std::string> UsableKey(const std::string& id, double today) const;
    bool Empty() const { return keys_.empty(); }

  private:
    // True when the key was taken: its id matches its point and, if introduced, its signer is
    // trusted and has signed it.
    bool Accept(const KeyLine& key, bool installed);
    bool IdMatches(const KeyLine& key);

    platform::Signatures& signatures_;
    std::map<std::string, std::string> keys_;     // id to point
    std::map<std::string, double> retiresAfter_;  // id to the end of its last day
};

}  // namespace qm::update
