#include "scripts/qlm-release/ManifestFile.h"

#include "platform/Platform.h"
#include "scripts/qlm-release/FileText.h"

namespace qlmrelease {

bool LoadManifest(const std::string& path, bool createWhenMissing, Json& manifest, std::string& reason) {
    std::string text;
    if (!ReadWholeFile(path, text)) {
        if (!createWhenMissing || platform::IsRegularFile(path.c_str())) {
            reason = "cannot read " + path;
            return false;
        }
        manifest = Json{{"branches", Json::array()}};
        return true;
    }
    manifest = Json::parse(text, nullptr, false);
    if (manifest.is_discarded() || !manifest.is_object()) {
        reason = path + " is not a JSON object";
        return false;
    }
    if (!manifest.contains("branches")) {
        manifest["branches"] = Json::array();
    }
    if (!manifest["branches"].is_array()) {
        reason = path + ": \"branches\" is not a list";
        return false;
    }
    return true;
}

bool SaveManifest(const std::string& path, const Json& manifest, std::string& reason) {
    std::string text;
    try {
        text = manifest.dump(4) + "\n";
    } catch (const Json::type_error&) {
        // Parsed text is always UTF-8; only a changelog file can be other.
        reason = "the changelog is not UTF-8 text";
        return false;
    }
    return ReplaceFile(path, text, reason);
}

}  // namespace qlmrelease
