// Scheme fonts rendered with SDL_ttf. A font handle names a face (resolved
// to a file), a height in pixels and style flags; glyphs are rendered once
// into white coverage surfaces and kept, so that every window can tint and
// reuse them. What it leaves out: kerning (widths add up glyph by glyph, as
// the toolkit measures text), blur, scan lines, drop shadows and outlines.
// Faces the system lacks fall back to DejaVu Sans; the symbol face "Marlett"
// has no file here and is drawn as shapes by the painter.
#pragma once

#include <SDL2/SDL.h>
#include <SDL2/SDL_ttf.h>

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "services/VGuiTypes.h"

struct FontGlyph {
    int minX = 0;      // spacing before the ink, may be negative
    int maxX = 0;      // right edge of the ink
    int advance = 0;   // full width, spacing on both sides included
    int drawOffsetX = 0;  // where the rendered surface starts, relative to the pen
    SDL_Surface* coverage = nullptr;  // white with alpha; null for blank glyphs
};

// Reads one character from wide text, joining a surrogate pair, and moves
// past it; p must lie before end.
char32_t NextCodePoint(const vgui2::wchar*& p, const vgui2::wchar* end);

class CFontManager {
public:
    CFontManager();
    ~CFontManager();
    CFontManager(const CFontManager&) = delete;
    CFontManager& operator=(const CFontManager&) = delete;

    // Starts SDL_ttf; false (with the reason on standard error) when it cannot.
    bool Init();
    void Shutdown();

    vgui2::HFont CreateFont();
    bool SetFontGlyphSet(vgui2::HFont font, const char* fontName, int tall, int weight, int flags);
    bool AddCustomFontFile(const char* path);

    bool IsValid(vgui2::HFont font) const;
    bool IsSymbolFont(vgui2::HFont font) const;
    int GetFontTall(vgui2::HFont font) const;
    void GetCharABCwide(vgui2::HFont font, int ch, int& a, int& b, int& c);
    int GetCharacterWidth(vgui2::HFont font, int ch);
    // Widest line and line count times the height; "\n" starts a line.
    void GetTextSize(vgui2::HFont font, const vgui2::wchar* text, int& wide, int& tall);

    // Null for an unknown font; the glyph lives until the font is re-set.
    const FontGlyph* GetGlyph(vgui2::HFont font, char32_t ch);

    // Grows whenever a font is re-set, so that caches built from old glyphs
    // know to drop them.
    unsigned Generation() const { return m_generation; }

    // The file a face name resolves to, with bold and italic variants.
    std::string ResolveFontFile(const std::string& faceName, int weight, int flags) const;

private:
    struct Font;
    Font* Lookup(vgui2::HFont font) const;

    std::vector<std::unique_ptr<Font>> m_fonts;
    // Custom faces by lower-case family name, each with regular and bold files.
    std::map<std::string, std::map<bool, std::string>> m_customFaces;
    unsigned m_generation = 1;
    bool m_ownsTtf = false;
};
