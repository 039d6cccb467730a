#include "SigningKeys.h"

#include <ctime>
#include <stdexcept>

#include "text/Base64.h"
#include "text/Text.h"

namespace qm::defserver {

namespace {

constexpr std::time_t kSecondsPerDay = 24 * 60 * 60;

std::tm UtcOf(std::time_t when) {
    std::tm utc{};
    gmtime_r(&when, &utc);
    return utc;
}

std::string MadeTextOf(std::time_t when) {
    const std::tm utc = UtcOf(when);
    return update::MadeText(utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour,
                            utc.tm_min, utc.tm_sec);
}

std::string DayTextOf(std::time_t when) {
    const std::tm utc = UtcOf(when);
    char day[16];
    std::strftime(day, sizeof day, "%Y-%m-%d", &utc);
    return day;
}

std::string KeyIdOfPoint(const std::string& point) {
    return update::KeyIdOf(Sha256(point).data());
}

// A client that cuts a date answer at its first "PM", else at its first "AM", whatever the
// case, would cut a morning's date at a "pm" in the signature's Base64 instead of at the
// date's own "AM". Such a signature is made again: each ECDSA signature is a new one.
bool CutInSignature(update::SignedPurpose purpose, std::string_view payload,
                    const std::string& signature) {
    return purpose == update::SignedPurpose::Date && !text::ContainsNoCase(payload, "PM") &&
           text::ContainsNoCase(text::Base64Encode(signature), "PM");
}

StoredKey NewestKey(Publication& db) {
    std::vector<StoredKey> keys = db.Keys();
    if (keys.empty()) throw std::runtime_error("no signing key: run qm_defserver keygen DB");
    return std::move(keys.back());
}

}  // namespace

update::KeyLine MakeKey(Publication& db, int retireOldAfterDays) {
    const std::time_t now = std::time(nullptr);
    const Signer signer = Signer::Generate();
    update::KeyLine key;
    key.publicKey = signer.PublicPoint();
    key.id = KeyIdOfPoint(key.publicKey);
    const std::vector<StoredKey> keys = db.Keys();
    if (!keys.empty()) {
        // The newest key vouches for its successor: clients that trust it learn the new key
        // from "/keys" until the day it retires.
        key.signerId = keys.back().id;
        key.signerRetires = DayTextOf(now + retireOldAfterDays * kSecondsPerDay);
        key.signature = Signer::FromPem(keys.back().privatePem)
                            .SignDigest(Sha256(update::IntroductionText(key)));
    }
    db.AddKey({key.id, signer.PrivatePem(), key.publicKey, MadeTextOf(now),
               key.Introduced() ? update::KeyLineText(key) : std::string()});
    return key;
}

std::string KeyFileText(const std::vector<StoredKey>& keys) {
    std::string text;
    for (const StoredKey& key : keys) {
        update::KeyLine standing;
        standing.id = key.id;
        standing.publicKey = key.publicPoint;
        text += key.introduction.empty() ? update::KeyLineText(standing) : key.introduction;
        text += '\n';
    }
    return text;
}

AnswerSigner::AnswerSigner(Publication& db) : AnswerSigner(NewestKey(db)) {}

AnswerSigner::AnswerSigner(const StoredKey& key)
    : keyId_(key.id), signer_(Signer::FromPem(key.privatePem)) {}

std::string AnswerSigner::Sign(update::SignedPurpose purpose, std::string_view context,
                               std::string_view payload) const {
    return Sign(purpose, context, payload, std::time(nullptr));
}

std::string AnswerSigner::Sign(update::SignedPurpose purpose, std::string_view context,
                               std::string_view payload, std::time_t made) const {
    const std::string body = update::BodyOf(purpose, payload);
    update::SignatureLine line{purpose, keyId_, MadeTextOf(made), {}};
    const auto digest = Sha256(update::SignedBytes(line, context, body));
    do {
        line.signature = signer_.SignDigest(digest);
    } while (CutInSignature(purpose, payload, line.signature));
    return update::SignedAnswerText(body, line);
}

}  // namespace qm::defserver
