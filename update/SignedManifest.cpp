#include "update/SignedManifest.h"

#include <cstdio>

#include <nlohmann/json.hpp>

#include "platform/Platform.h"
#include "update/Minisign.h"
#include "update/Settings.h"
#include "update/UnixTime.h"

namespace update {

namespace {

// A key file is two short lines; anything larger is not one.
constexpr std::size_t kKeyFileLimit = 4096;

std::string KeyFilePath(const std::string& folder) {
    bool separated = !folder.empty() && (folder.back() == '/' || folder.back() == '\\');
    return folder + (separated ? "" : "/") + kPublisherKeyFile;
}

}  // namespace

std::optional<std::string> ReadPublisherKeyFile(const std::string& folder) {
    std::string path = KeyFilePath(folder);
    std::FILE* file = platform::OpenFile(path.c_str(), "rb");
    if (!file) {
        // A key that is there but cannot be read must not turn the check off.
        return platform::IsRegularFile(path.c_str()) ? std::optional<std::string>(std::string())
                                                     : std::nullopt;
    }
    std::string text(kKeyFileLimit + 1, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), file));
    bool failed = std::ferror(file) != 0 || text.size() > kKeyFileLimit;
    std::fclose(file);
    return failed ? std::string() : text;
}

std::optional<std::int64_t> VerifiedSigningTime(std::string_view keyFileText, std::string_view signatureText,
                                                std::string_view manifestText) {
    MinisignKey key;
    std::string trustedComment;
    if (!ParseMinisignPublicKey(keyFileText, key) ||
        VerifyMinisign(key, signatureText, manifestText, &trustedComment) != SignatureCheck::Valid) {
        return std::nullopt;
    }
    // Without a signing time an old manifest could not be told from a new
    // one, so any manifest the publisher ever signed could be replayed.
    return TrustedTimestamp(trustedComment);
}

bool IsUnexpired(const nlohmann::json& document, std::int64_t now) {
    if (!document.is_object()) {
        return true;
    }
    auto expires = document.find("expires");
    if (expires == document.end()) {
        return true;
    }
    if (!expires->is_string()) {
        return false;
    }
    std::optional<std::int64_t> end = ParseUtcTime(expires->get_ref<const std::string&>());
    return end && now < *end;
}

bool AcceptSignedManifest(const nlohmann::json& document, std::int64_t signedAt, std::int64_t now) {
    std::optional<std::int64_t> seen = ReadSeenTimestamp();
    if ((seen && signedAt < *seen) || !IsUnexpired(document, now)) {
        return false;
    }
    // A folder that cannot keep the time still gets this manifest, which is
    // verified; the guard then holds against what was remembered before.
    if (!seen || signedAt > *seen) {
        SaveSeenTimestamp(signedAt);
    }
    return true;
}

}  // namespace update
