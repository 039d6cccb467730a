#include "update/AnswerVerifier.h"

#include "update/HttpText.h"

namespace qm::update {

namespace {

// A key file is a few lines; anything much larger is not one.
constexpr std::uint64_t kLargestKeyFile = 1u << 20;

std::vector<KeyLine> ReadKeyFile(platform::FileSystem& files, const std::string& path) {
    const auto text = platform::ReadWholeFile(files, path, kLargestKeyFile);
    return text ? ParseKeyFile(*text) : std::vector<KeyLine>{};
}

}  // namespace

bool Trusted(Verdict verdict) {
    return verdict == Verdict::Verified || verdict == Verdict::AllowedUnsigned;
}

const char* VerdictName(Verdict verdict) {
    switch (verdict) {
        case Verdict::Verified:
            return "verified";
        case Verdict::AllowedUnsigned:
            return "unsigned, allowed";
        case Verdict::Unsigned:
            return "unsigned";
        case Verdict::UnknownKey:
            return "signed by an unknown key";
        case Verdict::BadSignature:
            return "signature does not match";
        case Verdict::Stale:
            return "signed too long ago";
    }
    return "";
}

AnswerVerifier::AnswerVerifier(platform::Platform& platform, ui::EventPump& pump,
                               VerifierSettings settings)
    : platform_(platform), pump_(pump), settings_(std::move(settings)), keys_(platform.signatures) {
    keys_.Load(ReadKeyFile(platform_.files, settings_.programFolder + "\\" + kUpdateKeysFile),
               ReadKeyFile(platform_.files, settings_.dataFolder + "\\" + kLearnedKeysFile));
}

double AnswerVerifier::Today() const {
    return platform::DateValueOf(platform_.clock.UniversalNow());
}

CheckedAnswer AnswerVerifier::Check(SignedPurpose purpose, std::string_view answer,
                                    std::string_view context,
                                    const std::function<bool()>& keepGoing) {
    const SplitAnswer split = SplitSignedAnswer(answer);
    CheckedAnswer checked;
    if (!split.signature || split.signature->purpose != purpose) {
        // An answer carrying a signature that does not verify is refused even where unsigned
        // ones are allowed: it is not the unsigned server's.
        const bool carriesOne = split.signature.has_value() || split.body.size() != answer.size();
        checked.verdict =
            settings_.allowUnsigned && !carriesOne ? Verdict::AllowedUnsigned : Verdict::Unsigned;
        if (checked.verdict == Verdict::AllowedUnsigned) checked.payload = std::string(answer);
        return checked;
    }
    const double today = Today();
    checked.verdict = Verify(*split.signature, context, split.body, today);
    if (checked.verdict == Verdict::UnknownKey && LearnFromServer(keepGoing, today))
        checked.verdict = Verify(*split.signature, context, split.body, today);
    if (checked.verdict == Verdict::Verified && purpose == SignedPurpose::Date) {
        const auto made = MadeDateValue(split.signature->made);
        if (!made || *made < today - kSignedDateLifeDays) checked.verdict = Verdict::Stale;
    }
    if (checked.verdict == Verdict::Verified)
        checked.payload = std::string(PayloadOf(purpose, split.body));
    return checked;
}

Verdict AnswerVerifier::Verify(const SignatureLine& line, std::string_view context,
                               std::string_view body, double today) {
    const auto key = keys_.UsableKey(line.keyId, today);
    if (!key) return Verdict::UnknownKey;
    const auto digest = platform_.signatures.Sha256(SignedBytes(line, context, body));
    if (!digest || !platform_.signatures.VerifyP256(*key, *digest, line.signature))
        return Verdict::BadSignature;
    return Verdict::Verified;
}

bool AnswerVerifier::LearnFromServer(const std::function<bool()>& keepGoing, double today) {
    if (askedForKeys_ || settings_.keysUrl.empty()) return false;
    askedForKeys_ = true;
    const auto answer = HttpGetText(platform_.http, pump_, settings_.keysUrl, keepGoing);
    if (!answer) return false;
    const std::vector<KeyLine> learned = keys_.Learn(ParseKeyFile(*answer), today);
    if (learned.empty()) return false;
    // Kept for the next runs; each is checked again then, so this file needs no protection.
    const std::string path = settings_.dataFolder + "\\" + kLearnedKeysFile;
    std::string text = platform::ReadWholeFile(platform_.files, path, kLargestKeyFile).value_or("");
    if (!text.empty() && text.back() != '\n') text += "\r\n";
    for (const KeyLine& key : learned)
        text += KeyLineText(key) + "\r\n";
    platform_.files.WriteWholeFile(path, text);
    return true;
}

}  // namespace qm::update
