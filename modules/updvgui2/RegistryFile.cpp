#include "modules/updvgui2/RegistryFile.h"

#include <cstdlib>
#include <vector>

#include "platform/Text.h"
#include "vgui2/KeyValues.h"

namespace {

constexpr const char* kRootName = "Registry";

// Splits "A\B\C" into its parts; an empty part (leading, trailing or doubled
// separator) makes the whole path malformed. A "/" separates parts too: the
// KeyValues text format nests a name written with "/", so a key name holding
// one could not come back from the file as a single name anyway.
bool SplitKeyPath(const char* keyPath, std::vector<std::string>& parts) {
    if (!keyPath || !*keyPath) {
        return false;
    }
    std::string part;
    for (const char* c = keyPath;; ++c) {
        if (*c == '\\' || *c == '/' || *c == '\0') {
            if (part.empty()) {
                return false;
            }
            parts.push_back(part);
            part.clear();
            if (*c == '\0') {
                return true;
            }
        } else {
            part += *c;
        }
    }
}

// Registry keys are matched without regard to case, whatever spelling the
// file uses.
KeyValues* FindChild(KeyValues* parent, const std::string& name) {
    for (KeyValues* child = parent->GetFirstSubKey(); child; child = child->GetNextKey()) {
        if (platform::CompareNoCase(child->GetName(), name.c_str()) == 0) {
            return child;
        }
    }
    return nullptr;
}

KeyValues* AddChild(KeyValues* parent, const std::string& name) {
    KeyValues* child = parent->CreateNewKey();
    child->SetName(name.c_str());
    return child;
}

bool IsValue(KeyValues* key) { return !key->GetFirstSubKey() && key->GetDataType() == KeyValues::TYPE_STRING; }

struct Tree {
    KeyValues* root;
    explicit Tree(const char* text) : root(new KeyValues(kRootName)) {
        root->LoadFromBuffer(text ? text : "");
    }
    ~Tree() { root->deleteThis(); }
    Tree(const Tree&) = delete;
    Tree& operator=(const Tree&) = delete;
};

}  // namespace

bool FindRegistryValue(const char* fileText, const char* keyPath, std::string& value) {
    std::vector<std::string> parts;
    if (!SplitKeyPath(keyPath, parts)) {
        return false;
    }
    Tree tree(fileText);
    KeyValues* key = tree.root;
    for (const std::string& part : parts) {
        key = FindChild(key, part);
        if (!key) {
            return false;
        }
    }
    if (!IsValue(key)) {
        return false;
    }
    value = key->GetString();
    return true;
}

bool SetRegistryValue(const char* fileText, const char* keyPath, const char* value, std::string& newFileText) {
    std::vector<std::string> parts;
    if (!SplitKeyPath(keyPath, parts) || !value) {
        return false;
    }
    Tree tree(fileText);
    KeyValues* key = tree.root;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        KeyValues* child = FindChild(key, parts[i]);
        bool last = i + 1 == parts.size();
        if (child && !last && IsValue(child)) {
            return false;
        }
        if (child && last && child->GetFirstSubKey()) {
            return false;
        }
        key = child ? child : AddChild(key, parts[i]);
    }
    key->SetString(nullptr, value);
    KeyValues::TextBuffer buffer;
    tree.root->WriteToBuffer(buffer, 0);
    newFileText.assign(buffer.data, buffer.size);
    return true;
}

std::string RegistryFilePath() {
    const char* overridden = std::getenv("QUILL_UPDATER_REGISTRY");
    if (overridden && *overridden) {
        return overridden;
    }
    std::string folder;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    // A relative XDG_CONFIG_HOME is invalid by the base-directory rules and
    // would make the file depend on the working folder.
    if (config && config[0] == '/') {
        folder = config;
    } else if (home && *home) {
        folder = std::string(home) + "/.config";
    } else {
        return {};
    }
    return folder + "/QuillUpdater/registry.txt";
}
