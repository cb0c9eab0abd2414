#include <cstdio>

#include "scripts/qlm-release/ArchiveDigest.h"
#include "scripts/qlm-release/ArchiveLocation.h"
#include "scripts/qlm-release/Commands.h"
#include "scripts/qlm-release/FileText.h"
#include "scripts/qlm-release/ManifestFile.h"

namespace qlmrelease {

// A branch whose archive is not at hand keeps what it had: the manifest may
// name an archive that only the server holds, and "check" reports it.
int RunRehash(const Options& options) {
    std::string manifestPath = ValueOf(options, "--manifest");
    std::string baseDir = options.count("--base-dir") ? ValueOf(options, "--base-dir") : FolderOf(manifestPath);
    Json manifest;
    std::string reason;
    if (!LoadManifest(manifestPath, false, manifest, reason)) {
        std::fprintf(stderr, "qlm-release rehash: %s\n", reason.c_str());
        return 1;
    }
    for (Json& branch : manifest["branches"]) {
        const Json url = branch.is_object() ? branch.value("browser_download_url", Json()) : Json();
        std::string archive = url.is_string() ? LocalArchive(baseDir, url.get<std::string>()) : std::string();
        ArchiveDigest digest;
        if (archive.empty() || !DigestArchive(archive, digest, reason)) {
            std::fprintf(stderr, "qlm-release rehash: no archive for %s, left as it was\n", url.dump().c_str());
            continue;
        }
        if (digest.size > kLargestArchive) {
            std::fprintf(stderr, "qlm-release rehash: %s is too large for the updater\n", archive.c_str());
            return 1;
        }
        branch["size"] = digest.size;
        branch["sha256"] = digest.sha256;
    }
    if (!SaveManifest(manifestPath, manifest, reason)) {
        std::fprintf(stderr, "qlm-release rehash: %s\n", reason.c_str());
        return 1;
    }
    return 0;
}

}  // namespace qlmrelease
