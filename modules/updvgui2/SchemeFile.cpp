#include "modules/updvgui2/SchemeFile.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/Text.h"
#include "services/ISurface.h"
#include "vgui2/KeyValues.h"

namespace {

struct FontFlagKey {
    const char* key;
    int flag;
};

constexpr FontFlagKey kFontFlagKeys[] = {
    {"italic", vgui2::ISurface::FONTFLAG_ITALIC},         {"underline", vgui2::ISurface::FONTFLAG_UNDERLINE},
    {"strikeout", vgui2::ISurface::FONTFLAG_STRIKEOUT},   {"symbol", vgui2::ISurface::FONTFLAG_SYMBOL},
    {"antialias", vgui2::ISurface::FONTFLAG_ANTIALIAS},   {"dropshadow", vgui2::ISurface::FONTFLAG_DROPSHADOW},
    {"outline", vgui2::ISurface::FONTFLAG_OUTLINE},       {"additive", vgui2::ISurface::FONTFLAG_ADDITIVE},
    {"rotary", vgui2::ISurface::FONTFLAG_ROTARY},
};

constexpr const char* kSideNames[4] = {"Left", "Top", "Right", "Bottom"};

bool IsSection(KeyValues* key) { return key->GetFirstSubKey() != nullptr; }

bool NameIs(KeyValues* key, const char* name) { return platform::CompareNoCase(key->GetName(), name) == 0; }

// Border insets and line offsets are a few pixels; the painter adds them to
// panel edges, so a file's value beyond any screen is held to this rather
// than let the sum overflow.
constexpr long kLargestBorderPixels = 1 << 16;

// Reads up to `count` whitespace-separated ints, each held to +-limit;
// missing ones stay as given.
void ReadInts(const char* text, int* values, int count, long limit = INT_MAX) {
    const char* p = text ? text : "";
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        long value = std::strtol(p, &end, 10);
        if (end == p) {
            return;
        }
        values[i] = static_cast<int>(std::clamp<long>(value, -limit, limit));
        p = end;
    }
}

// "Menu" { "FgColor" ... } and "Menu/FgColor" name the same setting.
void FlattenSettings(KeyValues* section, const std::string& prefix, SchemeData& data) {
    for (KeyValues* key = section->GetFirstSubKey(); key; key = key->GetNextKey()) {
        std::string name = prefix + key->GetName();
        if (IsSection(key)) {
            FlattenSettings(key, name + "/", data);
        } else {
            data.settings[LowerCase(name.c_str())] = key->GetString();
        }
    }
}

void ReadColors(KeyValues* section, SchemeData& data) {
    for (KeyValues* key = section->GetFirstSubKey(); key; key = key->GetNextKey()) {
        vgui2::Color color;
        if (!IsSection(key) && ParseColorText(key->GetString(), color)) {
            data.colors[LowerCase(key->GetName())] = color;
        }
    }
}

SchemeFontVariant ReadFontVariant(KeyValues* section) {
    SchemeFontVariant variant;
    variant.name = section->GetString("name", "");
    variant.tall = section->GetInt("tall", 0);
    variant.weight = section->GetInt("weight", 0);
    variant.blur = section->GetInt("blur", 0);
    variant.scanlines = section->GetInt("scanlines", 0);
    for (const FontFlagKey& flag : kFontFlagKeys) {
        if (section->GetInt(flag.key, 0) != 0) {
            variant.flags |= flag.flag;
        }
    }
    int range[2] = {0, 0};
    ReadInts(section->GetString("yres", ""), range, 2);
    variant.minScreenTall = range[0];
    variant.maxScreenTall = range[1];
    return variant;
}

void ReadFonts(KeyValues* section, SchemeData& data) {
    for (KeyValues* font = section->GetFirstSubKey(); font; font = font->GetNextKey()) {
        std::vector<SchemeFontVariant> variants;
        for (KeyValues* variant = font->GetFirstSubKey(); variant; variant = variant->GetNextKey()) {
            if (IsSection(variant)) {
                variants.push_back(ReadFontVariant(variant));
            }
        }
        if (!variants.empty()) {
            data.fonts[LowerCase(font->GetName())] = std::move(variants);
        }
    }
}

void ReadBorders(KeyValues* section, SchemeData& data) {
    for (KeyValues* border = section->GetFirstSubKey(); border; border = border->GetNextKey()) {
        SchemeBorderSpec spec;
        if (IsSection(border)) {
            spec = ParseBorderSection(border);
        } else {
            spec.alias = border->GetString();
        }
        data.borders[LowerCase(border->GetName())] = std::move(spec);
    }
}

void ReadCustomFontFiles(KeyValues* section, SchemeData& data) {
    for (KeyValues* file = section->GetFirstSubKey(); file; file = file->GetNextKey()) {
        if (!IsSection(file) && *file->GetString()) {
            data.customFontFiles.emplace_back(file->GetString());
        }
    }
}

}  // namespace

std::string LowerCase(const char* text) {
    std::string lower = text ? text : "";
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

bool ParseColorText(const char* text, vgui2::Color& color) {
    if (!text) {
        return false;
    }
    int values[4] = {0, 0, 0, 255};
    const char* p = text;
    int count = 0;
    for (; count < 4; ++count) {
        while (*p == ' ' || *p == '\t') {
            ++p;
        }
        if (*p < '0' || *p > '9') {
            break;
        }
        char* end = nullptr;
        long value = std::strtol(p, &end, 10);
        if (value > 255) {
            return false;
        }
        values[count] = static_cast<int>(value);
        p = end;
    }
    while (*p == ' ' || *p == '\t') {
        ++p;
    }
    if (count < 3 || *p != '\0') {
        return false;
    }
    color = vgui2::Color(values[0], values[1], values[2], values[3]);
    return true;
}

SchemeBorderSpec ParseBorderSection(KeyValues* section) {
    SchemeBorderSpec spec;
    if (!section) {
        return spec;
    }
    ReadInts(section->GetString("inset", ""), spec.inset, 4, kLargestBorderPixels);
    for (int side = 0; side < 4; ++side) {
        KeyValues* lines = nullptr;
        for (KeyValues* key = section->GetFirstSubKey(); key; key = key->GetNextKey()) {
            if (NameIs(key, kSideNames[side]) && IsSection(key)) {
                lines = key;
                break;
            }
        }
        if (!lines) {
            continue;
        }
        for (KeyValues* line = lines->GetFirstSubKey(); line; line = line->GetNextKey()) {
            if (!IsSection(line)) {
                continue;
            }
            SchemeBorderLine entry;
            entry.color = line->GetString("color", "");
            int offsets[2] = {0, 0};
            ReadInts(line->GetString("offset", ""), offsets, 2, kLargestBorderPixels);
            entry.startOffset = offsets[0];
            entry.endOffset = offsets[1];
            spec.sides[side].push_back(std::move(entry));
        }
    }
    return spec;
}

bool ParseSchemeText(const char* text, SchemeData& data) {
    data = SchemeData{};
    if (!text) {
        return false;
    }
    if (std::strncmp(text, "\xEF\xBB\xBF", 3) == 0) {
        text += 3;
    }
    KeyValues* root = new KeyValues("Scheme");
    root->LoadFromBuffer(text);
    bool any = false;
    for (KeyValues* section = root->GetFirstSubKey(); section; section = section->GetNextKey()) {
        if (!IsSection(section)) {
            continue;
        }
        if (NameIs(section, "Colors")) {
            ReadColors(section, data);
        } else if (NameIs(section, "BaseSettings")) {
            FlattenSettings(section, "", data);
        } else if (NameIs(section, "Fonts")) {
            ReadFonts(section, data);
        } else if (NameIs(section, "Borders")) {
            ReadBorders(section, data);
        } else if (NameIs(section, "CustomFontFiles")) {
            ReadCustomFontFiles(section, data);
        } else {
            continue;
        }
        any = true;
    }
    root->deleteThis();
    return any;
}
