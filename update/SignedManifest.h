// What a manifest must show when the publisher's key lies beside the
// updater: a minisign signature by that key over its exact bytes, a signing
// time not older than the newest one accepted in this folder, and, when it
// names one, an expiry time still ahead. Without the key none of this
// applies and a manifest is used as it arrives.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

namespace update {

inline constexpr const char* kPublisherKeyFile = "qlm.pub";
// The signature lies at the manifest's address with this appended.
inline constexpr const char* kSignatureSuffix = ".minisig";

// The text of the key file in the folder: none when no file lies there; an
// empty text when one does but cannot be read, which holds no key.
std::optional<std::string> ReadPublisherKeyFile(const std::string& folder);

// The signing time of a manifest whose signature file verifies with the key
// file; none for a key or signature that is missing or malformed, another
// key, a signature that does not match, and a signature without a time.
std::optional<std::int64_t> VerifiedSigningTime(std::string_view keyFileText, std::string_view signatureText,
                                                std::string_view manifestText);

// A manifest's "expires" (top level; see ParseUtcTime) lies after now. A
// document without one never expires; one of another type or form is
// treated as expired.
bool IsUnexpired(const nlohmann::json& document, std::int64_t now);

// The checks of a verified manifest beyond its signature: signed no earlier
// than the time remembered in this folder ("qlm.seen") and not expired. An
// accepted newer signing time is remembered.
bool AcceptSignedManifest(const nlohmann::json& document, std::int64_t signedAt, std::int64_t now);

}  // namespace update
