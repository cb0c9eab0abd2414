// The publisher's signatures: minisign's public key and signature files,
// verified with libsodium's Ed25519 over the exact bytes signed. Shared by
// the engine (the manifest) and the publisher's tool (its check command).
// Both files are read strictly: their lines end in "\n" or "\r\n" (the last
// one may end without), and a missing or extra line, a line of the wrong
// form or base64 of the wrong length makes the file malformed. Safe to call
// from any thread; libsodium is initialised on first use.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace update {

struct MinisignKey {
    std::array<std::uint8_t, 8> keyId{};
    std::array<std::uint8_t, 32> publicKey{};
};

// The key of a public key file: an "untrusted comment:" line, then the
// base64 of "Ed", the key id and the key. False for anything else.
bool ParseMinisignPublicKey(std::string_view fileText, MinisignKey& key);

enum class SignatureCheck {
    Valid,
    Malformed,   // not a signature file, or an algorithm other than "Ed"/"ED"
    OtherKey,    // made with another key id
    Mismatch,    // the message or the trusted comment was not what was signed
};

// Verifies a signature file's text over the message ("Ed": the message
// itself; "ED": its BLAKE2b-512 hash) and the global signature over the
// signature and the trusted comment. On Valid, trustedComment receives the
// trusted comment's text (after "trusted comment: ").
SignatureCheck VerifyMinisign(const MinisignKey& key, std::string_view signatureFileText, std::string_view message,
                              std::string* trustedComment = nullptr);

// The "timestamp:<unix seconds>" of a trusted comment; none when absent or
// not a number.
std::optional<std::int64_t> TrustedTimestamp(std::string_view trustedComment);

}  // namespace update
