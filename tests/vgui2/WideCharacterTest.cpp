// A character outside the 16-bit range (a surrogate pair) on the real
// surface: every text control draws it as the surface's own text call draws
// it, one character wide between its neighbours, never as two boxes.
#include <functional>
#include <memory>
#include <string>
#include <vector>

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

}  // namespace
