// Reads arbitrary text as a scheme file and as the registry file, both
// KeyValues text the updater reads from disk at start-up.
//
// Scheme: the text is parsed, loaded over the shipped scheme (as a reload
// would) and every colour, setting, font and border it names is asked for;
// each border paints into a recording surface. A setting must read back as
// written, a palette colour as parsed, and a text is a scheme exactly when
// the parser says so.
//
// Registry: the language value is set in the text and must then be found
// with the value given, and every other value of the file must still be
// found as it was. Values of a tree the text form cannot carry whole are
// not compared.
#include <strings.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "modules/updvgui2/ModuleServices.h"
#include "modules/updvgui2/RegistryFile.h"
#include "modules/updvgui2/Scheme.h"
#include "modules/updvgui2/SchemeFile.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/modules/RecordingSurface.h"
#include "tests/support/TestSupport.h"
#include "vgui2/KeyValues.h"

namespace {

using vgui2::Color;

constexpr const char* kLanguagePath = "HKEY_CURRENT_USER\\Software\\Quillmere\\Language";
// Quotes and backslashes, so that the writer's escaping is part of it.
constexpr const char* kLanguageValue = "eng\"li\\sh";
// Each lookup reads the whole file again; a few values show whether the
// others were kept without making a large file slow to fuzz.
constexpr std::size_t kMostComparedValues = 8;

testsupport::RecordingSurface g_surface;
std::string g_shippedScheme;

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "fuzz_scheme: %s: %s\n", what, detail.c_str());
    std::abort();
}

void ExerciseScheme(const char* text) {
    SchemeData data;
    bool isScheme = ParseSchemeText(text, data);

    CScheme scheme(g_surface, ThePanelService(), "Fuzz", "fuzz.res");
    scheme.Load(g_shippedScheme.c_str());
    if (scheme.Load(text) != isScheme) {
        Fail("loading and parsing disagree", text);
    }
    if (!isScheme) {
        return;
    }
    for (const auto& [name, value] : data.settings) {
        if (value != scheme.GetResourceString(name.c_str())) {
            Fail("setting does not read back", name);
        }
        scheme.GetColor(name.c_str(), Color(1, 2, 3, 4));
    }
    for (const auto& [name, color] : data.colors) {
        // A setting of the same name comes first.
        if (!data.settings.count(name) && scheme.GetColor(name.c_str(), Color(1, 2, 3, 4)) != color) {
            Fail("palette colour does not read back", name);
        }
    }
    for (const auto& [name, variants] : data.fonts) {
        scheme.GetFont(name.c_str(), false);
        scheme.GetFont(name.c_str(), true);
    }
    for (const auto& [name, spec] : data.borders) {
        if (vgui2::IBorder* border = scheme.GetBorder(name.c_str())) {
            int inset[4];
            border->GetInset(inset[0], inset[1], inset[2], inset[3]);
            border->Paint(0, 0, 120, 40);
            for (int side = 0; side < 4; ++side) {
                border->Paint(3, 2, 90, 30, side, 4, 20);
            }
        }
    }
    g_surface.filledRects.clear();
    g_surface.glyphSets.clear();
    g_surface.customFontFiles.clear();
}

// Paths of every value of the tree whose names can be spelled as a path.
void CollectValuePaths(KeyValues* section, const std::string& prefix, std::vector<std::string>& paths) {
    for (KeyValues* key = section->GetFirstSubKey(); key; key = key->GetNextKey()) {
        std::string name = key->GetName();
        if (name.empty() || name.find('\\') != std::string::npos) {
            continue;
        }
        std::string path = prefix.empty() ? name : prefix + "\\" + name;
        if (key->GetFirstSubKey()) {
            CollectValuePaths(key, path, paths);
        } else if (paths.size() < kMostComparedValues) {
            paths.push_back(path);
        }
    }
}

// The same path in other letters, since keys match without regard to case.
std::string SwapCase(std::string path) {
    for (char& c : path) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        } else if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return path;
}

void CheckValueSet(const char* text, const std::string& path, const std::vector<std::string>& others, bool compare) {
    std::string updated;
    if (!SetRegistryValue(text, path.c_str(), kLanguageValue, updated) || !compare) {
        return;
    }
    std::string found;
    if (!FindRegistryValue(updated.c_str(), path.c_str(), found) || found != kLanguageValue) {
        Fail("a value set is not found again", path);
    }
    for (const std::string& other : others) {
        if (strcasecmp(other.c_str(), path.c_str()) == 0) {
            continue;
        }
        std::string before;
        std::string after;
        bool hadIt = FindRegistryValue(text, other.c_str(), before);
        bool hasIt = FindRegistryValue(updated.c_str(), other.c_str(), after);
        if (hadIt != hasIt || before != after) {
            Fail("setting a value changed another", other);
        }
    }
}

void ExerciseRegistry(const char* text) {
    KeyValues* tree = new KeyValues("Registry");
    tree->LoadFromBuffer(text);
    bool compare = fuzzsupport::FitsTheTextFormat(tree);
    std::vector<std::string> paths;
    CollectValuePaths(tree, "", paths);
    tree->deleteThis();

    std::string value;
    FindRegistryValue(text, kLanguagePath, value);
    CheckValueSet(text, kLanguagePath, paths, compare);
    if (!paths.empty()) {
        CheckValueSet(text, SwapCase(paths.front()), paths, compare);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzsupport::ConnectKeyValues();
    g_shippedScheme = testsupport::ReadFile(UPD_DATA_DIR "/platform/resource/TrackerScheme.res");
    if (g_shippedScheme.empty()) {
        Fail("the shipped scheme is missing", UPD_DATA_DIR);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    ExerciseScheme(text.c_str());
    ExerciseRegistry(text.c_str());
    return 0;
}
