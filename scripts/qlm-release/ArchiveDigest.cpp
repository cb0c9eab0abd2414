#include "scripts/qlm-release/ArchiveDigest.h"

#include <cstdio>
#include <vector>

#include <sodium.h>

#include "platform/Platform.h"

namespace qlmrelease {

bool DigestArchive(const std::string& path, ArchiveDigest& digest, std::string& reason) {
    std::FILE* file = platform::OpenFile(path.c_str(), "rb");
    if (!file) {
        reason = "cannot open " + path;
        return false;
    }
    crypto_hash_sha256_state state;
    crypto_hash_sha256_init(&state);
    std::vector<unsigned char> buffer(1 << 20);
    digest.size = 0;
    std::size_t got;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
        crypto_hash_sha256_update(&state, buffer.data(), got);
        digest.size += got;
    }
    bool complete = !std::ferror(file);
    std::fclose(file);
    if (!complete) {
        reason = "cannot read " + path;
        return false;
    }
    unsigned char hash[crypto_hash_sha256_BYTES];
    crypto_hash_sha256_final(&state, hash);
    char hex[2 * crypto_hash_sha256_BYTES + 1];
    sodium_bin2hex(hex, sizeof hex, hash, sizeof hash);
    digest.sha256 = hex;
    return true;
}

}  // namespace qlmrelease
