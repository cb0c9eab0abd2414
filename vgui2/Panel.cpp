#include "vgui2/Panel.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Text.h"
#include "services/IInput.h"
#include "services/IPanel.h"
#include "services/IScheme.h"
#include "services/ISurface.h"
#include "services/IVGui.h"
#include "services/ServicePointers.h"
#include "vgui2/BuildGroup.h"
#include "vgui2/KeyValues.h"
#include "vgui2/Tooltip.h"

namespace vgui2 {

namespace {

char g_moduleName[256] = "Updater";

constexpr Color kSchemeDefaultColor{255, 255, 255, 255};

// Positions and sizes from layout files are held to this many pixels either
// way: far beyond any screen, yet small enough that the sums the toolkit
// makes of them (edges, centres, pinning) stay inside an int.
constexpr long long kLargestLayoutValue = 1 << 24;

int LayoutValue(long long value) {
    return static_cast<int>(std::clamp(value, -kLargestLayoutValue, kLargestLayoutValue));
}

bool ShiftDown() { return input()->IsKeyDown(KEY_LSHIFT) || input()->IsKeyDown(KEY_RSHIFT); }

}  // namespace

void SetModuleName(const char* name) {
    std::snprintf(g_moduleName, sizeof(g_moduleName), "%s", name ? name : "");
}

const char* GetModuleName() { return g_moduleName; }

PanelMessageMap& Panel::ClassMessageMap() {
    static PanelMessageMap& map = RegisterMessageMap("Panel", nullptr, &Panel::AddMessageHandlers);
    return map;
}

void Panel::AddMessageHandlers(PanelMessageMap& map) {
    map.Add<&Panel::Repaint>("Repaint");
    map.Add<&Panel::OnCommand>("Command", "command");
    map.Add<&Panel::OnMouseCaptureLost>("MouseCaptureLost");
    map.Add<&Panel::OnSetFocus>("SetFocus");
    map.Add<&Panel::OnKillFocus>("KillFocus");
    map.Add<&Panel::OnDelete>("Delete");
    map.Add<&Panel::OnTick>("Tick");
    map.Add<&Panel::OnCursorMoved>("OnCursorMoved", "x", "y");
    map.Add<&Panel::OnMouseFocusTicked>("OnMouseFocusTicked");
    map.Add<&Panel::InternalRequestFocus>("OnRequestFocus", "subFocus", "defaultPanel");
    map.Add<&Panel::InternalCursorMoved>("CursorMoved", "xpos", "ypos");
    map.Add<&Panel::InternalCursorEntered>("CursorEntered");
    map.Add<&Panel::InternalCursorExited>("CursorExited");
    map.Add<&Panel::InternalMousePressed>("MousePressed", "code");
    map.Add<&Panel::InternalMouseDoublePressed>("MouseDoublePressed", "code");
    map.Add<&Panel::InternalMouseReleased>("MouseReleased", "code");
    map.Add<&Panel::InternalMouseWheeled>("MouseWheeled", "delta");
    map.Add<&Panel::InternalKeyCodePressed>("KeyCodePressed", "code");
    map.Add<&Panel::InternalKeyCodeTyped>("KeyCodeTyped", "code");
    map.Add<&Panel::InternalKeyCodeReleased>("KeyCodeReleased", "code");
    map.Add<&Panel::InternalKeyTyped>("KeyTyped", "unichar");
    map.Add<&Panel::InternalKeyFocusTicked>("KeyFocusTicked");
    map.Add<&Panel::InternalMouseFocusTicked>("MouseFocusTicked");
    map.Add<&Panel::InternalInvalidate>("Invalidate");
    map.Add<&Panel::InternalMove>("Move");
}

MessageMapItem* Panel::GetMessageTable(int& count) {
    static MessageMapItem table[] = {
        MakeMessageMapItem<&Panel::RequestFocus>("RequestFocus", "direction"),
    };
    count = static_cast<int>(sizeof(table) / sizeof(table[0]));
    return table;
}

Panel::Panel() { Construct(); }

Panel::Panel(Panel* parent, const char* panelName) {
    Construct();
    SetName(panelName);
    SetParent(parent ? parent->GetVPanel() : kNoPanel);
}

void Panel::Construct() {
    ClassMessageMap();
    m_vpanel = ivgui()->AllocPanel();
    ipanel()->Init(m_vpanel, this);
    ipanel()->SetPos(m_vpanel, 0, 0);
    ipanel()->SetSize(m_vpanel, 64, 24);
}

Panel::~Panel() {
    m_autoDelete = false;
    ipanel()->SetParent(m_vpanel, kNoPanel);
    // Last child first: each one leaves the end of its parent's list, so a
    // list of many rows goes in time proportional to its length.
    for (int count = ipanel()->GetChildCount(m_vpanel); count > 0; count = ipanel()->GetChildCount(m_vpanel)) {
        VPANEL child = ipanel()->GetChild(m_vpanel, count - 1);
        if (ipanel()->IsAutoDeleteSet(child)) {
            ipanel()->DeletePanel(child);
        }
        // A child that was not deleted (or whose client kept it alive) is
        // detached, so the loop always makes progress.
        int left = ipanel()->GetChildCount(m_vpanel);
        if (left > 0 && ipanel()->GetChild(m_vpanel, left - 1) == child) {
            ipanel()->SetParent(child, kNoPanel);
        }
    }
    ivgui()->FreePanel(m_vpanel);
}

VPANEL Panel::GetVPanel() { return m_vpanel; }

// Name -------------------------------------------------------------------

void Panel::SetName(const char* panelName) { m_name = panelName ? panelName : ""; }

const char* Panel::GetName() { return m_name.c_str(); }

const char* Panel::GetModuleName() { return vgui2::GetModuleName(); }

void* Panel::QueryInterface(int id) { return id == 0 ? this : nullptr; }

Panel* Panel::GetPanel() { return this; }

// Messages ---------------------------------------------------------------

bool Panel::OnMessage(KeyValues* params, VPANEL) {
    // A handler may delete this panel; nothing touches it after a match.
    if (DispatchMessageMap(*GetMessageMap(), this, params)) {
        return true;
    }
    int count = 0;
    MessageMapItem* table = GetMessageTable(count);
    return DispatchMessageTable(table, count, this, params);
}

void Panel::PostMessage(Panel* target, KeyValues* message, float delaySeconds) {
    if (!target) {
        KeyValues::Destroy(message);
        return;
    }
    PostMessage(target->GetVPanel(), message, delaySeconds);
}

void Panel::PostMessage(VPANEL target, KeyValues* message, float delaySeconds) {
    ivgui()->PostMessage(target, message, GetVPanel(), delaySeconds);
}

void Panel::CallParentFunction(KeyValues* message) {
    if (VPANEL parent = GetVParent()) {
        ipanel()->SendMessage(parent, message, GetVPanel());
    }
    KeyValues::Destroy(message);
}

void Panel::AddActionSignalTarget(VPANEL target) {
    HPanel handle = ivgui()->PanelToHandle(target);
    if (handle == kNoHandle) {
        return;
    }
    for (HPanel existing : m_actionSignalTargets) {
        if (existing == handle) {
            return;
        }
    }
    m_actionSignalTargets.push_back(handle);
}

void Panel::AddActionSignalTarget(Panel* target) {
    if (target) {
        AddActionSignalTarget(target->GetVPanel());
    }
}

void Panel::RemoveActionSignalTarget(Panel* target) {
    if (!target) {
        return;
    }
    HPanel handle = ivgui()->PanelToHandle(target->GetVPanel());
    std::erase(m_actionSignalTargets, handle);
}

void Panel::PostActionSignal(KeyValues* message) {
    if (!message) {
        return;
    }
    message->SetPtr("panel", this);
    // Copies to every target but the first, which gets the message itself;
    // targets that are gone are skipped.
    for (std::size_t i = m_actionSignalTargets.size(); i-- > 1;) {
        if (VPANEL target = ivgui()->HandleToPanel(m_actionSignalTargets[i])) {
            ivgui()->PostMessage(target, message->MakeCopy(), GetVPanel());
        }
    }
    VPANEL first = m_actionSignalTargets.empty() ? kNoPanel : ivgui()->HandleToPanel(m_actionSignalTargets[0]);
    if (first) {
        ivgui()->PostMessage(first, message, GetVPanel());
    } else {
        message->deleteThis();
    }
}

void Panel::PostMessageToChild(const char* childName, KeyValues* message) {
    for (VPANEL child : Children()) {
        if (childName && platform::CompareNoCase(ipanel()->GetName(child), childName) == 0) {
            PostMessage(child, message);
            return;
        }
    }
    KeyValues::Destroy(message);
}

bool Panel::RequestInfo(KeyValues* outputData) {
    VPANEL parent = GetVParent();
    return parent && ipanel()->RequestInfo(parent, outputData);
}

bool Panel::RequestInfoFromChild(const char* childName, KeyValues* outputData) {
    for (VPANEL child : Children()) {
        if (childName && platform::CompareNoCase(ipanel()->GetName(child), childName) == 0) {
            return ipanel()->RequestInfo(child, outputData);
        }
    }
    return false;
}

bool Panel::SetInfo(KeyValues*) { return false; }

// Tree -------------------------------------------------------------------

std::vector<VPANEL> Panel::Children() {
    std::vector<VPANEL> children;
    for (int i = 0, count = ipanel()->GetChildCount(m_vpanel); i < count; ++i) {
        children.push_back(ipanel()->GetChild(m_vpanel, i));
    }
    return children;
}

VPANEL Panel::GetVParent() { return ipanel()->GetParent(m_vpanel); }

Panel* Panel::GetParent() {
    VPANEL parent = GetVParent();
    return parent ? ipanel()->GetPanel(parent, GetModuleName()) : nullptr;
}

void Panel::SetParent(Panel* newParent) { SetParent(newParent ? newParent->GetVPanel() : kNoPanel); }

void Panel::SetParent(VPANEL newParent) {
    ipanel()->SetParent(m_vpanel, newParent);
    VPANEL parent = GetVParent();
    if (!parent || IsPopup()) {
        return;
    }
    SetProportional(ipanel()->IsProportional(parent));
    bool keyboard = ipanel()->IsKeyBoardInputEnabled(parent);
    if (keyboard != IsKeyBoardInputEnabled()) {
        SetKeyBoardInputEnabled(keyboard);
    }
    bool mouse = ipanel()->IsMouseInputEnabled(parent);
    if (mouse != IsMouseInputEnabled()) {
        SetMouseInputEnabled(mouse);
    }
}

bool Panel::HasParent(VPANEL potentialParent) { return ipanel()->HasParent(m_vpanel, potentialParent); }

int Panel::GetChildCount() { return ipanel()->GetChildCount(m_vpanel); }

Panel* Panel::GetChild(int index) {
    VPANEL child = ipanel()->GetChild(m_vpanel, index);
    return child ? ipanel()->GetPanel(child, GetModuleName()) : nullptr;
}

Panel* Panel::FindChildByName(const char* childName, bool recurseDown) {
    if (!childName) {
        return nullptr;
    }
    for (int i = 0, count = GetChildCount(); i < count; ++i) {
        Panel* child = GetChild(i);
        if (!child) {
            continue;
        }
        if (platform::CompareNoCase(child->GetName(), childName) == 0) {
            return child;
        }
        if (recurseDown) {
            if (Panel* found = child->FindChildByName(childName, true)) {
                return found;
            }
        }
    }
    return nullptr;
}

void Panel::OnChildAdded(VPANEL) {}

void Panel::SetAutoDelete(bool state) { m_autoDelete = state; }

bool Panel::IsAutoDeleteSet() { return m_autoDelete; }

bool Panel::IsPopup() { return ipanel()->IsPopup(m_vpanel); }

void Panel::MakePopup(bool showTaskbarIcon, bool disabled) {
    ipanel()->SetPopup(m_vpanel, true);
    surface()->CreatePopup(m_vpanel, false, showTaskbarIcon, disabled, IsMouseInputEnabled(),
                           IsKeyBoardInputEnabled());
}

void Panel::MoveToFront() { ipanel()->MoveToFront(m_vpanel); }

// Deletion ---------------------------------------------------------------

void Panel::MarkForDeletion() {
    if (m_markedForDeletion) {
        return;
    }
    m_markedForDeletion = true;
    m_autoDelete = false;
    if (ivgui()->IsRunning()) {
        ivgui()->MarkPanelForDeletion(m_vpanel);
    } else {
        delete this;
    }
}

void Panel::DeletePanel() { delete this; }

void Panel::OnDelete() { delete this; }

// Geometry ---------------------------------------------------------------

void Panel::SetPos(int x, int y) { ipanel()->SetPos(m_vpanel, x, y); }

void Panel::GetPos(int& x, int& y) { ipanel()->GetPos(m_vpanel, x, y); }

void Panel::SetSize(int wide, int tall) { ipanel()->SetSize(m_vpanel, wide, tall); }

void Panel::GetSize(int& wide, int& tall) { ipanel()->GetSize(m_vpanel, wide, tall); }

void Panel::SetBounds(int x, int y, int wide, int tall) {
    SetPos(x, y);
    SetSize(wide, tall);
}

void Panel::GetBounds(int& x, int& y, int& wide, int& tall) {
    GetPos(x, y);
    GetSize(wide, tall);
}

int Panel::GetWide() {
    int wide = 0, tall = 0;
    GetSize(wide, tall);
    return wide;
}

int Panel::GetTall() {
    int wide = 0, tall = 0;
    GetSize(wide, tall);
    return tall;
}

void Panel::SetWide(int wide) { SetSize(wide, GetTall()); }

void Panel::SetTall(int tall) { SetSize(GetWide(), tall); }

void Panel::SetMinimumSize(int wide, int tall) { ipanel()->SetMinimumSize(m_vpanel, wide, tall); }

void Panel::SetZPos(int z) { ipanel()->SetZPos(m_vpanel, z); }

int Panel::GetZPos() { return ipanel()->GetZPos(m_vpanel); }

void Panel::LocalToScreen(int& x, int& y) {
    int ax = 0, ay = 0;
    ipanel()->GetAbsPos(m_vpanel, ax, ay);
    x += ax;
    y += ay;
}

void Panel::ScreenToLocal(int& x, int& y) {
    int ax = 0, ay = 0;
    ipanel()->GetAbsPos(m_vpanel, ax, ay);
    x -= ax;
    y -= ay;
}

void Panel::GetInset(int& left, int& top, int& right, int& bottom) {
    ipanel()->GetInset(m_vpanel, left, top, right, bottom);
}

void Panel::GetClipRect(int& x0, int& y0, int& x1, int& y1) { ipanel()->GetClipRect(m_vpanel, x0, y0, x1, y1); }

bool Panel::IsWithin(int x, int y) {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    GetClipRect(x0, y0, x1, y1);
    return x >= x0 && x < x1 && y >= y0 && y < y1;
}

void Panel::GetPaintSize(int& wide, int& tall) {
    GetSize(wide, tall);
    if (m_border) {
        int left = 0, top = 0, right = 0, bottom = 0;
        m_border->GetInset(left, top, right, bottom);
        wide -= left + right;
        tall -= top + bottom;
    }
}

void Panel::OnSizeChanged(int, int) { InvalidateLayout(); }

void Panel::OnMove() {}

void Panel::InternalMove() {
    OnMove();
    for (VPANEL child : Children()) {
        if (Panel* panel = ipanel()->GetPanel(child, GetModuleName())) {
            panel->OnMove();
        }
    }
}

// Visibility and state ---------------------------------------------------

void Panel::SetVisible(bool state) {
    ipanel()->SetVisible(m_vpanel, state);
    // Embedded HTML views are native children that must follow the panel.
    for (VPANEL child : Children()) {
        if (std::strcmp(ipanel()->GetClassName(child), "HTML") == 0) {
            ipanel()->SetVisible(child, state);
        }
    }
}

bool Panel::IsVisible() { return ipanel()->IsVisible(m_vpanel); }

void Panel::SetEnabled(bool state) {
    if (state == IsEnabled()) {
        return;
    }
    ipanel()->SetEnabled(m_vpanel, state);
    InvalidateLayout();
    Repaint();
}

bool Panel::IsEnabled() { return ipanel()->IsEnabled(m_vpanel); }

void Panel::SetMouseInputEnabled(bool state) {
    ipanel()->SetMouseInputEnabled(m_vpanel, state);
    for (VPANEL child : Children()) {
        if (Panel* panel = ipanel()->GetPanel(child, GetModuleName())) {
            panel->SetMouseInputEnabled(state);
        }
    }
}

void Panel::SetKeyBoardInputEnabled(bool state) {
    ipanel()->SetKeyBoardInputEnabled(m_vpanel, state);
    for (VPANEL child : Children()) {
        if (Panel* panel = ipanel()->GetPanel(child, GetModuleName())) {
            panel->SetKeyBoardInputEnabled(state);
        }
    }
    VPANEL parent = GetVParent();
    if (!state && parent && ipanel()->GetCurrentKeyFocus(parent) == m_vpanel) {
        ipanel()->RequestFocusNext(parent, m_vpanel);
    }
}

bool Panel::IsMouseInputEnabled() { return ipanel()->IsMouseInputEnabled(m_vpanel); }

bool Panel::IsKeyBoardInputEnabled() { return ipanel()->IsKeyBoardInputEnabled(m_vpanel); }

void Panel::SetProportional(bool state) {
    if (state == m_proportional) {
        return;
    }
    m_proportional = state;
    for (VPANEL child : Children()) {
        if (Panel* panel = ipanel()->GetPanel(child, GetModuleName())) {
            panel->SetProportional(state);
        }
    }
    InvalidateLayout();
}

bool Panel::IsProportional() { return m_proportional; }

void Panel::SetTabPosition(int position) { m_tabPosition = position; }

int Panel::GetTabPosition() { return m_tabPosition; }

void Panel::SetCursor(HCursor cursor) { m_cursor = cursor; }

HCursor Panel::GetCursor() { return m_cursor; }

bool Panel::IsCursorNone() { return m_cursor == dc_none; }

bool Panel::IsCursorOver() {
    int x = 0, y = 0;
    input()->GetCursorPos(x, y);
    return IsWithin(x, y);
}

bool Panel::HasFocus() { return input()->GetFocus() == m_vpanel; }

Panel* Panel::HasHotkey(wchar) { return nullptr; }

void Panel::SetBgColor(Color color) { m_bgColor = color; }

void Panel::SetFgColor(Color color) { m_fgColor = color; }

Color Panel::GetBgColor() { return m_bgColor; }

Color Panel::GetFgColor() { return m_fgColor; }

bool Panel::IsOpaque() { return IsVisible() && m_paintBackgroundEnabled && m_bgColor.a == 255; }

void Panel::SetBorder(IBorder* border) {
    m_border = border;
    // Children are laid out inside the border.
    int left = 0, top = 0, right = 0, bottom = 0;
    if (border) {
        border->GetInset(left, top, right, bottom);
    }
    ipanel()->SetInset(m_vpanel, left, top, right, bottom);
    Repaint();
}

IBorder* Panel::GetBorder() { return m_border; }

void Panel::SetPaintBorderEnabled(bool state) { m_paintBorderEnabled = state; }

void Panel::SetPaintBackgroundEnabled(bool state) { m_paintBackgroundEnabled = state; }

void Panel::SetPaintEnabled(bool state) { m_paintEnabled = state; }

void Panel::SetPostChildPaintEnabled(bool state) { m_postChildPaintEnabled = state; }

void Panel::SetBuildGroup(BuildGroup* buildGroup) {
    m_buildGroup = buildGroup;
    if (buildGroup) {
        buildGroup->PanelAdded(this);
    }
}

bool Panel::IsBuildModeActive() { return m_buildGroup && m_buildGroup->IsEnabled(); }

Tooltip* Panel::GetTooltip() {
    if (!m_tooltip) {
        m_tooltip = std::make_unique<Tooltip>();
    }
    return m_tooltip.get();
}

void Panel::SetTooltipText(const char* text) { GetTooltip()->SetText(text); }

const char* Panel::GetTooltipText() const { return m_tooltip ? m_tooltip->GetText() : ""; }

// Focus ------------------------------------------------------------------

void Panel::InternalFocusChanged(bool) {}

VPANEL Panel::GetCurrentKeyFocus() { return kNoPanel; }

void Panel::RequestFocus(int) { OnRequestFocus(m_vpanel, kNoPanel); }

bool Panel::RequestFocusPrev(VPANEL) {
    VPANEL parent = GetVParent();
    return parent && ipanel()->RequestFocusPrev(parent, m_vpanel);
}

bool Panel::RequestFocusNext(VPANEL) {
    VPANEL parent = GetVParent();
    return parent && ipanel()->RequestFocusNext(parent, m_vpanel);
}

void Panel::OnRequestFocus(VPANEL subFocus, VPANEL defaultPanel) {
    if (!GetVParent()) {
        // The request has climbed to the top of the tree: the keyboard goes
        // to the panel that asked.
        input()->SetKeyFocus(subFocus);
        return;
    }
    KeyValues* message = new KeyValues("OnRequestFocus");
    message->SetInt("subFocus", static_cast<int>(subFocus));
    message->SetInt("defaultPanel", static_cast<int>(defaultPanel));
    CallParentFunction(message);
}

// Panel ids travel in messages as ints.
void Panel::InternalRequestFocus(int subFocus, int defaultPanel) {
    OnRequestFocus(static_cast<VPANEL>(subFocus), static_cast<VPANEL>(defaultPanel));
}

// Layout and thinking ----------------------------------------------------

void Panel::InvalidateLayout(bool layoutNow, bool reloadScheme) {
    m_needsLayout = true;
    if (reloadScheme) {
        m_needsSchemeSettings = true;
        for (VPANEL child : Children()) {
            if (Panel* panel = ipanel()->GetPanel(child, GetModuleName())) {
                panel->InvalidateLayout(layoutNow, true);
            }
        }
        PerformApplySchemeSettings();
    }
    if (layoutNow) {
        InternalPerformLayout();
        Repaint();
    }
}

void Panel::InternalInvalidate() { InvalidateLayout(false, false); }

bool Panel::IsLayoutInvalid() { return m_needsLayout; }

void Panel::InternalPerformLayout() {
    m_inPerformLayout = true;
    m_needsLayout = false;
    PerformLayout();
    m_inPerformLayout = false;
}

void Panel::PerformLayout() {}

void Panel::Think() {
    OnThink();
    if (!IsVisible()) {
        return;
    }
    if (m_tooltip) {
        m_tooltip->PerformLayout();
    }
    if (m_needsLayout) {
        InternalPerformLayout();
    }
}

void Panel::OnThink() {}

void Panel::OnTick() {}

// Scheme -----------------------------------------------------------------

HScheme Panel::GetScheme() {
    if (m_scheme) {
        return m_scheme;
    }
    if (VPANEL parent = GetVParent()) {
        return ipanel()->GetScheme(parent);
    }
    return scheme()->GetDefaultScheme();
}

void Panel::SetScheme(HScheme handle) {
    if (handle == m_scheme) {
        return;
    }
    m_scheme = handle;
    // Children that inherit the scheme take it up as well.
    InvalidateLayout(false, true);
}

void Panel::SetScheme(const char* tag) {
    if (HScheme handle = tag ? scheme()->GetScheme(tag) : 0) {
        SetScheme(handle);
    }
}

void Panel::PerformApplySchemeSettings() {
    if (!m_needsSchemeSettings) {
        return;
    }
    if (IScheme* schemeData = scheme()->GetIScheme(GetScheme())) {
        ApplySchemeSettings(schemeData);
    }
}

void Panel::ApplySchemeSettings(IScheme* schemeData) {
    SetFgColor(GetSchemeColor("FgColor", schemeData));
    SetBgColor(GetSchemeColor("BgColor", schemeData));
    m_needsSchemeSettings = false;
}

Color Panel::GetSchemeColor(const char* keyName, Color defaultColor, IScheme* schemeData) {
    return schemeData ? schemeData->GetColor(keyName, defaultColor) : defaultColor;
}

Color Panel::GetSchemeColor(const char* keyName, IScheme* schemeData) {
    return GetSchemeColor(keyName, kSchemeDefaultColor, schemeData);
}

// Painting ---------------------------------------------------------------

void Panel::Repaint() {
    m_needsRepaint = true;
    surface()->Invalidate(m_vpanel);
}

void Panel::PaintLayer(bool useInsets, void (Panel::*layer)()) {
    surface()->PushMakeCurrent(m_vpanel, useInsets);
    (this->*layer)();
    surface()->PopMakeCurrent(m_vpanel);
}

void Panel::PaintTraverse(bool repaint, bool allowForce) {
    if (!IsVisible()) {
        return;
    }
    if (m_needsRepaint && allowForce) {
        repaint = true;
        m_needsRepaint = false;
    }
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    GetClipRect(x0, y0, x1, y1);
    bool paintSelf = repaint && x1 > x0 && y1 > y0;
    if (paintSelf) {
        if (m_paintBackgroundEnabled) {
            PaintLayer(false, &Panel::PaintBackground);
        }
        if (m_paintEnabled) {
            PaintLayer(true, &Panel::Paint);
        }
    }
    for (VPANEL child : Children()) {
        if (surface()->ShouldPaintChildPanel(child)) {
            ipanel()->PaintTraverse(child, repaint, allowForce);
        } else {
            surface()->Invalidate(child);
            ipanel()->PaintTraverse(child, false, false);
        }
    }
    if (!paintSelf) {
        return;
    }
    if (m_paintBorderEnabled && m_border) {
        PaintLayer(false, &Panel::PaintBorder);
    }
    if (IsBuildModeActive()) {
        for (HPanel handle : m_buildGroup->GetSelectionList()) {
            VPANEL selected = ivgui()->HandleToPanel(handle);
            if (Panel* panel = selected ? ipanel()->GetPanel(selected, GetModuleName()) : nullptr) {
                panel->PaintLayer(false, &Panel::PaintBuildOverlay);
            }
        }
    }
    if (m_postChildPaintEnabled) {
        PaintLayer(false, &Panel::PostChildPaint);
    }
}

void Panel::PaintBackground() {
    int wide = 0, tall = 0;
    GetSize(wide, tall);
    surface()->DrawSetColor(m_bgColor);
    surface()->DrawFilledRect(0, 0, wide, tall);
}

void Panel::Paint() {}

void Panel::PaintBorder() { m_border->Paint(m_vpanel); }

void Panel::PaintBuildOverlay() {
    int wide = 0, tall = 0;
    GetSize(wide, tall);
    surface()->DrawSetColor(Color(255, 0, 0, 255));
    surface()->DrawOutlinedRect(0, 0, wide, tall);
}

void Panel::PostChildPaint() {}

// Hit testing ------------------------------------------------------------

VPANEL Panel::IsWithinTraverse(int x, int y, bool traversePopups) {
    if (!IsVisible() || !IsMouseInputEnabled()) {
        return kNoPanel;
    }
    std::vector<VPANEL> children = Children();
    if (traversePopups) {
        // Popups lie above their siblings, so they are tried first.
        for (bool popups : {true, false}) {
            for (auto it = children.rbegin(); it != children.rend(); ++it) {
                if (ipanel()->IsPopup(*it) != popups) {
                    continue;
                }
                if (VPANEL hit = ipanel()->IsWithinTraverse(*it, x, y, true)) {
                    return hit;
                }
            }
        }
        return IsWithin(x, y) ? m_vpanel : kNoPanel;
    }
    if (!IsWithin(x, y)) {
        return kNoPanel;
    }
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (ipanel()->IsPopup(*it)) {
            continue;
        }
        if (VPANEL hit = ipanel()->IsWithinTraverse(*it, x, y, false)) {
            return hit;
        }
    }
    return m_vpanel;
}

// Input ------------------------------------------------------------------

void Panel::InternalCursorMoved(int xpos, int ypos) {
    if (IsCursorNone() || !IsMouseInputEnabled()) {
        return;
    }
    if (IsBuildModeActive()) {
        m_buildGroup->CursorMoved(xpos, ypos, this);
        return;
    }
    if (m_tooltip) {
        m_tooltip->ResetDelay();
    }
    ScreenToLocal(xpos, ypos);
    OnCursorMoved(xpos, ypos);
}

void Panel::InternalCursorEntered() {
    if (IsCursorNone() || !IsMouseInputEnabled() || IsBuildModeActive()) {
        return;
    }
    if (m_tooltip) {
        m_tooltip->ShowTooltip();
    }
    OnCursorEntered();
}

void Panel::InternalCursorExited() {
    if (IsCursorNone() || !IsMouseInputEnabled() || IsBuildModeActive()) {
        return;
    }
    if (m_tooltip) {
        m_tooltip->HideTooltip();
    }
    OnCursorExited();
}

void Panel::InternalMousePressed(int code) {
    if (IsCursorNone() || !IsMouseInputEnabled()) {
        return;
    }
    if (IsBuildModeActive()) {
        m_buildGroup->MousePressed(static_cast<MouseCode>(code), this);
        return;
    }
    OnMousePressed(static_cast<MouseCode>(code));
}

void Panel::InternalMouseDoublePressed(int code) {
    if (IsCursorNone() || !IsMouseInputEnabled()) {
        return;
    }
    if (IsBuildModeActive()) {
        m_buildGroup->MouseDoublePressed(static_cast<MouseCode>(code), this);
        return;
    }
    OnMouseDoublePressed(static_cast<MouseCode>(code));
}

void Panel::InternalMouseReleased(int code) {
    if (IsCursorNone() || !IsMouseInputEnabled()) {
        return;
    }
    if (IsBuildModeActive()) {
        m_buildGroup->MouseReleased(static_cast<MouseCode>(code), this);
        return;
    }
    OnMouseReleased(static_cast<MouseCode>(code));
}

void Panel::InternalMouseWheeled(int delta) {
    if (IsBuildModeActive() || !IsMouseInputEnabled()) {
        return;
    }
    OnMouseWheeled(delta);
}

bool Panel::ForwardKeyToParent(const char* messageName, const char* key, int value) {
    if (IsKeyBoardInputEnabled()) {
        return false;
    }
    CallParentFunction(new KeyValues(messageName, key, value));
    return true;
}

void Panel::InternalKeyCodePressed(int code) {
    if (!ForwardKeyToParent("KeyCodePressed", "code", code)) {
        OnKeyCodePressed(static_cast<KeyCode>(code));
    }
}

void Panel::InternalKeyCodeTyped(int code) {
    if (ForwardKeyToParent("KeyCodeTyped", "code", code)) {
        return;
    }
    if (IsBuildModeActive()) {
        m_buildGroup->KeyCodeTyped(static_cast<KeyCode>(code), this);
        return;
    }
    OnKeyCodeTyped(static_cast<KeyCode>(code));
}

void Panel::InternalKeyTyped(int unichar) {
    if (ForwardKeyToParent("KeyTyped", "unichar", unichar) || IsBuildModeActive()) {
        return;
    }
    OnKeyTyped(static_cast<wchar>(unichar));
}

void Panel::InternalKeyCodeReleased(int code) {
    if (!ForwardKeyToParent("KeyCodeReleased", "code", code)) {
        OnKeyCodeReleased(static_cast<KeyCode>(code));
    }
}

void Panel::InternalKeyFocusTicked() {
    if (!IsBuildModeActive()) {
        OnKeyFocusTicked();
    }
}

void Panel::InternalMouseFocusTicked() {
    if (IsBuildModeActive() && m_buildGroup->WantsRepaint(this)) {
        Repaint();
    } else if (ipanel()->IsFullyVisible(m_vpanel)) {
        HCursor cursor = IsBuildModeActive() ? m_buildGroup->GetCursor(this) : m_cursor;
        if (HCursor overrideCursor = input()->GetCursorOveride()) {
            cursor = overrideCursor;
        }
        surface()->SetCursor(cursor);
    }
    OnMouseFocusTicked();
}

void Panel::OnCommand(const char*) {}

void Panel::OnMouseCaptureLost() {}

void Panel::OnSetFocus() { Repaint(); }

void Panel::OnKillFocus() { Repaint(); }

void Panel::OnCursorMoved(int, int) {}

void Panel::OnCursorEntered() {}

void Panel::OnCursorExited() {}

void Panel::OnMousePressed(MouseCode) {}

void Panel::OnMouseDoublePressed(MouseCode) {}

void Panel::OnMouseReleased(MouseCode) {}

void Panel::OnMouseWheeled(int delta) { CallParentFunction(new KeyValues("MouseWheeled", "delta", delta)); }

void Panel::OnKeyCodePressed(KeyCode code) { CallParentFunction(new KeyValues("KeyCodePressed", "code", code)); }

void Panel::OnKeyCodeTyped(KeyCode code) {
    if (code == KEY_TAB) {
        if (ShiftDown()) {
            RequestFocusPrev();
        } else {
            RequestFocusNext();
        }
        return;
    }
    CallParentFunction(new KeyValues("KeyCodeTyped", "code", code));
}

void Panel::OnKeyTyped(wchar unichar) {
    CallParentFunction(new KeyValues("KeyTyped", "unichar", static_cast<int>(unichar & 0xFFFF)));
}

void Panel::OnKeyCodeReleased(KeyCode code) { CallParentFunction(new KeyValues("KeyCodeReleased", "code", code)); }

void Panel::OnKeyFocusTicked() { CallParentFunction(new KeyValues("KeyFocusTicked")); }

void Panel::OnMouseFocusTicked() { CallParentFunction(new KeyValues("OnMouseFocusTicked")); }

// Settings ---------------------------------------------------------------

int Panel::Scaled(int value) { return m_proportional ? scheme()->GetProportionalScaledValue(value) : value; }

int Panel::Normalized(int value) { return m_proportional ? scheme()->GetProportionalNormalizedValue(value) : value; }

void Panel::ApplyPosition(KeyValues* settings, const char* key, int screenSize, int& coordinate, bool& fromEnd,
                          bool& fromCentre) {
    const char* text = settings->GetString(key, nullptr);
    if (!text) {
        return;
    }
    if (*text == 'c' || *text == 'C') {
        fromCentre = true;
        ++text;
    } else if (*text == 'r' || *text == 'R') {
        fromEnd = true;
        ++text;
    }
    long long value = Scaled(LayoutValue(std::strtoll(text, nullptr, 10)));
    if (fromEnd) {
        coordinate = LayoutValue(screenSize - value);
    } else if (fromCentre) {
        coordinate = LayoutValue(value + screenSize / 2);
    } else {
        coordinate = LayoutValue(value);
    }
}

void Panel::ApplySettings(KeyValues* settings) {
    m_xFromRight = m_xFromCentre = m_yFromBottom = m_yFromCentre = false;
    int screenWide = 0, screenTall = 0;
    surface()->GetScreenSize(screenWide, screenTall);
    int x = 0, y = 0;
    GetPos(x, y);
    ApplyPosition(settings, "xpos", screenWide, x, m_xFromRight, m_xFromCentre);
    ApplyPosition(settings, "ypos", screenTall, y, m_yFromBottom, m_yFromCentre);
    SetPos(x, y);

    if (settings->FindKey("zpos")) {
        SetZPos(settings->GetInt("zpos"));
    }

    int wide = 0, tall = 0;
    GetSize(wide, tall);
    if (settings->FindKey("wide")) {
        wide = LayoutValue(Scaled(LayoutValue(settings->GetInt("wide", wide))));
    }
    if (settings->FindKey("tall")) {
        tall = LayoutValue(Scaled(LayoutValue(settings->GetInt("tall", tall))));
    }
    SetSize(wide, tall);

    m_autoResize = settings->GetInt("AutoResize", 0);
    m_pinCorner = settings->GetInt("PinCorner", 0);

    if (settings->GetInt("IgnoreScheme", 0)) {
        PerformApplySchemeSettings();
    }

    int visible = settings->GetInt("visible", 1);
    if (visible == 0 || visible == 1) {
        SetVisible(visible == 1);
    }
    SetEnabled(settings->GetInt("enabled", 1) != 0);
    SetTabPosition(settings->GetInt("tabPosition", 0));

    const char* tooltip = settings->GetString("tooltiptext", nullptr);
    if (tooltip && *tooltip) {
        SetTooltipText(tooltip);
    }

    int paintBackground = settings->GetInt("paintbackground", -1);
    if (paintBackground >= 0) {
        SetPaintBackgroundEnabled(paintBackground != 0);
    }
    int paintBorder = settings->GetInt("paintborder", -1);
    if (paintBorder >= 0) {
        SetPaintBorderEnabled(paintBorder != 0);
    }

    if (const char* fieldName = settings->GetString("fieldName", nullptr)) {
        SetName(fieldName);
    }
}

void Panel::WritePosition(KeyValues* settings, const char* key, int screenSize, int coordinate, bool fromEnd,
                          bool fromCentre) {
    char text[32];
    if (fromEnd) {
        std::snprintf(text, sizeof(text), "r%d", Normalized(screenSize - coordinate));
        settings->SetString(key, text);
    } else if (fromCentre) {
        std::snprintf(text, sizeof(text), "c%d", Normalized(coordinate - screenSize / 2));
        settings->SetString(key, text);
    } else {
        settings->SetInt(key, Normalized(coordinate));
    }
}

void Panel::GetSettings(KeyValues* settings) {
    settings->SetString("ControlName", GetClassName());
    settings->SetString("fieldName", GetName());

    int screenWide = 0, screenTall = 0;
    surface()->GetScreenSize(screenWide, screenTall);
    int x = 0, y = 0;
    GetPos(x, y);
    WritePosition(settings, "xpos", screenWide, x, m_xFromRight, m_xFromCentre);
    WritePosition(settings, "ypos", screenTall, y, m_yFromBottom, m_yFromCentre);

    if (*GetTooltipText()) {
        settings->SetString("tooltiptext", GetTooltipText());
    }
    if (int z = GetZPos()) {
        settings->SetInt("zpos", z);
    }
    int wide = 0, tall = 0;
    GetSize(wide, tall);
    settings->SetInt("wide", Normalized(wide));
    settings->SetInt("tall", Normalized(tall));
    settings->SetInt("AutoResize", m_autoResize);
    settings->SetInt("PinCorner", m_pinCorner);
    settings->SetInt("visible", IsVisible() ? 1 : 0);
    settings->SetInt("enabled", IsEnabled() ? 1 : 0);
    settings->SetInt("tabPosition", m_tabPosition);
    settings->SetInt("paintbackground", m_paintBackgroundEnabled ? 1 : 0);
}

const char* Panel::GetDescription() {
    return "string fieldName, int xpos, int ypos, int wide, int tall, bool visible, bool enabled, int tabPosition, "
           "corner pinCorner, autoresize autoResize, string tooltiptext, bool paintbackground";
}

void Panel::ApplyUserConfigSettings(KeyValues*) {}

void Panel::GetUserConfigSettings(KeyValues*) {}

bool Panel::HasUserConfigSettings() { return false; }

}  // namespace vgui2
