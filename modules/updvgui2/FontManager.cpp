#include "modules/updvgui2/FontManager.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/Platform.h"
#include "services/ISurface.h"
#include "vgui2/TextConvert.h"

using vgui2::HFont;
using vgui2::ISurface;

namespace {

constexpr const char* kSymbolFace = "marlett";
constexpr int kBoldWeight = 600;

struct DejaVuFamily {
    const char* face;
    const char* fileStem;
    const char* italicSuffix;  // Sans families slant as "Oblique", Serif as "Italic"
};

constexpr DejaVuFamily kFamilies[] = {
    {"dejavu sans mono", "DejaVuSansMono", "Oblique"},
    {"dejavu sans condensed", "DejaVuSansCondensed", "Oblique"},
    {"dejavu serif", "DejaVuSerif", "Italic"},
    {"dejavu serif condensed", "DejaVuSerifCondensed", "Italic"},
    {"dejavu sans", "DejaVuSans", "Oblique"},
};

std::string Lower(const std::string& text) {
    std::string result = text;
    for (char& ch : result) {
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    }
    return result;
}

std::string DejaVuFile(const DejaVuFamily& family, bool bold, bool italic) {
    std::string name = family.fileStem;
    if (bold || italic) {
        name += "-";
        name += bold ? "Bold" : "";
        name += italic ? family.italicSuffix : "";
    }
    return platform::FontFolder() + name + ".ttf";
}

// Glyphs that are not anti-aliased keep full or no coverage, as a font
// rendered without smoothing would.
void HardenCoverage(SDL_Surface* surface) {
    SDL_LockSurface(surface);
    for (int y = 0; y < surface->h; ++y) {
        auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) + y * surface->pitch);
        for (int x = 0; x < surface->w; ++x) {
            Uint32 alpha = row[x] >> 24;
            row[x] = (row[x] & 0x00FFFFFFu) | (alpha >= 128 ? 0xFF000000u : 0u);
        }
    }
    SDL_UnlockSurface(surface);
}

}  // namespace

struct CFontManager::Font {
    TTF_Font* ttf = nullptr;
    bool symbol = false;
    int tall = 0;
    int flags = 0;
    std::unordered_map<char32_t, FontGlyph> glyphs;

    void Clear() {
        for (auto& entry : glyphs) {
            SDL_FreeSurface(entry.second.coverage);
        }
        glyphs.clear();
        if (ttf) {
            TTF_CloseFont(ttf);
            ttf = nullptr;
        }
        symbol = false;
        tall = 0;
    }
    ~Font() { Clear(); }
};

CFontManager::CFontManager() = default;

CFontManager::~CFontManager() { Shutdown(); }

bool CFontManager::Init() {
    if (m_ownsTtf) {
        return true;
    }
    if (TTF_Init() != 0) {
        std::fprintf(stderr, "updvgui2: cannot start font rendering: %s\n", TTF_GetError());
        return false;
    }
    m_ownsTtf = true;
    return true;
}

void CFontManager::Shutdown() {
    // Fonts must close before SDL_ttf goes away; handles stay valid but empty.
    for (auto& font : m_fonts) {
        font->Clear();
    }
    ++m_generation;
    if (m_ownsTtf) {
        TTF_Quit();
        m_ownsTtf = false;
    }
}

HFont CFontManager::CreateFont() {
    m_fonts.push_back(std::make_unique<Font>());
    return static_cast<HFont>(m_fonts.size());
}

CFontManager::Font* CFontManager::Lookup(HFont font) const {
    if (font == 0 || font > m_fonts.size()) {
        return nullptr;
    }
    return m_fonts[font - 1].get();
}

std::string CFontManager::ResolveFontFile(const std::string& faceName, int weight, int flags) const {
    bool bold = weight >= kBoldWeight;
    bool italic = (flags & ISurface::FONTFLAG_ITALIC) != 0;
    std::string face = Lower(faceName);

    auto custom = m_customFaces.find(face);
    if (custom != m_customFaces.end()) {
        auto variant = custom->second.find(bold);
        return variant != custom->second.end() ? variant->second : custom->second.begin()->second;
    }
    const DejaVuFamily* family = &kFamilies[std::size(kFamilies) - 1];
    for (const DejaVuFamily& candidate : kFamilies) {
        if (face == candidate.face) {
            family = &candidate;
            break;
        }
    }
    // Drop the variants one by one until a file exists, so a missing oblique
    // face still gives bold text and a missing family still gives text.
    for (std::string path : {DejaVuFile(*family, bold, italic), DejaVuFile(*family, bold, false),
                             DejaVuFile(*family, false, false), DejaVuFile(kFamilies[4], bold, false),
                             DejaVuFile(kFamilies[4], false, false)}) {
        if (platform::IsRegularFile(path.c_str())) {
            return path;
        }
    }
    return {};
}

bool CFontManager::SetFontGlyphSet(HFont handle, const char* fontName, int tall, int weight, int flags) {
    Font* font = Lookup(handle);
    if (!font || tall <= 0 || !m_ownsTtf) {
        return false;
    }
    font->Clear();
    ++m_generation;
    font->flags = flags;
    std::string face = fontName ? fontName : "";
    if (Lower(face) == kSymbolFace || (flags & ISurface::FONTFLAG_SYMBOL)) {
        font->symbol = true;
        font->tall = tall;
        return true;
    }
    std::string path = ResolveFontFile(face, weight, flags);
    if (path.empty()) {
        std::fprintf(stderr, "updvgui2: no font file for \"%s\"\n", face.c_str());
        return false;
    }
    // The scheme's "tall" is the height of the whole line, as on the system
    // the schemes were written for; point sizes measure the em only, so the
    // size shrinks until the line fits.
    int size = tall;
    font->ttf = TTF_OpenFont(path.c_str(), size);
    if (!font->ttf) {
        std::fprintf(stderr, "updvgui2: cannot open font %s: %s\n", path.c_str(), TTF_GetError());
        return false;
    }
    while (size > 1 && TTF_FontHeight(font->ttf) > tall) {
        --size;
        TTF_SetFontSize(font->ttf, size);
    }
    int style = TTF_STYLE_NORMAL;
    if (flags & ISurface::FONTFLAG_UNDERLINE) {
        style |= TTF_STYLE_UNDERLINE;
    }
    if (flags & ISurface::FONTFLAG_STRIKEOUT) {
        style |= TTF_STYLE_STRIKETHROUGH;
    }
    TTF_SetFontStyle(font->ttf, style);
    if (!(flags & ISurface::FONTFLAG_ANTIALIAS)) {
        TTF_SetFontHinting(font->ttf, TTF_HINTING_MONO);
    }
    font->tall = TTF_FontHeight(font->ttf);
    return true;
}

bool CFontManager::AddCustomFontFile(const char* path) {
    if (!path || !m_ownsTtf || !platform::IsRegularFile(path)) {
        return false;
    }
    TTF_Font* probe = TTF_OpenFont(path, 12);
    if (!probe) {
        return false;
    }
    const char* family = TTF_FontFaceFamilyName(probe);
    bool bold = (TTF_GetFontStyle(probe) & TTF_STYLE_BOLD) != 0;
    const char* styleName = TTF_FontFaceStyleName(probe);
    if (styleName && Lower(styleName).find("bold") != std::string::npos) {
        bold = true;
    }
    bool known = family && *family;
    if (known) {
        m_customFaces[Lower(family)][bold] = path;
    }
    TTF_CloseFont(probe);
    return known;
}

bool CFontManager::IsValid(HFont font) const {
    Font* entry = Lookup(font);
    return entry && (entry->ttf || entry->symbol);
}

bool CFontManager::IsSymbolFont(HFont font) const {
    Font* entry = Lookup(font);
    return entry && entry->symbol;
}

int CFontManager::GetFontTall(HFont font) const {
    Font* entry = Lookup(font);
    return entry ? entry->tall : 0;
}

const FontGlyph* CFontManager::GetGlyph(HFont handle, char32_t ch) {
    Font* font = Lookup(handle);
    if (!font || !(font->ttf || font->symbol)) {
        return nullptr;
    }
    auto found = font->glyphs.find(ch);
    if (found != font->glyphs.end()) {
        return &found->second;
    }
    FontGlyph glyph;
    if (font->symbol) {
        // Symbol shapes fill a square cell as tall as the font.
        glyph.maxX = font->tall;
        glyph.advance = font->tall;
        return &font->glyphs.emplace(ch, glyph).first->second;
    }
    int minY = 0;
    int maxY = 0;
    if (TTF_GlyphMetrics32(font->ttf, ch, &glyph.minX, &glyph.maxX, &minY, &maxY, &glyph.advance) != 0) {
        glyph = FontGlyph{};
    }
    if (glyph.maxX > glyph.minX) {
        SDL_Surface* rendered = TTF_RenderGlyph32_Blended(font->ttf, ch, SDL_Color{255, 255, 255, 255});
        if (rendered) {
            glyph.coverage = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
            SDL_FreeSurface(rendered);
        }
        if (glyph.coverage && !(font->flags & ISurface::FONTFLAG_ANTIALIAS)) {
            HardenCoverage(glyph.coverage);
        }
        // A glyph whose ink starts left of the pen is rendered from its ink.
        glyph.drawOffsetX = std::min(0, glyph.minX);
    }
    return &font->glyphs.emplace(ch, glyph).first->second;
}

void CFontManager::GetCharABCwide(HFont font, int ch, int& a, int& b, int& c) {
    a = b = c = 0;
    if (ch < 0) {
        return;
    }
    const FontGlyph* glyph = GetGlyph(font, static_cast<char32_t>(ch));
    if (!glyph) {
        return;
    }
    if (glyph->maxX <= glyph->minX) {
        b = glyph->advance;  // blank glyphs are all spacing
        return;
    }
    a = glyph->minX;
    b = glyph->maxX - glyph->minX;
    c = glyph->advance - glyph->maxX;
}

int CFontManager::GetCharacterWidth(HFont font, int ch) {
    if (ch < 0) {
        return 0;
    }
    const FontGlyph* glyph = GetGlyph(font, static_cast<char32_t>(ch));
    return glyph ? glyph->advance : 0;
}

void CFontManager::GetTextSize(HFont font, const vgui2::wchar* text, int& wide, int& tall) {
    wide = tall = 0;
    if (!IsValid(font) || !text) {
        return;
    }
    int lineHeight = GetFontTall(font);
    int lineWidth = 0;
    tall = lineHeight;
    const vgui2::wchar* end = text + vgui2::WideLength(text);
    for (const vgui2::wchar* p = text; p < end;) {
        char32_t ch = NextCodePoint(p, end);
        if (ch == U'\n') {
            wide = std::max(wide, lineWidth);
            lineWidth = 0;
            tall += lineHeight;
            continue;
        }
        const FontGlyph* glyph = GetGlyph(font, ch);
        lineWidth += glyph ? glyph->advance : 0;
    }
    wide = std::max(wide, lineWidth);
}

char32_t NextCodePoint(const vgui2::wchar*& p, const vgui2::wchar* end) {
    char32_t ch = *p++;
    if (ch >= 0xD800 && ch <= 0xDBFF && p < end && *p >= 0xDC00 && *p <= 0xDFFF) {
        ch = 0x10000 + ((ch - 0xD800) << 10) + (*p++ - 0xDC00);
    }
    return ch;
}
