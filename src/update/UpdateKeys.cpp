#include "update/UpdateKeys.h"

#include "platform/Clock.h"
#include "text/Base64.h"
#include "text/Text.h"
#include "update/SignedAnswer.h"

namespace qm::update {

namespace {

// The date value of a "YYYY-MM-DD" day's midnight.
std::optional<double> DayValue(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    const auto year = text::DigitsValue(text.substr(0, 4));
    const auto month = text::DigitsValue(text.substr(5, 2));
    const auto day = text::DigitsValue(text.substr(8, 2));
    if (!year || !month || !day || *month < 1 || *month > 12 || *day < 1 || *day > 31)
        return std::nullopt;
    return platform::DateValueOf({*year, *month, *day, 0, 0, 0, 0});
}

}  // namespace

std::optional<KeyLine> ParseKeyLine(std::string_view line) {
    std::vector<std::string_view> fields;
    for (const std::string_view field : text::Split(text::TrimView(line), ' ')) {
        if (!field.empty()) fields.push_back(field);
    }
    if ((fields.size() != 3 && fields.size() != 6) || fields[0] != kKeyTag) return std::nullopt;
    KeyLine key;
    key.id = fields[1];
    auto point = text::Base64Decode(fields[2]);
    if (key.id.size() != 16 || !point || point->size() != platform::kP256PublicKeyBytes)
        return std::nullopt;
    key.publicKey = std::move(*point);
    if (fields.size() == 3) return key;
    auto signature = text::Base64Decode(fields[5]);
    if (fields[3].size() != 16 || (fields[4] != "never" && !DayValue(fields[4])) || !signature ||
        signature->size() != platform::kP256SignatureBytes) {
        return std::nullopt;
    }
    key.signerId = fields[3];
    key.signerRetires = fields[4];
    key.signature = std::move(*signature);
    return key;
}

std::vector<KeyLine> ParseKeyFile(std::string_view text) {
    std::vector<KeyLine> keys;
    for (std::string_view line : text::Split(text, '\n')) {
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (auto key = ParseKeyLine(line)) keys.push_back(std::move(*key));
    }
    return keys;
}

std::string IntroductionText(const KeyLine& key) {
    return std::string(kKeyTag) + " " + key.id + " " + text::Base64Encode(key.publicKey) + " " +
           key.signerId + " " + key.signerRetires;
}

std::string KeyLineText(const KeyLine& key) {
    if (!key.Introduced())
        return std::string(kKeyTag) + " " + key.id + " " + text::Base64Encode(key.publicKey);
    return IntroductionText(key) + " " + text::Base64Encode(key.signature);
}

std::optional<double> RetirementEnd(std::string_view retires) {
    const auto day = DayValue(retires);
    if (!day) return std::nullopt;
    return *day + 1.0;
}

bool TrustedKeys::IdMatches(const KeyLine& key) {
    const auto digest = signatures_.Sha256(key.publicKey);
    return digest && KeyIdOf(digest->data()) == key.id;
}

bool TrustedKeys::Accept(const KeyLine& key, bool installed) {
    if (!IdMatches(key)) return false;
    bool signedBySigner = false;
    if (key.Introduced()) {
        const auto signer = keys_.find(key.signerId);
        const auto digest = signatures_.Sha256(IntroductionText(key));
        signedBySigner = signer != keys_.end() && digest &&
                         signatures_.VerifyP256(signer->second, *digest, key.signature);
    }
    if (!installed && !signedBySigner) return false;
    keys_[key.id] = key.publicKey;
    // Only the signer's own word retires it.
    if (signedBySigner) {
        if (const auto end = RetirementEnd(key.signerRetires)) {
            const auto known = retiresAfter_.find(key.signerId);
            if (known == retiresAfter_.end() || *end < known->second)
                retiresAfter_[key.signerId] = *end;
        }
    }
    return true;
}

void TrustedKeys::Load(const std::vector<KeyLine>& installed, const std::vector<KeyLine>& learned) {
    keys_.clear();
    retiresAfter_.clear();
    for (const KeyLine& key : installed) {
        if (!key.Introduced()) Accept(key, true);
    }
    // An installed introduction is trusted as installed; its signer's retirement counts once
    // the signer is known.
    for (const KeyLine& key : installed) {
        if (key.Introduced()) Accept(key, true);
    }
    // A chain of introductions in any order: again until a pass adds nothing.
    std::vector<const KeyLine*> waiting;
    for (const KeyLine& key : learned)
        waiting.push_back(&key);
    for (bool added = true; added && !waiting.empty();) {
        added = false;
        for (auto it = waiting.begin(); it != waiting.end();) {
            if (Accept(**it, false)) {
                it = waiting.erase(it);
                added = true;
            } else {
                ++it;
            }
        }
    }
}

std::vector<KeyLine> TrustedKeys::Learn(const std::vector<KeyLine>& offered, double today) {
    std::vector<KeyLine> learned;
    for (bool added = true; added;) {
        added = false;
        for (const KeyLine& key : offered) {
            if (!key.Introduced() || keys_.count(key.id) != 0) continue;
            // A retired key introduces nobody new: a key the maker gave up may be in other hands.
            if (!UsableKey(key.signerId, today)) continue;
            if (Accept(key, false)) {
                learned.push_back(key);
                added = true;
            }
        }
    }
    return learned;
}

std::optional<std::string> TrustedKeys::UsableKey(const std::string& id, double today) const {
    const auto key = keys_.find(id);
    if (key == keys_.end()) return std::nullopt;
    const auto end = retiresAfter_.find(id);
    if (end != retiresAfter_.end() && today >= end->second) return std::nullopt;
    return key->second;
}

}  // namespace qm::update
