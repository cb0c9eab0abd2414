#include "update/Minisign.h"

#include <sodium.h>

#include <cstring>
#include <vector>

#include "update/UnixTime.h"

namespace update {

namespace {

constexpr std::string_view kUntrustedPrefix = "untrusted comment:";
constexpr std::string_view kTrustedPrefix = "trusted comment: ";
constexpr std::string_view kTimestampField = "timestamp:";

constexpr std::size_t kAlgorithmBytes = 2;
constexpr std::size_t kKeyIdBytes = 8;
constexpr std::size_t kSignatureBytes = crypto_sign_BYTES;
constexpr std::size_t kPublicKeyBytes = crypto_sign_PUBLICKEYBYTES;
constexpr std::size_t kPrehashBytes = crypto_generichash_BYTES_MAX;

static_assert(kSignatureBytes == 64 && kPublicKeyBytes == 32 && kPrehashBytes == 64);

bool SodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

// The file's lines without their ends ("\n" or "\r\n"). A final line end is
// optional; a lone carriage return is part of its line, so it spoils the
// line rather than splitting it.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return lines;
}

// Exactly `size` bytes from the whole line, or false.
bool DecodeExactly(std::string_view base64, std::uint8_t* out, std::size_t size) {
    std::size_t decoded = 0;
    const char* end = nullptr;
    if (sodium_base642bin(out, size, base64.data(), base64.size(), nullptr, &decoded, &end,
                          sodium_base64_VARIANT_ORIGINAL) != 0) {
        return false;
    }
    return decoded == size && end == base64.data() + base64.size();
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool HasAlgorithm(const std::uint8_t* bytes, const char* algorithm) {
    return std::memcmp(bytes, algorithm, kAlgorithmBytes) == 0;
}

struct SignatureFile {
    bool prehashed = false;
    std::array<std::uint8_t, kKeyIdBytes> keyId{};
    std::array<std::uint8_t, kSignatureBytes> signature{};
    std::string_view trustedComment;
    std::array<std::uint8_t, kSignatureBytes> globalSignature{};
};

bool ParseSignatureFile(std::string_view text, SignatureFile& file) {
    std::vector<std::string_view> lines = SplitLines(text);
    if (lines.size() != 4 || !StartsWith(lines[0], kUntrustedPrefix) || !StartsWith(lines[2], kTrustedPrefix)) {
        return false;
    }
    std::uint8_t packed[kAlgorithmBytes + kKeyIdBytes + kSignatureBytes];
    if (!DecodeExactly(lines[1], packed, sizeof(packed)) ||
        !DecodeExactly(lines[3], file.globalSignature.data(), file.globalSignature.size())) {
        return false;
    }
    if (HasAlgorithm(packed, "ED")) {
        file.prehashed = true;
    } else if (!HasAlgorithm(packed, "Ed")) {
        return false;
    }
    std::memcpy(file.keyId.data(), packed + kAlgorithmBytes, kKeyIdBytes);
    std::memcpy(file.signature.data(), packed + kAlgorithmBytes + kKeyIdBytes, kSignatureBytes);
    file.trustedComment = lines[2].substr(kTrustedPrefix.size());
    return true;
}

bool VerifyDetached(const std::uint8_t* signature, const void* message, std::size_t size, const MinisignKey& key) {
    return crypto_sign_verify_detached(signature, static_cast<const unsigned char*>(message), size,
                                       key.publicKey.data()) == 0;
}

bool VerifyMessage(const SignatureFile& file, std::string_view message, const MinisignKey& key) {
    if (!file.prehashed) {
        return VerifyDetached(file.signature.data(), message.data(), message.size(), key);
    }
    std::uint8_t hash[kPrehashBytes];
    crypto_generichash(hash, sizeof(hash), reinterpret_cast<const unsigned char*>(message.data()), message.size(),
                       nullptr, 0);
    return VerifyDetached(file.signature.data(), hash, sizeof(hash), key);
}

// The trusted comment is bound to this very signature, so it cannot be
// moved onto another signature by the same key.
bool VerifyTrustedComment(const SignatureFile& file, const MinisignKey& key) {
    std::vector<std::uint8_t> signedBytes(file.signature.begin(), file.signature.end());
    signedBytes.insert(signedBytes.end(), file.trustedComment.begin(), file.trustedComment.end());
    return VerifyDetached(file.globalSignature.data(), signedBytes.data(), signedBytes.size(), key);
}

}  // namespace

bool ParseMinisignPublicKey(std::string_view fileText, MinisignKey& key) {
    std::vector<std::string_view> lines = SplitLines(fileText);
    if (lines.size() != 2 || !StartsWith(lines[0], kUntrustedPrefix)) {
        return false;
    }
    std::uint8_t packed[kAlgorithmBytes + kKeyIdBytes + kPublicKeyBytes];
    if (!DecodeExactly(lines[1], packed, sizeof(packed)) || !HasAlgorithm(packed, "Ed")) {
        return false;
    }
    std::memcpy(key.keyId.data(), packed + kAlgorithmBytes, kKeyIdBytes);
    std::memcpy(key.publicKey.data(), packed + kAlgorithmBytes + kKeyIdBytes, kPublicKeyBytes);
    return true;
}

SignatureCheck VerifyMinisign(const MinisignKey& key, std::string_view signatureFileText, std::string_view message,
                              std::string* trustedComment) {
    SignatureFile file;
    if (!SodiumReady() || !ParseSignatureFile(signatureFileText, file)) {
        return SignatureCheck::Malformed;
    }
    if (file.keyId != key.keyId) {
        return SignatureCheck::OtherKey;
    }
    if (!VerifyMessage(file, message, key) || !VerifyTrustedComment(file, key)) {
        return SignatureCheck::Mismatch;
    }
    if (trustedComment) {
        trustedComment->assign(file.trustedComment);
    }
    return SignatureCheck::Valid;
}

std::optional<std::int64_t> TrustedTimestamp(std::string_view trustedComment) {
    // The comment is tab-separated fields; minisign writes the timestamp
    // first, a publisher's own comment may put it elsewhere.
    while (!trustedComment.empty()) {
        std::size_t tab = trustedComment.find('\t');
        std::string_view field = trustedComment.substr(0, tab);
        trustedComment = tab == std::string_view::npos ? std::string_view() : trustedComment.substr(tab + 1);
        if (!StartsWith(field, kTimestampField)) {
            continue;
        }
        return ParseUnixSeconds(field.substr(kTimestampField.size()));
    }
    return std::nullopt;
}

}  // namespace update
