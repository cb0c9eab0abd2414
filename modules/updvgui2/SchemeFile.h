// Scheme files, as plain functions over text. A scheme file is KeyValues
// text with these sections (names compared without regard to case):
//   "Colors"       named palette colours, "r g b a" (alpha optional, 255)
//   "BaseSettings" named settings: a colour ("r g b a" or a palette name) or
//                  any text the controls read; "Menu" { "FgColor" ... } is
//                  the same as "Menu/FgColor"
//   "Fonts"        each font a list of variants: "name", "tall", "weight",
//                  "blur", "scanlines", the flags "antialias", "italic",
//                  "underline", "strikeout", "symbol", "dropshadow",
//                  "outline", "additive", "rotary", and "yres" "min max",
//                  the screen heights the variant is meant for
//   "Borders"      each border "inset" "l t r b" and the sides "Left",
//                  "Top", "Right", "Bottom", each a list of lines with
//                  "color" and "offset" "start end"; or the name of another
//                  border to share its look
//   "CustomFontFiles" font files to register with the surface
// Nothing here draws or touches the disk.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "services/VGuiTypes.h"

class KeyValues;

struct SchemeFontVariant {
    std::string name;
    int tall = 0;
    int weight = 0;
    int blur = 0;
    int scanlines = 0;
    int flags = 0;
    int minScreenTall = 0;
    int maxScreenTall = 0;  // 0: no upper bound
};

struct SchemeBorderLine {
    std::string color;
    int startOffset = 0;
    int endOffset = 0;
};

struct SchemeBorderSpec {
    int inset[4] = {0, 0, 0, 0};  // left, top, right, bottom
    std::vector<SchemeBorderLine> sides[4];  // indexed like IBorder::sides_e
    std::string alias;  // another border's name; the rest is then unused
};

// Maps are keyed by lower-case names; the values keep their spelling.
struct SchemeData {
    std::map<std::string, vgui2::Color> colors;
    std::map<std::string, std::string> settings;
    std::map<std::string, std::vector<SchemeFontVariant>> fonts;
    std::map<std::string, SchemeBorderSpec> borders;
    std::vector<std::string> customFontFiles;
};

// False for text that holds none of the sections above.
bool ParseSchemeText(const char* text, SchemeData& data);

// "r g b" or "r g b a", each 0..255; nothing else.
bool ParseColorText(const char* text, vgui2::Color& color);

SchemeBorderSpec ParseBorderSection(KeyValues* section);

std::string LowerCase(const char* text);
