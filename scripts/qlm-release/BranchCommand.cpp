#include <cstdio>

#include "scripts/qlm-release/ArchiveDigest.h"
#include "scripts/qlm-release/Commands.h"
#include "scripts/qlm-release/FileText.h"
#include "scripts/qlm-release/ManifestFile.h"
#include "update/UnixTime.h"

namespace qlmrelease {

namespace {

int Fail(const std::string& reason) {
    std::fprintf(stderr, "qlm-release branch: %s\n", reason.c_str());
    return 1;
}

bool HasHttpPrefix(const std::string& url) { return url.rfind("http://", 0) == 0 || url.rfind("https://", 0) == 0; }

// Every entry of that name is brought up to date in place, so its other
// keys keep their values and their order; a new branch goes last.
void PutBranch(Json& branches, const Json& fields) {
    bool found = false;
    for (Json& branch : branches) {
        if (branch.is_object() && branch.value("name", Json()) == fields["name"]) {
            branch.update(fields);
            found = true;
        }
    }
    if (!found) {
        branches.push_back(fields);
    }
}

}  // namespace

int RunBranch(const Options& options) {
    std::string manifestPath = ValueOf(options, "--manifest");
    std::string archive = ValueOf(options, "--archive");
    std::string url = ValueOf(options, "--url");
    std::string expires = ValueOf(options, "--expires");
    std::string reason;
    if (ValueOf(options, "--name").empty()) {
        return Fail("--name must not be empty: the updater skips a branch without a name");
    }
    if (!HasHttpPrefix(url)) {
        return Fail("--url must start with http:// or https://, the only addresses the updater follows");
    }
    if (!expires.empty() && !update::ParseUtcTime(expires)) {
        return Fail("--expires takes a UTC time such as 2027-06-30T00:00:00Z, not \"" + expires + "\"");
    }
    ArchiveDigest digest;
    if (!DigestArchive(archive, digest, reason)) {
        return Fail(reason);
    }
    if (digest.size > kLargestArchive) {
        return Fail(archive + " has " + std::to_string(digest.size) + " bytes; the updater's \"size\" holds at most " +
                    std::to_string(kLargestArchive));
    }
    Json fields{{"name", ValueOf(options, "--name")},
                {"version", ValueOf(options, "--version")},
                {"browser_download_url", url},
                {"size", digest.size},
                {"sha256", digest.sha256}};
    if (options.count("--changelog-file")) {
        std::string changelog;
        if (!ReadWholeFile(ValueOf(options, "--changelog-file"), changelog)) {
            return Fail("cannot read " + ValueOf(options, "--changelog-file"));
        }
        fields["changelog"] = changelog;
    }
    Json manifest;
    if (!LoadManifest(manifestPath, true, manifest, reason)) {
        return Fail(reason);
    }
    PutBranch(manifest["branches"], fields);
    if (!expires.empty()) {
        manifest["expires"] = expires;
    }
    if (!SaveManifest(manifestPath, manifest, reason)) {
        return Fail(reason);
    }
    std::printf("%s: branch \"%s\" %s, %llu bytes, sha256 %s\n", manifestPath.c_str(),
                ValueOf(options, "--name").c_str(), ValueOf(options, "--version").c_str(),
                static_cast<unsigned long long>(digest.size), digest.sha256.c_str());
    return 0;
}

}  // namespace qlmrelease
