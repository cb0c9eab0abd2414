// A publisher's key pair made with libsodium, writing minisign's public key
// and signature files as the minisign tool does, so tests can sign what
// they serve without running the tool.
#pragma once

#include <sodium.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace testsupport {

class MinisignSigner {
public:
    // A new key pair under a random key id.
    MinisignSigner() {
        if (sodium_init() < 0) {
            std::abort();
        }
        randombytes_buf(m_keyId.data(), m_keyId.size());
        crypto_sign_keypair(m_publicKey.data(), m_secretKey.data());
    }

    // The same key under another key id, for a signature that names a key
    // the updater does not hold.
    MinisignSigner WithKeyId(std::uint8_t firstByte) const {
        MinisignSigner other = *this;
        other.m_keyId[0] = firstByte;
        return other;
    }

    std::string PublicKeyFile() const {
        return "untrusted comment: minisign public key\n" +
               Base64(std::string("Ed") + Bytes(m_keyId) + Bytes(m_publicKey)) + "\n";
    }

    // A signature file over the message: "ED" signs its BLAKE2b-512 hash
    // (minisign's default), "Ed" the message itself (its legacy form).
    std::string SignatureFile(std::string_view message, std::string_view trustedComment,
                              bool prehashed = true) const {
        std::string signature;
        if (prehashed) {
            std::array<std::uint8_t, crypto_generichash_BYTES_MAX> hash{};
            crypto_generichash(hash.data(), hash.size(), reinterpret_cast<const unsigned char*>(message.data()),
                               message.size(), nullptr, 0);
            signature = Sign(Bytes(hash));
        } else {
            signature = Sign(message);
        }
        std::string globalSignature = Sign(signature + std::string(trustedComment));
        return "untrusted comment: signature from minisign secret key\n" +
               Base64(std::string(prehashed ? "ED" : "Ed") + Bytes(m_keyId) + signature) + "\n" +
               "trusted comment: " + std::string(trustedComment) + "\n" + Base64(globalSignature) + "\n";
    }

private:
    template <std::size_t N>
    static std::string Bytes(const std::array<std::uint8_t, N>& bytes) {
        return std::string(reinterpret_cast<const char*>(bytes.data()), N);
    }

    static std::string Base64(const std::string& bytes) {
        const int variant = sodium_base64_VARIANT_ORIGINAL;
        std::string text(sodium_base64_ENCODED_LEN(bytes.size(), variant), '\0');
        sodium_bin2base64(text.data(), text.size(), reinterpret_cast<const unsigned char*>(bytes.data()),
                          bytes.size(), variant);
        text.resize(text.size() - 1);  // the terminating NUL
        return text;
    }

    std::string Sign(std::string_view message) const {
        std::array<std::uint8_t, crypto_sign_BYTES> signature{};
        crypto_sign_detached(signature.data(), nullptr, reinterpret_cast<const unsigned char*>(message.data()),
                             message.size(), m_secretKey.data());
        return Bytes(signature);
    }

    std::array<std::uint8_t, 8> m_keyId{};
    std::array<std::uint8_t, crypto_sign_PUBLICKEYBYTES> m_publicKey{};
    std::array<std::uint8_t, crypto_sign_SECRETKEYBYTES> m_secretKey{};
};

}  // namespace testsupport
