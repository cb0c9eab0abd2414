// Scheme fonts: face resolution, line heights, per-character widths and
// text sizes as the toolkit measures them. Needs SDL_ttf and the DejaVu
// fonts, no display.
#include <gtest/gtest.h>

#include <string>

#include "modules/updvgui2/FontManager.h"
#include "services/ISurface.h"

using vgui2::HFont;
using vgui2::ISurface;

namespace {

class FontTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_fonts.Init()); }

    HFont Make(const char* face, int tall, int weight = 500, int flags = ISurface::FONTFLAG_ANTIALIAS) {
        HFont font = m_fonts.CreateFont();
        EXPECT_TRUE(m_fonts.SetFontGlyphSet(font, face, tall, weight, flags)) << face;
        return font;
    }

    CFontManager m_fonts;
};

TEST_F(FontTest, LineHeightNeverExceedsTheSchemeTallAndStaysClose) {
    for (int tall : {10, 13, 16, 24, 40}) {
        HFont font = Make("Tahoma", tall);
        int height = m_fonts.GetFontTall(font);
        EXPECT_LE(height, tall);
        EXPECT_GE(height, tall - 2) << "tall " << tall;
    }
}

TEST_F(FontTest, FacesResolveToDejaVuWithBoldAndSlantedVariants) {
    EXPECT_NE(m_fonts.ResolveFontFile("Verdana", 500, 0).find("/DejaVuSans.ttf"), std::string::npos);
    EXPECT_NE(m_fonts.ResolveFontFile("Verdana", 700, 0).find("/DejaVuSans-Bold.ttf"), std::string::npos);
    EXPECT_NE(m_fonts.ResolveFontFile("Arial", 400, ISurface::FONTFLAG_ITALIC).find("/DejaVuSans-Oblique.ttf"),
              std::string::npos);
    EXPECT_NE(m_fonts.ResolveFontFile("dejavu sans mono", 400, 0).find("/DejaVuSansMono.ttf"), std::string::npos);
    EXPECT_NE(m_fonts.ResolveFontFile("DejaVu Serif", 800, ISurface::FONTFLAG_ITALIC).find("DejaVuSerif-BoldItalic"),
              std::string::npos);

    // Bold really is wider than regular at the same height.
    HFont regular = Make("Tahoma", 16, 400);
    HFont bold = Make("Tahoma", 16, 800);
    int regularWide = 0, boldWide = 0, tall = 0;
    m_fonts.GetTextSize(regular, u"Download update", regularWide, tall);
    m_fonts.GetTextSize(bold, u"Download update", boldWide, tall);
    EXPECT_GT(boldWide, regularWide);
}

TEST_F(FontTest, CharacterWidthsIncludeSpacingOnBothSides) {
    HFont font = Make("Tahoma", 16);
    for (int ch : {int{'A'}, int{'i'}, int{'j'}, int{'W'}, int{'.'}, 0x00E9}) {
        int a = 0, b = 0, c = 0;
        m_fonts.GetCharABCwide(font, ch, a, b, c);
        EXPECT_GT(b, 0) << ch;
        EXPECT_EQ(a + b + c, m_fonts.GetCharacterWidth(font, ch)) << ch;
    }
    // A space is all advance and no ink.
    int a = 0, b = 0, c = 0;
    m_fonts.GetCharABCwide(font, ' ', a, b, c);
    EXPECT_EQ(a + b + c, m_fonts.GetCharacterWidth(font, ' '));
    EXPECT_GT(m_fonts.GetCharacterWidth(font, ' '), 0);
    EXPECT_GT(m_fonts.GetCharacterWidth(font, 'W'), m_fonts.GetCharacterWidth(font, 'i'));
}

TEST_F(FontTest, TextSizeIsTheSumOfWidthsPerLine) {
    HFont font = Make("Tahoma", 14);
    const vgui2::wchar* text = u"Version 1.2";
    int expected = 0;
    for (const vgui2::wchar* p = text; *p; ++p) {
        expected += m_fonts.GetCharacterWidth(font, *p);
    }
    int wide = 0, tall = 0;
    m_fonts.GetTextSize(font, text, wide, tall);
    EXPECT_EQ(wide, expected);
    EXPECT_EQ(tall, m_fonts.GetFontTall(font));

    m_fonts.GetTextSize(font, u"Version 1.2\nab", wide, tall);
    EXPECT_EQ(wide, expected);
    EXPECT_EQ(tall, 2 * m_fonts.GetFontTall(font));

    m_fonts.GetTextSize(font, u"", wide, tall);
    EXPECT_EQ(wide, 0);
}

TEST_F(FontTest, SymbolFaceHasSquareCellsWithoutAFile) {
    HFont marlett = Make("Marlett", 13);
    EXPECT_TRUE(m_fonts.IsSymbolFont(marlett));
    EXPECT_EQ(m_fonts.GetFontTall(marlett), 13);
    EXPECT_EQ(m_fonts.GetCharacterWidth(marlett, 'a'), 13);
    EXPECT_EQ(m_fonts.GetCharacterWidth(marlett, '4'), 13);
    const FontGlyph* glyph = m_fonts.GetGlyph(marlett, 'g');
    ASSERT_NE(glyph, nullptr);
    EXPECT_EQ(glyph->coverage, nullptr);
}

TEST_F(FontTest, BadHandlesAndSizesAreRefusedQuietly) {
    EXPECT_FALSE(m_fonts.SetFontGlyphSet(0, "Tahoma", 12, 400, 0));
    EXPECT_FALSE(m_fonts.SetFontGlyphSet(999, "Tahoma", 12, 400, 0));
    HFont font = m_fonts.CreateFont();
    EXPECT_FALSE(m_fonts.SetFontGlyphSet(font, "Tahoma", 0, 400, 0));
    EXPECT_FALSE(m_fonts.IsValid(font));
    EXPECT_EQ(m_fonts.GetFontTall(0), 0);
    EXPECT_EQ(m_fonts.GetCharacterWidth(font, 'A'), 0);
    int wide = -1, tall = -1;
    m_fonts.GetTextSize(font, u"abc", wide, tall);
    EXPECT_EQ(wide, 0);
    EXPECT_EQ(tall, 0);
    EXPECT_EQ(m_fonts.GetGlyph(77, 'A'), nullptr);
    EXPECT_EQ(m_fonts.GetCharacterWidth(font, -5), 0);
}

TEST_F(FontTest, ResettingAFontRenewsItsGlyphs) {
    HFont font = Make("Tahoma", 12);
    int small = m_fonts.GetCharacterWidth(font, 'M');
    unsigned generation = m_fonts.Generation();
    ASSERT_TRUE(m_fonts.SetFontGlyphSet(font, "Tahoma", 30, 400, ISurface::FONTFLAG_ANTIALIAS));
    EXPECT_NE(m_fonts.Generation(), generation);
    EXPECT_GT(m_fonts.GetCharacterWidth(font, 'M'), small);
}

TEST_F(FontTest, GlyphsWithoutSmoothingHaveOnlyFullOrNoCoverage) {
    HFont font = Make("Tahoma", 20, 400, 0);
    const FontGlyph* glyph = m_fonts.GetGlyph(font, 'S');
    ASSERT_NE(glyph, nullptr);
    ASSERT_NE(glyph->coverage, nullptr);
    SDL_Surface* surface = glyph->coverage;
    int inked = 0;
    for (int y = 0; y < surface->h; ++y) {
        auto* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(surface->pixels) + y * surface->pitch);
        for (int x = 0; x < surface->w; ++x) {
            Uint32 alpha = row[x] >> 24;
            ASSERT_TRUE(alpha == 0 || alpha == 255) << alpha;
            inked += alpha == 255;
        }
    }
    EXPECT_GT(inked, 10);
}

TEST_F(FontTest, CustomFontFileRegistersItsFamily) {
    EXPECT_FALSE(m_fonts.AddCustomFontFile("/nonexistent/font.ttf"));
    ASSERT_TRUE(m_fonts.AddCustomFontFile("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"));
    EXPECT_NE(m_fonts.ResolveFontFile("DejaVu Sans Mono", 400, 0).find("DejaVuSansMono.ttf"), std::string::npos);
}

}  // namespace
