#include "platform/win32/Win32Signatures.h"

#include <string>

#include "platform/win32/Handle.h"
#include "platform/win32/WinApi.h"
// After windows.h: CNG's header takes its types from it.
#include <bcrypt.h>

namespace qm::platform::win32 {

namespace {

struct AlgorithmTraits {
    using Value = BCRYPT_ALG_HANDLE;
    static Value Invalid() noexcept { return nullptr; }
    static void Close(Value value) noexcept { ::BCryptCloseAlgorithmProvider(value, 0); }
};
struct KeyTraits {
    using Value = BCRYPT_KEY_HANDLE;
    static Value Invalid() noexcept { return nullptr; }
    static void Close(Value value) noexcept { ::BCryptDestroyKey(value); }
};
using Algorithm = UniqueHandle<AlgorithmTraits>;
using Key = UniqueHandle<KeyTraits>;

Algorithm OpenAlgorithm(const wchar_t* name) {
    Algorithm algorithm;
    if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(algorithm.put(), name, nullptr, 0)))
        algorithm.reset();
    return algorithm;
}

PUCHAR Bytes(std::string_view bytes) {
    // CNG takes input buffers through non-const pointers but does not write them.
    return reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data()));
}

}  // namespace

std::optional<Sha256Digest> Win32Signatures::Sha256(std::string_view bytes) {
    const Algorithm sha = OpenAlgorithm(BCRYPT_SHA256_ALGORITHM);
    if (!sha) return std::nullopt;
    Sha256Digest digest{};
    // One call over the whole answer: a definitions answer is hashed in one piece.
    if (bytes.size() > 0xFFFFFFFFu ||
        !BCRYPT_SUCCESS(::BCryptHash(sha.get(), nullptr, 0, Bytes(bytes),
                                     static_cast<ULONG>(bytes.size()), digest.data(),
                                     static_cast<ULONG>(digest.size())))) {
        return std::nullopt;
    }
    return digest;
}

bool Win32Signatures::VerifyP256(std::string_view publicKey, const Sha256Digest& digest,
                                 std::string_view signature) {
    if (publicKey.size() != kP256PublicKeyBytes || publicKey[0] != '\x04' ||
        signature.size() != kP256SignatureBytes) {
        return false;
    }
    const Algorithm ecdsa = OpenAlgorithm(BCRYPT_ECDSA_P256_ALGORITHM);
    if (!ecdsa) return false;
    // The key blob: its header, then X and Y as the maker's point carries them.
    std::string blob(sizeof(BCRYPT_ECCKEY_BLOB), '\0');
    BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
    blob.replace(0, sizeof header, reinterpret_cast<const char*>(&header), sizeof header);
    blob.append(publicKey.substr(1));
    Key key;
    if (!BCRYPT_SUCCESS(::BCryptImportKeyPair(ecdsa.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB,
                                              key.put(), Bytes(blob),
                                              static_cast<ULONG>(blob.size()), 0))) {
        return false;
    }
    Sha256Digest hash = digest;
    return BCRYPT_SUCCESS(::BCryptVerifySignature(key.get(), nullptr, hash.data(),
                                                  static_cast<ULONG>(hash.size()), Bytes(signature),
                                                  static_cast<ULONG>(signature.size()), 0));
}

}  // namespace qm::platform::win32
