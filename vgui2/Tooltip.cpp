#include "vgui2/Tooltip.h"

#include <algorithm>

#include "services/IInput.h"
#include "services/ILocalize.h"
#include "services/IScheme.h"
#include "services/ISurface.h"
#include "services/ISystem.h"
#include "services/ServicePointers.h"
#include "vgui2/PanelHandles.h"
#include "vgui2/TextEntry.h"
#include "vgui2/WideText.h"

namespace vgui2 {

namespace {

constexpr int kPointerGap = 20;
// Longer texts wrap at this width instead of running across the screen.
constexpr int kMaxTextWide = 300;
constexpr int kPadding = 8;

// The one window every tooltip shows through (kept by handle, so a window
// deleted by someone else is never reached), the tooltip currently using
// it, and how many tooltips exist (the window goes with the last one).
HPanel g_window = kNoHandle;
Tooltip* g_current = nullptr;
int g_tooltipCount = 0;

TextEntry* Window() { return static_cast<TextEntry*>(PanelFromHandle(g_window)); }

TextEntry* EnsureWindow() {
    if (TextEntry* existing = Window()) {
        return existing;
    }
    auto* window = new TextEntry(nullptr, "tooltip");
    window->SetEditable(false);
    window->SetMultiline(true);
    // The hint must never take the pointer or the keyboard from the panel
    // it describes.
    window->SetMouseInputEnabled(false);
    window->SetKeyBoardInputEnabled(false);
    window->MakePopup(false);
    window->SetVisible(false);
    window->MoveToFront();
    g_window = HandleOf(window);
    return window;
}

}  // namespace

Tooltip::Tooltip(const char* text) {
    SetText(text);
    ++g_tooltipCount;
}

Tooltip::~Tooltip() {
    if (g_current == this) {
        HideTooltip();
        g_current = nullptr;
    }
    if (--g_tooltipCount == 0) {
        TextEntry* window = Window();
        g_window = kNoHandle;
        delete window;
    }
}

TextEntry* Tooltip::SharedWindow() { return Window(); }

void Tooltip::SetText(const char* text) { m_text = text ? text : ""; }

void Tooltip::ShowTooltip() {
    if (m_text.empty()) {
        return;
    }
    TextEntry* window = EnsureWindow();
    if (g_current && g_current != this) {
        g_current->HideTooltip();
    }
    g_current = this;
    const wchar* localized = nullptr;
    if (m_text[0] == '#' && localize()) {
        localized = localize()->Find(m_text.c_str() + 1);
    }
    if (localized) {
        window->SetText(localized);
    } else {
        window->SetText(m_text.c_str());
    }
    window->SetVisible(false);
    m_pending = true;
    m_delayStart = system()->GetTimeMillis();
}

void Tooltip::ResetDelay() {
    if (m_pending) {
        m_delayStart = system()->GetTimeMillis();
    }
}

void Tooltip::HideTooltip() {
    m_pending = false;
    if (TextEntry* window = Window(); window && g_current == this) {
        window->SetVisible(false);
    }
}

bool Tooltip::IsShown() const {
    TextEntry* window = Window();
    return g_current == this && window && window->IsVisible();
}

void Tooltip::PerformLayout() {
    if (g_current != this || !m_pending || !Window()) {
        return;
    }
    if (system()->GetTimeMillis() - m_delayStart < kDelayMs) {
        return;
    }
    m_pending = false;
    ShowNow();
}

void Tooltip::ShowNow() {
    TextEntry* window = Window();
    window->PerformApplySchemeSettings();
    if (IScheme* schemeData = scheme()->GetIScheme(window->GetScheme())) {
        window->SetBgColor(schemeData->GetColor("SelectionBG", window->GetBgColor()));
        window->SetFgColor(schemeData->GetColor("BorderSelection", window->GetFgColor()));
        window->SetBorder(schemeData->GetBorder("ToolTipBorder"));
        if (HFont font = schemeData->GetFont("DefaultSmall", window->IsProportional())) {
            window->SetFont(font);
        }
    }
    // Wrap at the widest allowed line first, then shrink to what the text
    // really takes.
    window->SetSize(kMaxTextWide + kPadding, kMaxTextWide);
    int textWide = 0, textTall = 0;
    window->GetTextSize(textWide, textTall);
    int wide = textWide + kPadding;
    int tall = textTall + kPadding;
    window->SetSize(wide, tall);

    int cursorX = 0, cursorY = 0;
    input()->GetCursorPos(cursorX, cursorY);
    int screenWide = 0, screenTall = 0;
    surface()->GetScreenSize(screenWide, screenTall);
    int y = cursorY + kPointerGap + tall <= screenTall ? cursorY + kPointerGap : cursorY - kPointerGap - tall;
    int x = cursorX + wide <= screenWide ? cursorX : cursorX - wide;
    window->SetPos(std::max(0, x), std::max(0, y));
    window->SetVisible(true);
    window->MoveToFront();
}

}  // namespace vgui2
