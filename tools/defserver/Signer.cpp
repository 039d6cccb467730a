#include "Signer.h"

#include <openssl/bio.h>
#include <openssl/core_names.h>
#include <openssl/ec.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <stdexcept>

namespace qm::defserver {

namespace {

constexpr int kHalf = static_cast<int>(platform::kP256SignatureBytes / 2);

struct ContextFree {
    void operator()(EVP_PKEY_CTX* context) const { EVP_PKEY_CTX_free(context); }
};
struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
struct SignatureFree {
    void operator()(ECDSA_SIG* signature) const { ECDSA_SIG_free(signature); }
};
using ContextPointer = std::unique_ptr<EVP_PKEY_CTX, ContextFree>;
using BioPointer = std::unique_ptr<BIO, BioFree>;
using SignaturePointer = std::unique_ptr<ECDSA_SIG, SignatureFree>;

// OpenSSL's own reason for the last failure, with what was being done.
[[noreturn]] void Fail(const char* what) {
    char reason[256] = "";
    ERR_error_string_n(ERR_get_error(), reason, sizeof reason);
    throw std::runtime_error(std::string(what) + ": " + reason);
}

const unsigned char* Bytes(std::string_view text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

// The public key of an uncompressed point; nothing when it is no point of the curve.
KeyPointer PublicKeyOf(std::string_view point) {
    std::string bytes(point);
    char group[] = "prime256v1";
    const OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_PKEY_PARAM_GROUP_NAME, group, 0),
        OSSL_PARAM_construct_octet_string(OSSL_PKEY_PARAM_PUB_KEY, bytes.data(), bytes.size()),
        OSSL_PARAM_construct_end()};
    const ContextPointer context(EVP_PKEY_CTX_new_from_name(nullptr, "EC", nullptr));
    EVP_PKEY* key = nullptr;
    if (!context || EVP_PKEY_fromdata_init(context.get()) != 1 ||
        EVP_PKEY_fromdata(context.get(), &key, EVP_PKEY_PUBLIC_KEY,
                          const_cast<OSSL_PARAM*>(params)) != 1) {
        return nullptr;
    }
    return KeyPointer(key);
}

}  // namespace

void KeyFree::operator()(evp_pkey_st* key) const {
    EVP_PKEY_free(key);
}

platform::Sha256Digest Sha256(std::string_view bytes) {
    platform::Sha256Digest digest{};
    if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), nullptr, EVP_sha256(), nullptr) != 1)
        Fail("SHA-256");
    return digest;
}

Signer Signer::Generate() {
    KeyPointer key(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"));
    if (!key) Fail("making a P-256 key");
    return Signer(std::move(key));
}

Signer Signer::FromPem(const std::string& pem) {
    const BioPointer bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    KeyPointer key(bio ? PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr) : nullptr);
    if (!key) Fail("reading a private key");
    return Signer(std::move(key));
}

std::string Signer::PrivatePem() const {
    const BioPointer bio(BIO_new(BIO_s_mem()));
    if (!bio ||
        PEM_write_bio_PrivateKey(bio.get(), key_.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1)
        Fail("writing a private key");
    std::string pem(BIO_ctrl_pending(bio.get()), '\0');
    if (BIO_read(bio.get(), pem.data(), static_cast<int>(pem.size())) !=
        static_cast<int>(pem.size()))
        Fail("writing a private key");
    return pem;
}

std::string Signer::PublicPoint() const {
    unsigned char point[platform::kP256PublicKeyBytes + 1];
    std::size_t size = 0;
    if (EVP_PKEY_get_octet_string_param(key_.get(), OSSL_PKEY_PARAM_ENCODED_PUBLIC_KEY, point,
                                        sizeof point, &size) != 1 ||
        size != platform::kP256PublicKeyBytes || point[0] != 0x04) {
        Fail("reading the public point");
    }
    return std::string(reinterpret_cast<const char*>(point), size);
}

std::string Signer::SignDigest(const platform::Sha256Digest& digest) const {
    const ContextPointer context(EVP_PKEY_CTX_new_from_pkey(nullptr, key_.get(), nullptr));
    unsigned char der[80];  // a DER P-256 signature is at most 72 bytes
    std::size_t size = sizeof der;
    if (!context || EVP_PKEY_sign_init(context.get()) != 1 ||
        EVP_PKEY_sign(context.get(), der, &size, digest.data(), digest.size()) != 1) {
        Fail("signing");
    }
    const unsigned char* at = der;
    const SignaturePointer parsed(d2i_ECDSA_SIG(nullptr, &at, static_cast<long>(size)));
    if (!parsed) Fail("reading a signature");
    unsigned char raw[platform::kP256SignatureBytes];
    if (BN_bn2binpad(ECDSA_SIG_get0_r(parsed.get()), raw, kHalf) != kHalf ||
        BN_bn2binpad(ECDSA_SIG_get0_s(parsed.get()), raw + kHalf, kHalf) != kHalf) {
        Fail("writing a signature");
    }
    return std::string(reinterpret_cast<const char*>(raw), sizeof raw);
}

std::optional<platform::Sha256Digest> OpenSslSignatures::Sha256(std::string_view bytes) {
    return defserver::Sha256(bytes);
}

bool OpenSslSignatures::VerifyP256(std::string_view publicKey, const platform::Sha256Digest& digest,
                                   std::string_view signature) {
    if (publicKey.size() != platform::kP256PublicKeyBytes ||
        signature.size() != platform::kP256SignatureBytes)
        return false;
    const KeyPointer key = PublicKeyOf(publicKey);
    SignaturePointer parsed(ECDSA_SIG_new());
    BIGNUM* r = BN_bin2bn(Bytes(signature), kHalf, nullptr);
    BIGNUM* s = BN_bin2bn(Bytes(signature) + kHalf, kHalf, nullptr);
    // The signature owns both numbers once they are set.
    if (!key || !parsed || !r || !s || ECDSA_SIG_set0(parsed.get(), r, s) != 1) {
        BN_free(r);
        BN_free(s);
        ERR_clear_error();
        return false;
    }
    unsigned char der[80];
    unsigned char* end = der;
    const int size = i2d_ECDSA_SIG(parsed.get(), &end);
    const ContextPointer context(EVP_PKEY_CTX_new_from_pkey(nullptr, key.get(), nullptr));
    const bool valid = size > 0 && context && EVP_PKEY_verify_init(context.get()) == 1 &&
                       EVP_PKEY_verify(context.get(), der, static_cast<std::size_t>(size),
                                       digest.data(), digest.size()) == 1;
    ERR_clear_error();
    return valid;
}

}  // namespace qm::defserver
