#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "scripts/qlm-release/ArchiveDigest.h"
#include "scripts/qlm-release/ArchiveLocation.h"
#include "scripts/qlm-release/Commands.h"
#include "scripts/qlm-release/FileText.h"
#include "scripts/qlm-release/ManifestFile.h"
#include "update/Minisign.h"
#include "update/Transfer.h"
#include "update/UnixTime.h"

namespace qlmrelease {

namespace {

class Problems {
public:
    void Add(const std::string& text) { m_texts.push_back(text); }
    bool Any() const { return !m_texts.empty(); }
    void Print() const {
        for (const std::string& text : m_texts) {
            std::printf("%s\n", text.c_str());
        }
    }

private:
    std::vector<std::string> m_texts;
};

const char* SignatureProblem(update::SignatureCheck check) {
    switch (check) {
        case update::SignatureCheck::Valid:
            return nullptr;
        case update::SignatureCheck::Malformed:
            return "is not a minisign signature";
        case update::SignatureCheck::OtherKey:
            return "was made with another key";
        case update::SignatureCheck::Mismatch:
            return "does not match the manifest";
    }
    return "cannot be checked";
}

void CheckSignature(const std::string& manifestPath, const std::string& manifestText, const std::string& keyPath,
                    Problems& problems) {
    std::string keyText;
    update::MinisignKey key;
    if (!ReadWholeFile(keyPath, keyText)) {
        problems.Add(keyPath + ": cannot be read");
        return;
    }
    if (!update::ParseMinisignPublicKey(keyText, key)) {
        problems.Add(keyPath + ": not a minisign public key");
        return;
    }
    std::string signaturePath = manifestPath + ".minisig";
    std::string signature;
    if (!ReadWholeFile(signaturePath, signature)) {
        problems.Add(signaturePath + ": missing (sign with: minisign -S -s KEY -m " + manifestPath + ")");
        return;
    }
    std::string trustedComment;
    update::SignatureCheck check = update::VerifyMinisign(key, signature, manifestText, &trustedComment);
    if (const char* problem = SignatureProblem(check)) {
        problems.Add(signaturePath + ": " + problem);
        return;
    }
    std::printf("trusted comment: %s\n", trustedComment.c_str());
    if (!update::TrustedTimestamp(trustedComment)) {
        problems.Add(signaturePath + ": the trusted comment has no \"timestamp:\", so the updater cannot tell "
                                     "an older manifest from a newer one");
    }
}

void CheckExpiry(const Json& manifest, Problems& problems) {
    if (!manifest.contains("expires")) {
        return;
    }
    const Json& expires = manifest["expires"];
    auto when = expires.is_string() ? update::ParseUtcTime(expires.get<std::string>()) : std::nullopt;
    if (!when) {
        problems.Add("\"expires\" is not a UTC time such as 2027-06-30T00:00:00Z");
        return;
    }
    if (*when <= update::UnixNow()) {
        problems.Add("\"expires\" has passed: the updater refuses this manifest");
    }
}

bool SameHex(const std::string& a, const std::string& b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'F' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) == lower(y); });
}

void CheckBranch(const Json& branch, std::size_t index, const std::string& baseDir, Problems& problems) {
    std::string label = "branch " + std::to_string(index + 1);
    if (!branch.is_object() || !branch.contains("name") || !branch["name"].is_string()) {
        problems.Add(label + ": no \"name\", the updater skips it");
        return;
    }
    label = "branch \"" + branch["name"].get<std::string>() + "\"";
    const Json url = branch.value("browser_download_url", Json());
    const Json size = branch.value("size", Json());
    const Json sha256 = branch.value("sha256", Json());
    std::string archive = url.is_string() ? LocalArchive(baseDir, url.get<std::string>()) : std::string();
    if (archive.empty()) {
        problems.Add(label + ": \"browser_download_url\" does not name an archive");
        return;
    }
    bool sizeKnown = size.is_number_integer();
    bool hashKnown = sha256.is_string() && update::IsArchiveHash(sha256.get<std::string>());
    if (!sizeKnown) {
        problems.Add(label + ": \"size\" is not a whole number");
    }
    if (!hashKnown) {
        problems.Add(label + ": \"sha256\" is not 64 hex digits; with a key the updater refuses the branch");
    }
    ArchiveDigest digest;
    std::string reason;
    if (!DigestArchive(archive, digest, reason)) {
        problems.Add(label + ": " + reason);
        return;
    }
    if (sizeKnown && size.get<std::int64_t>() != static_cast<std::int64_t>(digest.size)) {
        problems.Add(label + ": " + archive + " has " + std::to_string(digest.size) + " bytes, the manifest says " +
                     size.dump());
    }
    if (hashKnown && !SameHex(sha256.get<std::string>(), digest.sha256)) {
        problems.Add(label + ": " + archive + " has sha256 " + digest.sha256 + ", the manifest says " +
                     sha256.get<std::string>());
    }
}

}  // namespace

int RunCheck(const Options& options) {
    std::string manifestPath = ValueOf(options, "--manifest");
    std::string baseDir = options.count("--base-dir") ? ValueOf(options, "--base-dir") : FolderOf(manifestPath);
    Problems problems;
    std::string text;
    if (!ReadWholeFile(manifestPath, text)) {
        problems.Add(manifestPath + ": cannot be read");
        problems.Print();
        return 1;
    }
    if (options.count("--pub")) {
        CheckSignature(manifestPath, text, ValueOf(options, "--pub"), problems);
    }
    Json manifest = Json::parse(text, nullptr, false);
    if (manifest.is_discarded() || !manifest.is_object()) {
        problems.Add(manifestPath + ": not a JSON object");
    } else if (!manifest.contains("branches") || !manifest["branches"].is_array()) {
        problems.Add(manifestPath + ": \"branches\" is not a list");
    } else {
        CheckExpiry(manifest, problems);
        const Json& branches = manifest["branches"];
        for (std::size_t index = 0; index < branches.size(); ++index) {
            CheckBranch(branches[index], index, baseDir, problems);
        }
    }
    if (problems.Any()) {
        problems.Print();
        return 1;
    }
    std::printf("%s: every branch matches its archive\n", manifestPath.c_str());
    return 0;
}

}  // namespace qlmrelease
