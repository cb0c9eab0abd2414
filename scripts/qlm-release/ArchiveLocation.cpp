#include "scripts/qlm-release/ArchiveLocation.h"

#include "platform/Platform.h"
#include "scripts/qlm-release/FileText.h"

namespace qlmrelease {

std::string LocalArchive(const std::string& baseDir, const std::string& url) {
    std::size_t scheme = url.find("://");
    std::size_t slash = scheme == std::string::npos ? std::string::npos : url.find('/', scheme + 3);
    if (slash == std::string::npos) {
        return {};
    }
    std::string path = url.substr(slash + 1);
    path = path.substr(0, path.find_first_of("?#"));
    std::string name = LastPartOf(path);
    if (name.empty() || name == "." || name == "..") {
        return {};
    }
    // Nothing of the address may lead out of the base folder.
    std::string wrapped = "/" + path + "/";
    bool plain = wrapped.find("//") == std::string::npos && wrapped.find("/./") == std::string::npos &&
                 wrapped.find("/../") == std::string::npos;
    std::string nested = baseDir + "/" + path;
    return plain && platform::IsRegularFile(nested.c_str()) ? nested : baseDir + "/" + name;
}

}  // namespace qlmrelease
