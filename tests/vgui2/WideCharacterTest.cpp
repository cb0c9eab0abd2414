// Characters outside ASCII on the real surface. One outside the 16-bit range
// (a surrogate pair): every text control draws it as the surface's own text
// call draws it, one character wide between its neighbours, never as two
// boxes. The shipped languages' letters: they arrive from the UTF-8 token
// files intact, and the scheme's fonts (the faces shipped beside the
// executable) have a glyph for each.
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "modules/updvgui2/Localize.h"
#include "services/ISurface.h"
#include "tests/modules/StagedSurfaceTest.h"
#include "vgui2/Label.h"
#include "vgui2/RichText.h"
#include "vgui2/TextEntry.h"
#include "vgui2/Utf16.h"

using namespace vgui2;

namespace {

const std::u16string kText = u"A\U0001F600B";
constexpr char32_t kOutsideCharacter = 0x1F600;

// The control sits in the upper half of a popup, the reference in the lower
// half; only the left part of each is compared, away from borders and the
// rich text's scroll bar.
constexpr int kPopupWide = 220;
constexpr int kHalfTall = 40;
constexpr int kInset = 3;
constexpr int kComparedWide = 120;

// Draws the text with the surface's own text call in a given font and
// colour: what the font makes of the pair.
class ReferenceText : public Panel {
public:
    ReferenceText(Panel* parent, HFont font) : Panel(parent, "Reference"), m_font(font) {}

protected:
    void Paint() override {
        surface()->DrawSetTextFont(m_font);
        surface()->DrawSetTextColor(GetFgColor());
        surface()->DrawSetTextPos(kInset + 2, kInset + 2);
        surface()->DrawPrintText(kText.c_str(), static_cast<int>(kText.size()));
    }

private:
    HFont m_font;
};

struct ControlCase {
    const char* name;
    std::function<Panel*(Panel* parent)> make;
};

const std::vector<ControlCase> kControls = {
    {"label",
     [](Panel* parent) {
         auto* label = new Label(parent, "Label", "");
         label->SetText(kText.c_str());
         // Clear of the compared area's edge, as the framed controls are.
         label->SetTextInset(kInset + 2, 0);
         return label;
     }},
    {"rich text",
     [](Panel* parent) {
         auto* rich = new RichText(parent, "Rich");
         rich->SetText(kText.c_str());
         return rich;
     }},
    {"text entry",
     [](Panel* parent) {
         auto* entry = new TextEntry(parent, "Entry");
         entry->SetText(kText.c_str());
         return entry;
     }},
};

class WideCharacterTest : public surfacetest::StagedLoopTest {
protected:
    // The pixels of one half that differ from its background, cropped to
    // their bounding box, one string of '#' and '.' per row.
    std::vector<std::string> InkOf(int top) {
        Color background = At(kComparedWide, top + kInset);
        int left = kComparedWide, right = -1, first = top + kHalfTall, last = -1;
        for (int y = top + kInset; y < top + kHalfTall - kInset; ++y) {
            for (int x = kInset; x < kComparedWide; ++x) {
                if (At(x, y) != background) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    first = std::min(first, y);
                    last = std::max(last, y);
                }
            }
        }
        std::vector<std::string> rows;
        for (int y = first; y <= last; ++y) {
            std::string row;
            for (int x = left; x <= right; ++x) {
                row += At(x, y) != background ? '#' : '.';
            }
            rows.push_back(row);
        }
        return rows;
    }
};

TEST_F(WideCharacterTest, ControlsDrawAPairAsTheSurfaceDoes) {
    HFont font = TheSchemeManager().GetIScheme(TheSchemeManager().GetDefaultScheme())->GetFont("Default");
    ASSERT_NE(font, 0u);
    int pairWide = TheSurface().GetCharacterWidth(font, static_cast<int>(kOutsideCharacter));
    int boxWide = TheSurface().GetCharacterWidth(font, 0xD83D);
    ASSERT_GT(pairWide, 0);
    ASSERT_GT(boxWide, 0);
    EXPECT_NE(pairWide, 2 * boxWide) << "two boxes would measure like the pair";
    EXPECT_EQ(CodePointAt(kText, 1), kOutsideCharacter);

    for (const ControlCase& control : kControls) {
        SCOPED_TRACE(control.name);
        auto popup = std::make_unique<Panel>(nullptr, "Popup");
        popup->MakePopup(false);
        popup->SetBounds(0, 0, kPopupWide, 2 * kHalfTall);
        popup->SetVisible(true);
        Panel* shown = control.make(popup.get());
        shown->SetBounds(0, 0, kPopupWide, kHalfTall);
        auto* reference = new ReferenceText(popup.get(), font);
        reference->SetBounds(0, kHalfTall, kPopupWide, kHalfTall);
        for (int frame = 0; frame < 2; ++frame) {
            TheVGui().RunFrame();
        }
        // The reference takes the colours the control got from the scheme,
        // so that the two can be compared pixel for pixel.
        ASSERT_NE(Shoot(*popup), nullptr);
        Color controlBackground = At(kComparedWide, kInset);
        reference->SetFgColor(shown->GetFgColor());
        reference->SetBgColor(controlBackground);
        reference->Repaint();
        TheSurface().PaintTraverse(kNoPanel);
        ASSERT_NE(Shoot(*popup), nullptr);

        std::vector<std::string> drawn = InkOf(0);
        std::vector<std::string> expected = InkOf(kHalfTall);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(drawn, expected);
        popup.reset();
    }
}

struct ShippedText {
    const char* language;
    const char* token;
    std::u16string text;
};

const std::vector<ShippedText> kShippedTexts = {
    {"german", "Updater_Changelog", u"\u00C4nderungen"},
    {"russian", "Updater_Changelog", u"\u0418\u0437\u043C\u0435\u043D\u0435\u043D\u0438\u044F"},
    {"spanish", "Updater_StatusUpToDate", u"Tienes la \u00FAltima versi\u00F3n de esta rama."},
};

// Unassigned: every face draws it as the box that stands for a letter the
// face lacks.
constexpr wchar kMissingCharacter = 0x0378;
constexpr int kCell = 20;
const Color kPaper(0, 0, 0, 255);

// One character per cell in the given font, white on black.
class GlyphRow : public Panel {
public:
    GlyphRow(Panel* parent, HFont font, std::u16string characters)
        : Panel(parent, "Glyphs"), m_font(font), m_characters(std::move(characters)) {}

protected:
    void ApplySchemeSettings(IScheme* scheme) override {
        Panel::ApplySchemeSettings(scheme);
        SetBgColor(kPaper);
    }
    void Paint() override {
        surface()->DrawSetTextFont(m_font);
        surface()->DrawSetTextColor(Color(255, 255, 255, 255));
        for (std::size_t i = 0; i < m_characters.size(); ++i) {
            surface()->DrawSetTextPos(static_cast<int>(i) * kCell + 4, 2);
            surface()->DrawUnicodeChar(m_characters[i]);
        }
    }

private:
    HFont m_font;
    std::u16string m_characters;
};

TEST_F(WideCharacterTest, ShippedLettersArriveWholeAndEverySchemeFontDrawsThem) {
    std::u16string letters;
    for (const ShippedText& shipped : kShippedTexts) {
        SCOPED_TRACE(shipped.language);
        TheSurfaceImpl().SetLanguage(shipped.language);
        CLocalize localize(&TheSurfaceImpl());
        ASSERT_TRUE(localize.AddFile(&TheFileSystem(), "updater/updater_%language%.txt"));
        const wchar* found = localize.Find(shipped.token);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(std::u16string(found), shipped.text);
        for (wchar letter : shipped.text) {
            if (letter >= 0x80 && letters.find(letter) == std::u16string::npos) {
                letters += letter;
            }
        }
    }

    const char* fonts[] = {"Default", "DefaultBold", "DefaultSmall"};
    IScheme* scheme = TheSchemeManager().GetIScheme(TheSchemeManager().GetDefaultScheme());
    std::u16string cells = kMissingCharacter + letters;
    auto popup = std::make_unique<Panel>(nullptr, "Popup");
    popup->MakePopup(false);
    popup->SetBounds(0, 0, static_cast<int>(cells.size()) * kCell, static_cast<int>(std::size(fonts)) * kCell);
    popup->SetVisible(true);
    for (std::size_t row = 0; row < std::size(fonts); ++row) {
        HFont font = scheme->GetFont(fonts[row]);
        ASSERT_NE(font, 0u) << fonts[row];
        auto* glyphs = new GlyphRow(popup.get(), font, cells);
        glyphs->SetBounds(0, static_cast<int>(row) * kCell, popup->GetWide(), kCell);
    }
    for (int frame = 0; frame < 2; ++frame) {
        TheVGui().RunFrame();
    }
    ASSERT_NE(Shoot(*popup), nullptr);

    auto inkOf = [&](std::size_t row, std::size_t cell) {
        std::string ink;
        for (int y = static_cast<int>(row) * kCell; y < static_cast<int>(row + 1) * kCell; ++y) {
            for (int x = static_cast<int>(cell) * kCell; x < static_cast<int>(cell + 1) * kCell; ++x) {
                ink += At(x, y) != kPaper ? '#' : '.';
            }
        }
        return ink;
    };
    for (std::size_t row = 0; row < std::size(fonts); ++row) {
        std::string box = inkOf(row, 0);
        ASSERT_NE(box.find('#'), std::string::npos) << fonts[row] << " draws nothing";
        for (std::size_t cell = 1; cell < cells.size(); ++cell) {
            std::string ink = inkOf(row, cell);
            EXPECT_TRUE(ink.find('#') != std::string::npos && ink != box)
                << fonts[row] << " lacks U+" << std::hex << static_cast<int>(cells[cell]);
        }
    }
}

}  // namespace
