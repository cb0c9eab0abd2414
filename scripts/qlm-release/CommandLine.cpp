#include "scripts/qlm-release/CommandLine.h"

#include <algorithm>

namespace qlmrelease {

namespace {

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& arguments, const std::vector<std::string>& required,
                  const std::vector<std::string>& optional, Options& options, std::string& reason) {
    for (std::size_t at = 0; at < arguments.size(); at += 2) {
        const std::string& name = arguments[at];
        if (name.rfind("--", 0) != 0 || (!Contains(required, name) && !Contains(optional, name))) {
            reason = "unknown option " + name;
            return false;
        }
        // A value that looks like an option is a forgotten value, not a
        // file named "--url".
        if (at + 1 == arguments.size() || arguments[at + 1].rfind("--", 0) == 0) {
            reason = name + " needs a value";
            return false;
        }
        if (!options.emplace(name, arguments[at + 1]).second) {
            reason = name + " is given twice";
            return false;
        }
    }
    for (const std::string& name : required) {
        if (!options.count(name)) {
            reason = name + " is missing";
            return false;
        }
    }
    return true;
}

std::string ValueOf(const Options& options, const std::string& name) {
    auto found = options.find(name);
    return found == options.end() ? std::string() : found->second;
}

}  // namespace qlmrelease
