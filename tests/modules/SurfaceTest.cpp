// The surface on SDL's offscreen driver: popup windows that follow their
// panels, drawing read back from the window's pixels (rectangles, clipping,
// lines, text, symbol glyphs, images), repainting only damaged windows,
// SDL events reaching panels through the input service, the event wait, the
// quit request and the clipboard. Panels here are small test clients that
// paint through the surface the way the toolkit's panels do.
#include <gtest/gtest.h>

#include <SDL2/SDL_image.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "modules/updvgui2/InputSystem.h"
#include "modules/updvgui2/ModuleServices.h"
#include "modules/updvgui2/PanelService.h"
#include "modules/updvgui2/Surface.h"
#include "modules/updvgui2/VGui.h"
#include "services/IClientPanel.h"
#include "tests/support/TestSupport.h"
#include "vgui2/KeyValues.h"

using namespace vgui2;

namespace {

// A panel client that paints with a given function and records messages.
class TestPanel final : public IClientPanel {
public:
    explicit TestPanel(VPANEL parent = kNoPanel) {
        m_id = TheVGuiImpl().AllocPanel();
        ThePanelService().Init(m_id, this);
        ThePanelService().SetParent(m_id, parent);
        ThePanelService().SetVisible(m_id, true);
    }
    ~TestPanel() {
        TheSurface().ReleasePanel(m_id);
        TheVGuiImpl().FreePanel(m_id);
    }

    std::function<void()> paint;
    int paintCount = 0;
    std::vector<std::string> messages;
    int lastCode = -1;

    VPANEL GetVPanel() override { return m_id; }
    void Think() override {}
    void PerformApplySchemeSettings() override {}
    void PaintTraverse(bool, bool) override {
        IPanel& panels = ThePanelService();
        if (!panels.IsVisible(m_id)) {
            return;
        }
        ++paintCount;
        if (paint) {
            TheSurface().PushMakeCurrent(m_id, false);
            paint();
            TheSurface().PopMakeCurrent(m_id);
        }
        for (int i = 0; i < panels.GetChildCount(m_id); ++i) {
            VPANEL child = panels.GetChild(m_id, i);
            if (TheSurface().ShouldPaintChildPanel(child)) {
                panels.PaintTraverse(child, true, true);
            }
        }
    }
    void Repaint() override { TheSurface().Invalidate(m_id); }
    VPANEL IsWithinTraverse(int x, int y, bool) override {
        int x0, y0, x1, y1;
        ThePanelService().GetClipRect(m_id, x0, y0, x1, y1);
        return (x >= x0 && x < x1 && y >= y0 && y < y1) ? m_id : kNoPanel;
    }
    void GetInset(int& l, int& t, int& r, int& b) override { l = t = r = b = 0; }
    void GetClipRect(int& x0, int& y0, int& x1, int& y1) override {
        ThePanelService().GetClipRect(m_id, x0, y0, x1, y1);
    }
    void OnChildAdded(VPANEL) override {}
    void OnSizeChanged(int, int) override {}
    void InternalFocusChanged(bool) override {}
    bool RequestInfo(KeyValues*) override { return false; }
    void RequestFocus(int) override {}
    bool RequestFocusPrev(VPANEL) override { return false; }
    bool RequestFocusNext(VPANEL) override { return false; }
    bool OnMessage(KeyValues* params, VPANEL) override {
        messages.push_back(params->GetName());
        lastCode = params->FindKey("unichar") ? params->GetInt("unichar") : params->GetInt("code", -1);
        return true;
    }
    VPANEL GetCurrentKeyFocus() override { return kNoPanel; }
    int GetTabPosition() override { return 0; }
    const char* GetName() override { return "TestPanel"; }
    const char* GetClassName() override { return "TestPanel"; }
    HScheme GetScheme() override { return 0; }
    bool IsProportional() override { return false; }
    bool IsAutoDeleteSet() override { return false; }
    void DeletePanel() override {}
    void* QueryInterface(int) override { return nullptr; }
    Panel* GetPanel() override { return nullptr; }
    const char* GetModuleName() override { return "Test"; }

    bool Received(const std::string& name) const {
        return std::find(messages.begin(), messages.end(), name) != messages.end();
    }

private:
    VPANEL m_id;
};

struct Rgba {
    int r, g, b;
};

class SurfaceTest : public ::testing::Test {
protected:
    // Started per test (a second start does nothing): a failed suite set-up
    // would only show as skipped tests.
    void SetUp() override {
        ASSERT_TRUE(TheSurfaceImpl().Init());
    }
    static void TearDownTestSuite() { TheSurfaceImpl().Shutdown(); }

    // A visible popup at (x, y) of the given size, with its window made.
    std::unique_ptr<TestPanel> MakePopup(int x, int y, int wide, int tall, bool taskbar = true) {
        auto panel = std::make_unique<TestPanel>();
        ThePanelService().SetPos(panel->GetVPanel(), x, y);
        ThePanelService().SetSize(panel->GetVPanel(), wide, tall);
        TheSurface().CreatePopup(panel->GetVPanel(), false, taskbar);
        return panel;
    }

    std::unique_ptr<TestPanel> MakeChild(TestPanel& parent, int x, int y, int wide, int tall) {
        auto child = std::make_unique<TestPanel>(parent.GetVPanel());
        ThePanelService().SetPos(child->GetVPanel(), x, y);
        ThePanelService().SetSize(child->GetVPanel(), wide, tall);
        return child;
    }

    void Frame() { TheSurface().PaintTraverse(kNoPanel); }

    // The window's pixels after a screenshot round trip through PNG.
    SDL_Surface* Shoot(TestPanel& panel) {
        std::string file = m_dir.File("shot.png");
        if (!TheSurface().SaveScreenshot(panel.GetVPanel(), file.c_str())) {
            return nullptr;
        }
        SDL_Surface* loaded = IMG_Load(file.c_str());
        if (!loaded) {
            return nullptr;
        }
        SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
        SDL_FreeSurface(loaded);
        m_shots.emplace_back(rgba, SDL_FreeSurface);
        return rgba;
    }

    static Rgba At(SDL_Surface* shot, int x, int y) {
        const Uint8* p = static_cast<const Uint8*>(shot->pixels) + y * shot->pitch + x * 4;
        return {p[0], p[1], p[2]};
    }
    static bool Is(SDL_Surface* shot, int x, int y, Rgba colour) {
        Rgba actual = At(shot, x, y);
        return actual.r == colour.r && actual.g == colour.g && actual.b == colour.b;
    }
    static bool Inked(SDL_Surface* shot, int x, int y) {
        Rgba actual = At(shot, x, y);
        return actual.r + actual.g + actual.b > 0;
    }
    static int InkIn(SDL_Surface* shot, int x0, int y0, int x1, int y1) {
        int count = 0;
        for (int y = std::max(y0, 0); y < std::min(y1, shot->h); ++y) {
            for (int x = std::max(x0, 0); x < std::min(x1, shot->w); ++x) {
                count += Inked(shot, x, y);
            }
        }
        return count;
    }

    testsupport::TempDir m_dir;
    std::vector<std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)>> m_shots;
};

TEST_F(SurfaceTest, PopupWindowFollowsPanelGeometryAndVisibility) {
    auto popup = MakePopup(40, 30, 120, 80, false);
    CPopupWindow* window = TheSurfaceImpl().WindowOf(popup->GetVPanel());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(TheSurface().GetPopup(TheSurface().GetPopupCount() - 1), popup->GetVPanel());
    EXPECT_TRUE(SDL_GetWindowFlags(window->Window()) & SDL_WINDOW_BORDERLESS);
    EXPECT_TRUE(SDL_GetWindowFlags(window->Window()) & SDL_WINDOW_SKIP_TASKBAR);

    Frame();
    EXPECT_TRUE(SDL_GetWindowFlags(window->Window()) & SDL_WINDOW_SHOWN);
    int x = 0, y = 0, wide = 0, tall = 0;
    SDL_GetWindowPosition(window->Window(), &x, &y);
    SDL_GetWindowSize(window->Window(), &wide, &tall);
    EXPECT_EQ(x, 40);
    EXPECT_EQ(y, 30);
    EXPECT_EQ(wide, 120);
    EXPECT_EQ(tall, 80);
    EXPECT_EQ(TheSurface().GetTopmostPopup(), popup->GetVPanel());
    EXPECT_TRUE(TheSurface().IsWithin(45, 35));
    EXPECT_FALSE(TheSurface().IsWithin(39, 35));

    ThePanelService().SetPos(popup->GetVPanel(), 200, 150);
    ThePanelService().SetSize(popup->GetVPanel(), 60, 50);
    Frame();
    SDL_GetWindowPosition(window->Window(), &x, &y);
    SDL_GetWindowSize(window->Window(), &wide, &tall);
    EXPECT_EQ(x, 200);
    EXPECT_EQ(y, 150);
    EXPECT_EQ(wide, 60);
    EXPECT_EQ(tall, 50);

    ThePanelService().SetVisible(popup->GetVPanel(), false);
    Frame();
    EXPECT_FALSE(SDL_GetWindowFlags(window->Window()) & SDL_WINDOW_SHOWN);
    EXPECT_EQ(TheSurface().GetTopmostPopup(), kNoPanel);

    // A window cannot have no area; a panel of none hides its window.
    ThePanelService().SetVisible(popup->GetVPanel(), true);
    ThePanelService().SetSize(popup->GetVPanel(), 0, 50);
    Frame();
    EXPECT_FALSE(SDL_GetWindowFlags(window->Window()) & SDL_WINDOW_SHOWN);

    int count = TheSurface().GetPopupCount();
    TheSurface().ReleasePanel(popup->GetVPanel());
    EXPECT_EQ(TheSurface().GetPopupCount(), count - 1);
    EXPECT_EQ(TheSurfaceImpl().WindowOf(popup->GetVPanel()), nullptr);
}

TEST_F(SurfaceTest, NativeTitleAndMinimizedState) {
    auto popup = MakePopup(0, 0, 50, 50);
    CPopupWindow* window = TheSurfaceImpl().WindowOf(popup->GetVPanel());
    ASSERT_NE(window, nullptr);
    TheSurface().SetTitle(popup->GetVPanel(), u"Quillmere \u00DCpdater");
    EXPECT_STREQ(SDL_GetWindowTitle(window->Window()), "Quillmere \xC3\x9Cpdater");
    TheSurface().SetTitle(popup->GetVPanel(), nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(window->Window()), "");

    EXPECT_FALSE(TheSurface().IsMinimized(popup->GetVPanel()));
    TheSurface().SetMinimized(popup->GetVPanel(), true);
    EXPECT_TRUE(TheSurface().IsMinimized(popup->GetVPanel()));
    TheSurface().SetMinimized(popup->GetVPanel(), false);
    EXPECT_FALSE(TheSurface().IsMinimized(popup->GetVPanel()));

    // Panels without a window of their own answer for nothing.
    TestPanel loose;
    TheSurface().SetTitle(loose.GetVPanel(), u"x");
    TheSurface().SetMinimized(loose.GetVPanel(), true);
    EXPECT_FALSE(TheSurface().IsMinimized(loose.GetVPanel()));
}

TEST_F(SurfaceTest, PopupOrderFollowsFrontAndBackRequests) {
    auto first = MakePopup(0, 0, 30, 30);
    auto second = MakePopup(10, 10, 30, 30);
    int last = TheSurface().GetPopupCount() - 1;
    EXPECT_EQ(TheSurface().GetPopup(last), second->GetVPanel());
    TheSurface().MovePopupToFront(first->GetVPanel());
    EXPECT_EQ(TheSurface().GetPopup(last), first->GetVPanel());
    TheSurface().MovePopupToBack(first->GetVPanel());
    EXPECT_EQ(TheSurface().GetPopup(0), first->GetVPanel());
    EXPECT_EQ(TheSurface().GetPopup(-1), kNoPanel);
    EXPECT_EQ(TheSurface().GetPopup(last + 1), kNoPanel);
}

TEST_F(SurfaceTest, FilledRectangleCoversExactlyItsPixels) {
    auto popup = MakePopup(0, 0, 64, 48);
    popup->paint = [] {
        TheSurface().DrawSetColor(Color(0, 0, 255, 255));
        TheSurface().DrawFilledRect(0, 0, 64, 48);
        TheSurface().DrawSetColor(Color(255, 0, 0, 255));
        TheSurface().DrawFilledRect(10, 10, 30, 20);
    };
    Frame();
    SDL_Surface* shot = Shoot(*popup);
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->w, 64);
    EXPECT_EQ(shot->h, 48);
    EXPECT_TRUE(Is(shot, 10, 10, {255, 0, 0}));
    EXPECT_TRUE(Is(shot, 29, 19, {255, 0, 0}));
    EXPECT_TRUE(Is(shot, 30, 15, {0, 0, 255}));
    EXPECT_TRUE(Is(shot, 15, 20, {0, 0, 255}));
    EXPECT_TRUE(Is(shot, 9, 9, {0, 0, 255}));
}

TEST_F(SurfaceTest, TranslucentColoursBlendAndAlphaZeroShapesAreInvisible) {
    auto popup = MakePopup(0, 0, 40, 40);
    popup->paint = [] {
        TheSurface().DrawSetColor(Color(200, 200, 200, 255));
        TheSurface().DrawFilledRect(0, 0, 40, 40);
        TheSurface().DrawSetColor(Color(0, 0, 0, 128));
        TheSurface().DrawFilledRect(0, 0, 20, 40);
        TheSurface().DrawSetColor(Color(255, 255, 255, 0));
        TheSurface().DrawFilledRect(20, 0, 40, 40);
    };
    Frame();
    SDL_Surface* shot = Shoot(*popup);
    ASSERT_NE(shot, nullptr);
    Rgba half = At(shot, 5, 5);
    EXPECT_GT(half.r, 80);
    EXPECT_LT(half.r, 120);
    EXPECT_TRUE(Is(shot, 30, 5, {200, 200, 200}));
}

TEST_F(SurfaceTest, ChildDrawingIsRelativeToItAndClippedToItsRectangle) {
    auto popup = MakePopup(100, 100, 120, 80);
    auto child = MakeChild(*popup, 100, 60, 50, 50);  // reaches past the popup's edges
    popup->paint = [] {
        TheSurface().DrawSetColor(Color(0, 0, 0, 255));
        TheSurface().DrawFilledRect(0, 0, 120, 80);
    };
    child->paint = [] {
        TheSurface().DrawSetColor(Color(0, 255, 0, 255));
        TheSurface().DrawFilledRect(-10, -10, 100, 100);
    };
    Frame();
    SDL_Surface* shot = Shoot(*popup);
    ASSERT_NE(shot, nullptr);
    EXPECT_TRUE(Is(shot, 100, 60, {0, 255, 0}));
    EXPECT_TRUE(Is(shot, 119, 79, {0, 255, 0}));
    EXPECT_TRUE(Is(shot, 99, 70, {0, 0, 0}));
    EXPECT_TRUE(Is(shot, 110, 59, {0, 0, 0}));
    EXPECT_EQ(InkIn(shot, 0, 0, 100, 80), 0);

    // A child clipped away entirely draws nothing at all.
    ThePanelService().SetPos(child->GetVPanel(), 300, 300);
    TheSurface().Invalidate(popup->GetVPanel());
    Frame();
    shot = Shoot(*popup);
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(InkIn(shot, 0, 0, 120, 80), 0);
}

TEST_F(SurfaceTest, OutlinesAndLinesDrawTheirEdgesOnly) {
    auto popup = MakePopup(0, 0, 60, 60);
    popup->paint = [] {
        TheSurface().DrawSetColor(Color(255, 255, 0, 255));
        TheSurface().DrawOutlinedRect(5, 5, 25, 25);
        TheSurface().DrawLine(30, 40, 50, 40);
        int xs[] = {30, 30, 50};
        int ys[] = {50, 58, 58};
        TheSurface().DrawPolyLine(xs, ys, 3);
    };
    Frame();
    SDL_Surface* shot = Shoot(*popup);
    ASSERT_NE(shot, nullptr);
    EXPECT_TRUE(Is(shot, 5, 5, {255, 255, 0}));
    EXPECT_TRUE(Is(shot, 24, 24, {255, 255, 0}));
    EXPECT_TRUE(Is(shot, 5, 15, {255, 255, 0}));
    EXPECT_FALSE(Inked(shot, 15, 15));
    EXPECT_FALSE(Inked(shot, 25, 25));
    EXPECT_EQ(InkIn(shot, 30, 40, 51, 41), 21);
    EXPECT_FALSE(Inked(shot, 40, 39));
    EXPECT_TRUE(Inked(shot, 30, 54));
    EXPECT_TRUE(Inked(shot, 40, 58));
}

TEST_F(SurfaceTest, TextHasInkWhereItIsDrawnAndNowhereElse) {
    HFont font = TheSurface().CreateFont();
    ASSERT_TRUE(TheSurface().SetFontGlyphSet(font, "Tahoma", 16, 500, 0, 0, ISurface::FONTFLAG_ANTIALIAS));
    int textWide = 0, textTall = 0;
    TheSurface().GetTextSize(font, u"Hello", textWide, textTall);
    ASSERT_GT(textWide, 20);
    auto popup = MakePopup(0, 0, 120, 60);
    int endX = -1;
    popup->paint = [&] {
        TheSurface().DrawSetTextFont(font);
        // Alpha 0 text must still show: colours reach the surface with
        // alpha left unset (the changelog's green).
        TheSurface().DrawSetTextColor(Color(0, 255, 0, 0));
        TheSurface().DrawSetTextPos(10, 20);
        TheSurface().DrawPrintText(u"Hello", 5);
        int y = 0;
        TheSurface().DrawGetTextPos(endX, y);
    };
    Frame();
    EXPECT_EQ(endX, 10 + textWide);
    SDL_Surface* shot = Shoot(*popup);
    ASSERT_NE(shot, nullptr);
    EXPECT_GT(InkIn(shot, 10, 20, 10 + textWide, 20 + textTall), 40);
    EXPECT_EQ(InkIn(shot, 0, 0, 120, 20), 0);
    EXPECT_EQ(InkIn(shot, 0, 20 + textTall, 120, 60), 0);
    EXPECT_EQ(InkIn(shot, 0, 0, 9, 60), 0);
    EXPECT_EQ(InkIn(shot, 10 + textWide + 1, 0, 120, 60), 0);
    // The ink is the text colour, never the alpha-blended black.
    bool sawGreen = false;
    for (int x = 10; x < 10 + textWide; ++x) {
        for (int y = 20; y < 20 + textTall; ++y) {
            sawGreen |= Is(shot, x, y, {0, 255, 0});
        }
    }
    EXPECT_TRUE(sawGreen);
}

TEST_F(SurfaceTest, SymbolGlyphsDrawShapesInTheirCells) {
    HFont marlett = TheSurface().CreateFont();
    ASSERT_TRUE(TheSurface().SetFontGlyphSet(marlett, "Marlett", 14, 400, 0, 0, ISurface::FONTFLAG_SYMBOL));
    auto popup = MakePopup(0, 0, 100, 20);
    popup->paint = [&] {
        TheSurface().DrawSetTextFont(marlett);
        TheSurface().DrawSetTextColor(Color(255, 255, 255, 255));
        TheSurface().DrawSetTextPos(0, 0);
        for (vgui2::wchar ch : {u'4', u'g', u'a', u'6', u'r'}) {
            TheSurface().DrawUnicodeChar(ch);
        }
    };
    Frame();
    SDL_Surface* shot = Shoot(*popup);
    ASSERT_NE(shot, nullptr);
    for (int cell = 0; cell < 5; ++cell) {
        EXPECT_GT(InkIn(shot, cell * 14, 0, cell * 14 + 14, 14), 4) << "cell " << cell;
    }
    // The box is solid in its middle; the tick is not a box.
    EXPECT_TRUE(Inked(shot, 14 + 7, 7));
    EXPECT_LT(InkIn(shot, 28, 0, 42, 14), InkIn(shot, 14, 0, 28, 14));
    EXPECT_EQ(InkIn(shot, 70, 0, 100, 20), 0);
}

TEST_F(SurfaceTest, ImagesLoadFromResourceFilesAndFromPixels) {
    testsupport::TempDir game(true);
    std::filesystem::create_directories(game.File("resource"));
    SDL_Surface* image = SDL_CreateRGBSurfaceWithFormat(0, 2, 2, 32, SDL_PIXELFORMAT_RGBA32);
    ASSERT_NE(image, nullptr);
    auto* pixels = static_cast<Uint8*>(image->pixels);
    const Uint8 colours[4][4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};
    for (int i = 0; i < 4; ++i) {
        std::memcpy(pixels + (i / 2) * image->pitch + (i % 2) * 4, colours[i], 4);
    }
    ASSERT_EQ(IMG_SavePNG(image, game.File("resource/icon_test.png").c_str()), 0);
    SDL_FreeSurface(image);

    HTexture id = TheSurface().CreateNewTextureID();
    EXPECT_TRUE(TheSurface().IsTextureIDValid(id));
    EXPECT_FALSE(TheSurface().IsTextureIDValid(id + 1000));
    EXPECT_FALSE(TheSurface().DrawSetTextureFile(id, "resource/icon_missing", false, false));
    ASSERT_TRUE(TheSurface().DrawSetTextureFile(id, "resource/icon_test", false, false));
    int wide = 0, tall = 0;
    TheSurface().DrawGetTextureSize(id, wide, tall);
    EXPECT_EQ(wide, 2);
    EXPECT_EQ(tall, 2);

    HTexture raw = TheSurface().CreateNewTextureID(true);
    const unsigned char yellow[4 * 4] = {255, 255, 0, 255, 255, 255, 0, 255, 255, 255, 0, 255, 255, 255, 0, 255};
    TheSurface().DrawSetTextureRGBA(raw, yellow, 2, 2);

    auto popup = MakePopup(0, 0, 40, 20);
    popup->paint = [&] {
        TheSurface().DrawSetColor(Color(255, 255, 255, 255));
        TheSurface().DrawSetTexture(id);
        TheSurface().DrawTexturedRect(0, 0, 8, 8);
        TheSurface().DrawSetTexture(raw);
        TheSurface().DrawTexturedRect(20, 0, 24, 4);
    };
    Frame();
    SDL_Surface* shot = Shoot(*popup);
    ASSERT_NE(shot, nullptr);
    EXPECT_TRUE(Is(shot, 1, 1, {255, 0, 0}));
    EXPECT_TRUE(Is(shot, 6, 1, {0, 255, 0}));
    EXPECT_TRUE(Is(shot, 1, 6, {0, 0, 255}));
    EXPECT_TRUE(Is(shot, 6, 6, {255, 255, 255}));
    EXPECT_TRUE(Is(shot, 22, 2, {255, 255, 0}));
    EXPECT_FALSE(Inked(shot, 10, 10));
}

TEST_F(SurfaceTest, OnlyDamagedWindowsAreRepainted) {
    auto popup = MakePopup(0, 0, 50, 50);
    auto other = MakePopup(60, 0, 50, 50);
    auto child = MakeChild(*popup, 5, 5, 10, 10);
    Frame();
    int popupPaints = popup->paintCount;
    int otherPaints = other->paintCount;
    EXPECT_GT(popupPaints, 0);
    Frame();
    Frame();
    EXPECT_EQ(popup->paintCount, popupPaints);
    EXPECT_EQ(other->paintCount, otherPaints);

    // A repaint request anywhere in a window redraws that window only.
    TheSurface().Invalidate(child->GetVPanel());
    Frame();
    EXPECT_EQ(popup->paintCount, popupPaints + 1);
    EXPECT_EQ(other->paintCount, otherPaints);

    // Moving a child redraws its window even when nobody asked for it.
    ThePanelService().SetPos(child->GetVPanel(), 20, 20);
    Frame();
    EXPECT_EQ(popup->paintCount, popupPaints + 2);
    EXPECT_EQ(other->paintCount, otherPaints);

    // Popup children are painted by their own window, not inside the parent.
    auto menu = std::make_unique<TestPanel>(popup->GetVPanel());
    ThePanelService().SetSize(menu->GetVPanel(), 10, 10);
    TheSurface().CreatePopup(menu->GetVPanel(), false, false);
    EXPECT_FALSE(TheSurface().ShouldPaintChildPanel(menu->GetVPanel()));
    EXPECT_TRUE(TheSurface().ShouldPaintChildPanel(child->GetVPanel()));
}

TEST_F(SurfaceTest, PointerAndKeysReachPanelsInScreenCoordinates) {
    auto popup = MakePopup(300, 200, 80, 60);
    Frame();
    CPopupWindow* window = TheSurfaceImpl().WindowOf(popup->GetVPanel());
    ASSERT_NE(window, nullptr);
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);

    SDL_Event press{};
    press.type = SDL_MOUSEBUTTONDOWN;
    press.button.windowID = window->WindowId();
    press.button.button = SDL_BUTTON_LEFT;
    press.button.clicks = 1;
    press.button.x = 12;
    press.button.y = 7;
    ASSERT_EQ(SDL_PushEvent(&press), 1);
    TheSurface().RunFrame();
    int x = 0, y = 0;
    TheInput().GetCursorPos(x, y);
    EXPECT_EQ(x, 312);
    EXPECT_EQ(y, 207);
    EXPECT_TRUE(popup->Received("MousePressed"));
    EXPECT_EQ(popup->lastCode, MOUSE_LEFT);

    TheInput().SetKeyFocus(popup->GetVPanel());
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    text.text.windowID = window->WindowId();
    SDL_strlcpy(text.text.text, "\xC3\xA9", sizeof(text.text.text));
    ASSERT_EQ(SDL_PushEvent(&text), 1);
    TheSurface().RunFrame();
    EXPECT_TRUE(popup->Received("KeyTyped"));
    EXPECT_EQ(popup->lastCode, 0xE9);
    TheInput().SetKeyFocus(kNoPanel);
}

TEST_F(SurfaceTest, QuitClosesTopLevelWindowsFirstAndStopsTheLoopSecond) {
    auto frame = MakePopup(0, 0, 40, 40, true);
    Frame();
    TheVGui().Start();
    std::size_t pending = TheVGuiImpl().PendingMessageCount();
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&quit), 1);
    TheSurface().RunFrame();
    EXPECT_GT(TheVGuiImpl().PendingMessageCount(), pending);
    EXPECT_TRUE(TheVGui().IsRunning());
    ASSERT_EQ(SDL_PushEvent(&quit), 1);
    TheSurface().RunFrame();
    EXPECT_FALSE(TheVGui().IsRunning());
    TheVGuiImpl().Shutdown();
}

TEST_F(SurfaceTest, EventWaitWakesFromAnotherThreadAndCoalesces) {
    IEventWaiter* waiter = CurrentEventWaiter();
    ASSERT_NE(waiter, nullptr);
    // A wake-up that gets lost on the way must not make later ones vanish.
    waiter->Wake();
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    auto start = std::chrono::steady_clock::now();
    std::thread worker([waiter] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        waiter->Wake();
        waiter->Wake();
        waiter->Wake();
    });
    waiter->WaitForEvents(10.0);
    double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    worker.join();
    EXPECT_LT(waited, 5.0);
    EXPECT_EQ(SDL_PeepEvents(nullptr, 1, SDL_PEEKEVENT, SDL_USEREVENT, SDL_LASTEVENT), 1);
    TheSurface().RunFrame();
    EXPECT_EQ(SDL_PeepEvents(nullptr, 1, SDL_PEEKEVENT, SDL_USEREVENT, SDL_LASTEVENT), 0);

    EXPECT_EQ(CSdlEventWaiter::TimeoutMilliseconds(0.0001), 1);
    EXPECT_EQ(CSdlEventWaiter::TimeoutMilliseconds(0.016), 16);
    EXPECT_EQ(CSdlEventWaiter::TimeoutMilliseconds(0.0), 0);
    EXPECT_EQ(CSdlEventWaiter::TimeoutMilliseconds(-1.0), 0);
}

TEST_F(SurfaceTest, ScreenFeaturesLanguageAndClipboard) {
    int wide = 0, tall = 0;
    TheSurface().GetScreenSize(wide, tall);
    EXPECT_GT(wide, 0);
    EXPECT_GT(tall, 0);
    int x = -1, y = -1, workWide = 0, workTall = 0;
    TheSurface().GetWorkspaceBounds(x, y, workWide, workTall);
    EXPECT_GT(workWide, 0);
    EXPECT_LE(workWide, wide);
    EXPECT_TRUE(TheSurface().SupportsFeature(ISurface::ESCAPE_KEY));
    EXPECT_TRUE(TheSurface().SupportsFeature(ISurface::FRAME_MINIMIZE_MAXIMIZE));
    EXPECT_FALSE(TheSurface().SupportsFeature(ISurface::OPENING_NEW_HTML_WINDOWS));

    TheSurface().SetLanguage("german");
    EXPECT_STREQ(TheSurface().GetLanguage(), "german");
    TheSurface().SetLanguage("");
    EXPECT_STREQ(TheSurface().GetLanguage(), "german");

    EXPECT_TRUE(PlatformSetClipboardText("Zweig \xC3\xBC"));
    EXPECT_EQ(PlatformGetClipboardText(), "Zweig \xC3\xBC");
    EXPECT_FALSE(PlatformOpenDocument(""));
}

TEST_F(SurfaceTest, CursorShapesAndPosition) {
    TheSurface().SetCursor(dc_none);
    EXPECT_FALSE(TheSurface().IsCursorVisible());
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    for (HCursor shape : {dc_arrow, dc_ibeam, dc_sizenwse, dc_sizenesw, dc_sizewe, dc_sizens, dc_sizeall, dc_hand}) {
        TheSurface().SetCursor(shape);
        EXPECT_TRUE(TheSurface().IsCursorVisible()) << shape;
    }
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);

    TheSurface().SurfaceSetCursorPos(33, 44);
    int x = 0, y = 0;
    TheSurface().SurfaceGetCursorPos(x, y);
    EXPECT_EQ(x, 33);
    EXPECT_EQ(y, 44);
}

TEST_F(SurfaceTest, ScreenshotNeedsAWindow) {
    TestPanel loose;
    EXPECT_FALSE(TheSurface().SaveScreenshot(loose.GetVPanel(), m_dir.File("none.png").c_str()));
    auto popup = MakePopup(0, 0, 10, 10);
    EXPECT_FALSE(TheSurface().SaveScreenshot(popup->GetVPanel(), m_dir.File("no/such/folder.png").c_str()));
    EXPECT_TRUE(TheSurface().SaveScreenshot(popup->GetVPanel(), m_dir.File("ok.png").c_str()));
    EXPECT_TRUE(testsupport::PathExists(m_dir.File("ok.png")));
}

}  // namespace
