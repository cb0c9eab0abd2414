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
           ReadText(element, "changelog", record.changelog) && ReadText(element, "version", record.version) &&
           ReadText(element, "sha256", record.sha256);
}

void WriteListing(std::FILE* listing, const BranchRecord& record) {
    std::string name = EscapeForListing(record.name);
    std::fprintf(listing, "%s\n%s\n%s\n%d\n%s\n%s\n\n", name.c_str(), name.c_str(),
                 EscapeForListing(record.downloadUrl).c_str(), record.size,
                 EscapeForListing(record.changelog).c_str(), EscapeForListing(record.version).c_str());
}

// Counts what the parse would build, without building it, and stops at the
// first value beyond the limits.
class ManifestBudget final : public nlohmann::json_sax<json> {
public:
    bool null() override { return Value(); }
    bool boolean(bool) override { return Value(); }
    bool number_integer(number_integer_t) override { return Value(); }
    bool number_unsigned(number_unsigned_t) override { return Value(); }
    bool number_float(number_float_t, const string_t&) override { return Value(); }
    bool string(string_t&) override { return Value(); }
    bool binary(binary_t&) override { return Value(); }
    bool start_object(std::size_t) override { return Open(); }
    bool key(string_t&) override { return true; }
    bool end_object() override { return Close(); }
    bool start_array(std::size_t) override { return Open(); }
    bool end_array() override { return Close(); }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }

private:
    bool Value() { return ++m_values <= kMaxManifestValues; }
    bool Open() { return ++m_depth <= kMaxManifestDepth && Value(); }
    bool Close() {
        --m_depth;
        return true;
    }

    std::size_t m_values = 0;
    int m_depth = 0;
};

bool IsControlCharacter(unsigned char byte) { return byte < 0x20 || byte == 0x7f; }

// A C1 control written as UTF-8 (U+0080 to U+009F), which terminals that
// decode UTF-8 obey like its 8-bit form.
bool IsEncodedC1(std::string_view text, std::size_t at) {
    return static_cast<unsigned char>(text[at]) == 0xc2 && at + 1 < text.size() &&
           static_cast<unsigned char>(text[at + 1]) >= 0x80 && static_cast<unsigned char>(text[at + 1]) <= 0x9f;
}

void AppendEscape(std::string& out, unsigned char byte) {
    static const char kHex[] = "0123456789abcdef";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xf];
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

std::string EscapeForListing(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto byte = static_cast<unsigned char>(text[i]);
        if (IsControlCharacter(byte)) {
            AppendEscape(out, byte);
        } else if (IsEncodedC1(text, i)) {
            AppendEscape(out, byte);
            AppendEscape(out, static_cast<unsigned char>(text[++i]));
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string ResolveManifest(const char* builtInUrl, std::vector<std::string>* failureTexts, std::string* finalUrl) {
    auto fetch = [failureTexts, finalUrl](const char* url) {
        if (finalUrl) {
            *finalUrl = url;
        }
        if (!failureTexts) {
            return DownloadString(url);
        }
        std::string failure;
        std::string text = DownloadString(url, &failure);
        if (!failure.empty()) {
            failureTexts->push_back(std::move(failure));
        }
        return text;
    };
    ManifestOverride override = ReadManifestOverride();
    if (override.kind == ManifestOverrideClass::DirectUrl) {
        return fetch(override.url.c_str());
    }
    if (override.kind == ManifestOverrideClass::PointerUrl) {
        std::string pointer = fetch(override.url.c_str());
        std::string target(FirstLine(pointer));
        if (HasHttpPrefix(target)) {
            return fetch(target.c_str());
        }
    }
    return fetch(builtInUrl);
}

bool ParseManifest(std::string_view text, json& document) {
    ManifestBudget budget;
    if (!json::sax_parse(text.begin(), text.end(), &budget, nlohmann::detail::input_format_t::json, true)) {
        return false;
    }
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
