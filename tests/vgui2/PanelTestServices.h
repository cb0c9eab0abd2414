// What panel tests run on: the real GUI-loop, panel and input services, a
// surface and a scheme manager that answer with fixed values and record what
// the toolkit asked of them, a panel that records the messages it receives,
// and a frame runner with a watchdog so that a loop that never gets what it
// waits for fails instead of hanging.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "modules/updvgui2/InputSystem.h"
#include "modules/updvgui2/ModuleServices.h"
#include "modules/updvgui2/PanelService.h"
#include "modules/updvgui2/VGui.h"
#include "services/ServicePointers.h"
#include "vgui2/KeyValues.h"
#include "vgui2/Panel.h"

namespace paneltest {

using vgui2::Color;
using vgui2::HCursor;
using vgui2::VPANEL;

class FakeSurface final : public vgui2::ISurface {
public:
    int screenWide = 800;
    int screenTall = 600;
    bool paintChildren = true;
    // The work area is the screen less a taskbar along the bottom, moved
    // by the offset.
    int workspaceX = 0;
    int workspaceY = 0;
    int taskbarTall = 0;
    std::vector<SurfaceFeature> features;
    std::vector<VPANEL> popups;
    std::vector<std::pair<VPANEL, bool>> flashes;
    std::vector<std::pair<VPANEL, bool>> minimized;
    std::u16string lastTitle;

    std::vector<VPANEL> invalidated;
    std::vector<HCursor> cursors;
    std::vector<std::pair<VPANEL, bool>> madeCurrent;
    std::vector<Color> filledColors;
    int outlinedRects = 0;

    // Text metrics for controls that measure text: every character is
    // charWidth wide and every font fontTall high. Drawn characters and
    // filled rectangles are recorded with their positions.
    struct DrawnChar {
        int x;
        int y;
        vgui2::wchar ch;
        Color color;
    };
    struct FilledRect {
        int x0, y0, x1, y1;
        Color color;
    };
    int charWidth = 0;
    int fontTall = 0;
    std::vector<DrawnChar> drawnChars;
    std::vector<FilledRect> filledRects;

    std::u16string DrawnText() const {
        std::u16string text;
        for (const DrawnChar& drawn : drawnChars) {
            text += drawn.ch;
        }
        return text;
    }

    void Shutdown() override {}
    void RunFrame() override {}
    void SetEmbeddedPanel(VPANEL) override {}
    VPANEL GetEmbeddedPanel() override { return vgui2::kNoPanel; }
    void PushMakeCurrent(VPANEL panel, bool useInsets) override { madeCurrent.emplace_back(panel, useInsets); }
    void PopMakeCurrent(VPANEL) override {}
    void DrawSetColor(Color color) override { m_color = color; }
    void DrawFilledRect(int x0, int y0, int x1, int y1) override {
        filledColors.push_back(m_color);
        filledRects.push_back({x0, y0, x1, y1, m_color});
    }
    void DrawOutlinedRect(int, int, int, int) override { ++outlinedRects; }
    void DrawLine(int, int, int, int) override {}
    void DrawPolyLine(const int*, const int*, int) override {}
    void DrawSetTextFont(vgui2::HFont) override {}
    void DrawSetTextColor(Color color) override { m_textColor = color; }
    void DrawSetTextPos(int x, int y) override {
        m_textX = x;
        m_textY = y;
    }
    void DrawGetTextPos(int& x, int& y) override {
        x = m_textX;
        y = m_textY;
    }
    void DrawPrintText(const vgui2::wchar*, int) override {}
    void DrawUnicodeChar(vgui2::wchar ch) override {
        drawnChars.push_back({m_textX, m_textY, ch, m_textColor});
        m_textX += charWidth;
    }
    void DrawFlushText() override {}
    vgui2::HTexture CreateNewTextureID(bool) override { return -1; }
    bool DrawSetTextureFile(vgui2::HTexture, const char*, bool, bool) override { return false; }
    void DrawSetTextureRGBA(vgui2::HTexture, const unsigned char*, int, int) override {}
    void DrawSetTexture(vgui2::HTexture) override {}
    void DrawGetTextureSize(vgui2::HTexture, int& wide, int& tall) override { wide = tall = 0; }
    void DrawTexturedRect(int, int, int, int) override {}
    bool IsTextureIDValid(vgui2::HTexture) override { return false; }
    void CreatePopup(VPANEL, bool, bool, bool, bool, bool) override {}
    bool RecreateContext(VPANEL) override { return false; }
    void ReleasePanel(VPANEL) override {}
    void MovePopupToFront(VPANEL) override {}
    void MovePopupToBack(VPANEL) override {}
    int GetPopupCount() override { return static_cast<int>(popups.size()); }
    VPANEL GetPopup(int index) override {
        return index >= 0 && index < GetPopupCount() ? popups[static_cast<std::size_t>(index)] : vgui2::kNoPanel;
    }
    bool ShouldPaintChildPanel(VPANEL) override { return paintChildren; }
    void SetPanelVisible(VPANEL, bool) override {}
    void SetMinimized(VPANEL panel, bool state) override { minimized.emplace_back(panel, state); }
    bool IsMinimized(VPANEL) override { return false; }
    void FlashWindow(VPANEL panel, bool state) override { flashes.emplace_back(panel, state); }
    void SetTitle(VPANEL, const vgui2::wchar* title) override { lastTitle = title ? title : u""; }
    void SetAsTopMost(VPANEL, bool) override {}
    void SetAsToolBar(VPANEL, bool) override {}
    void SetTopLevelFocus(VPANEL) override {}
    VPANEL GetTopmostPopup() override { return vgui2::kNoPanel; }
    bool HasFocus() override { return true; }
    void Invalidate(VPANEL panel) override { invalidated.push_back(panel); }
    void SolveTraverse(VPANEL, bool) override {}
    void PaintTraverse(VPANEL) override {}
    void SwapBuffers(VPANEL) override {}
    void ApplyChanges() override {}
    bool IsWithin(int, int) override { return true; }
    void GetScreenSize(int& wide, int& tall) override {
        wide = screenWide;
        tall = screenTall;
    }
    void GetWorkspaceBounds(int& x, int& y, int& wide, int& tall) override {
        x = workspaceX;
        y = workspaceY;
        wide = screenWide - workspaceX;
        tall = screenTall - workspaceY - taskbarTall;
    }
    bool SupportsFeature(SurfaceFeature feature) override {
        for (SurfaceFeature supported : features) {
            if (supported == feature) {
                return true;
            }
        }
        return false;
    }
    vgui2::HFont CreateFont() override { return 0; }
    bool SetFontGlyphSet(vgui2::HFont, const char*, int, int, int, int, int) override { return false; }
    bool AddCustomFontFile(const char*) override { return false; }
    int GetFontTall(vgui2::HFont) override { return fontTall; }
    void GetCharABCwide(vgui2::HFont, int, int& a, int& b, int& c) override {
        a = c = 0;
        b = charWidth;
    }
    int GetCharacterWidth(vgui2::HFont, int) override { return charWidth; }
    void GetTextSize(vgui2::HFont, const vgui2::wchar*, int& wide, int& tall) override { wide = tall = 0; }
    void SetCursor(HCursor cursor) override { cursors.push_back(cursor); }
    bool IsCursorVisible() override { return true; }
    void SurfaceGetCursorPos(int& x, int& y) override { x = y = 0; }
    void SurfaceSetCursorPos(int, int) override {}
    void EnableMouseCapture(VPANEL, bool) override {}
    void PlaySound(const char*) override {}
    void SetLanguage(const char*) override {}
    const char* GetLanguage() override { return ""; }
    bool SaveScreenshot(VPANEL, const char*) override { return false; }

private:
    Color m_color;
    Color m_textColor;
    int m_textX = 0;
    int m_textY = 0;
};

// One scheme (handle 1, named "Test") with a colour table; proportional
// values are doubled.
class FakeScheme final : public vgui2::IScheme, public vgui2::ISchemeManager {
public:
    std::map<std::string, Color> colors;

    const char* GetResourceString(const char*) override { return ""; }
    vgui2::IBorder* GetBorder(const char*) override { return nullptr; }
    vgui2::HFont GetFont(const char*, bool) override { return 0; }
    Color GetColor(const char* name, Color defaultColor) override {
        auto it = colors.find(name ? name : "");
        return it == colors.end() ? defaultColor : it->second;
    }

    vgui2::HScheme LoadSchemeFromFile(const char*, const char*) override { return 0; }
    int reloads = 0;
    void ReloadSchemes() override { ++reloads; }
    vgui2::HScheme GetDefaultScheme() override { return 1; }
    vgui2::HScheme GetScheme(const char* tag) override { return tag && std::string(tag) == "Test" ? 1 : 0; }
    vgui2::IScheme* GetIScheme(vgui2::HScheme scheme) override { return scheme == 1 ? this : nullptr; }
    vgui2::IImage* GetImage(const char*, bool) override { return nullptr; }
    vgui2::HTexture GetImageID(const char*, bool) override { return -1; }
    int GetProportionalScaledValue(int value) override { return value * 2; }
    int GetProportionalNormalizedValue(int value) override { return value / 2; }
};

// A panel that writes down every message it is sent, with its int and
// text values (keys in lower case), before the normal dispatch runs.
class RecordingPanel : public vgui2::Panel {
public:
    struct Received {
        std::string name;
        std::map<std::string, int> ints;
        std::map<std::string, std::string> texts;
        void* panel = nullptr;
    };

    RecordingPanel(vgui2::Panel* parent, const char* name) : Panel(parent, name) {}

    bool OnMessage(KeyValues* params, VPANEL fromPanel) override {
        Received received;
        received.name = params->GetName();
        for (KeyValues* key = params->GetFirstSubKey(); key; key = key->GetNextKey()) {
            // Names share symbols without regard to case, so a key may come
            // back spelled as another name was first; compare in lower case.
            std::string keyName = key->GetName();
            for (char& c : keyName) {
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            if (key->GetDataType() == KeyValues::TYPE_INT) {
                received.ints[keyName] = key->GetInt();
            } else if (key->GetDataType() == KeyValues::TYPE_STRING) {
                received.texts[keyName] = key->GetString();
            }
        }
        received.panel = params->GetPtr("panel");
        messages.push_back(received);
        return Panel::OnMessage(params, fromPanel);
    }

    // The names received, in order, leaving out the per-frame focus ticks.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const Received& received : messages) {
            if (received.name != "KeyFocusTicked" && received.name != "MouseFocusTicked") {
                names.push_back(received.name);
            }
        }
        return names;
    }

    const Received* Find(const std::string& name) const {
        for (const Received& received : messages) {
            if (received.name == name) {
                return &received;
            }
        }
        return nullptr;
    }

    std::vector<Received> messages;
};

inline std::string& DebugLog() {
    static std::string log;
    return log;
}

inline void CaptureDebug(const char* text) { DebugLog() += text; }

// Connects the services for each test and leaves the singletons clean.
class ServicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        vgui2::g_services.vgui = &TheVGui();
        vgui2::g_services.panel = &ThePanelService();
        vgui2::g_services.input = &TheInput();
        vgui2::g_services.surface = &surface;
        vgui2::g_services.scheme = &schemes;
        TheVGuiImpl().SetDebugOutput(&CaptureDebug);
        DebugLog().clear();
    }

    void TearDown() override {
        CInputSystem& input = TheInputImpl();
        input.ReleaseAppModalSurface();
        input.SetMouseCapture(vgui2::kNoPanel);
        input.SetKeyFocus(vgui2::kNoPanel);
        input.SetMouseFocus(vgui2::kNoPanel);
        TheVGui().Stop();
        TheVGuiImpl().Shutdown();
        TheVGuiImpl().SetDebugOutput(nullptr);
        EXPECT_TRUE(ThePanelServiceImpl().RootPanels().empty()) << "a test left panels behind";
        vgui2::g_services = {};
    }

    // Runs frames until the condition holds; fails after the timeout.
    bool RunFramesUntil(const std::function<bool()>& done,
                        std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) {
                ADD_FAILURE() << "watchdog: the GUI loop did not get there in time";
                return false;
            }
            TheVGui().RunFrame();
        }
        return true;
    }

    FakeSurface surface;
    FakeScheme schemes;
};

}  // namespace paneltest
