#include "update/Manifest.h"

#include <cmath>
#include <cstring>

#include <nlohmann/json.hpp>

#include "update/Settings.h"
#include "update/Transfer.h"

namespace update {

namespace {

using nlohmann::json;

// The archive size: integers give their low 32 bits, fractions are cut
// toward zero, booleans give 0 or 1. A value beyond any integer gives 0
// rather than an undefined conversion.
bool ReadSize(const json& value, std::int32_t& size) {
    if (value.is_number_unsigned()) {
        size = static_cast<std::int32_t>(static_cast<std::uint32_t>(value.get<std::uint64_t>()));
    } else if (value.is_number_integer()) {
        size = static_cast<std::int32_t>(static_cast<std::uint32_t>(value.get<std::int64_t>()));
    } else if (value.is_number_float()) {
        double truncated = std::trunc(value.get<double>());
        bool fits = std::fabs(truncated) < 9.2e18;
        size = fits ? static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::int64_t>(truncated))) : 0;
    } else if (value.is_boolean()) {
        size = value.get<bool>() ? 1 : 0;
    } else {
        return false;
    }
    return true;
}

// A missing key keeps the default; a key of another type rejects the entry.
bool ReadText(const json& branch, const char* key, std::string& text) {
    auto found = branch.find(key);
    if (found == branch.end()) {
        return true;
    }
    if (!found->is_string()) {
        return false;
    }
    text = found->get<std::string>();
    return true;
}

bool ReadBranch(const json& element, BranchRecord& record) {
    if (!element.is_object()) {
        return false;
    }
    if (!ReadText(element, "name", record.name) || record.name.empty()) {
        return false;
    }
    auto size = element.find("size");
    if (size != element.end() && !ReadSize(*size, record.size)) {
        return false;
    }
    return ReadText(element, "browser_download_url", record.downloadUrl) &&
           ReadText(element, "changelog", record.changelog) && ReadText(element, "version", record.version);
}

void WriteListing(std::FILE* listing, const BranchRecord& record) {
    std::fprintf(listing, "%s\n%s\n%s\n%d\n%s\n%s\n\n", record.name.c_str(), record.name.c_str(),
                 record.downloadUrl.c_str(), record.size, record.changelog.c_str(), record.version.c_str());
}

void PickSelectedBranch(UpdateState& state) {
    for (const BranchRecord& record : state.branches) {
        if (record.name == state.chosenBranchName) {
            state.selectedBranch = record;
            return;
        }
    }
    if (state.branches.empty()) {
        return;
    }
    state.selectedBranch = state.branches.front();
    state.chosenBranchName = state.selectedBranch.name;
    SaveBranch();
}

}  // namespace

std::string ResolveManifest(const char* builtInUrl) {
    ManifestOverride override = ReadManifestOverride();
    if (override.kind == ManifestOverrideClass::DirectUrl) {
        return DownloadString(override.url.c_str());
    }
    if (override.kind == ManifestOverrideClass::PointerUrl) {
        std::string pointer = DownloadString(override.url.c_str());
        std::string target(FirstLine(pointer));
        if (HasHttpPrefix(target)) {
            return DownloadString(target.c_str());
        }
    }
    return DownloadString(builtInUrl);
}

bool ParseManifest(std::string_view text, json& document) {
    json parsed = json::parse(text.begin(), text.end(), nullptr, false, false);
    if (parsed.is_discarded()) {
        return false;
    }
    document = std::move(parsed);
    return true;
}

std::vector<BranchRecord> ReadBranches(const json& document, std::FILE* listing) {
    std::vector<BranchRecord> records;
    if (!document.is_object()) {
        return records;
    }
    auto branches = document.find("branches");
    if (branches == document.end()) {
        return records;
    }
    // A null value has no elements, an object is walked over its values in
    // key order, and a single value is one element (skipped, not an object).
    for (const json& element : *branches) {
        BranchRecord record;
        if (ReadBranch(element, record)) {
            WriteListing(listing, record);
            records.push_back(std::move(record));
        }
    }
    std::fflush(listing);
    return records;
}

void ParseBranches() {
    UpdateState& state = g_updateState;
    state.branches = ReadBranches(*state.manifest, stdout);
    PickSelectedBranch(state);
}

}  // namespace update
