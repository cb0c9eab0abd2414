#include "vgui2/EditablePanel.h"

#include <cstdio>

#include "platform/Text.h"
#include "services/IPanel.h"
#include "services/ISystem.h"
#include "vgui2/ControlFactory.h"
#include "vgui2/KeyValues.h"
#include "vgui2/PanelHandles.h"

namespace vgui2 {

namespace {

constexpr int kSharedChildTextSize = 511;

}  // namespace

void EditablePanel::AddMessageHandlers(PanelMessageMap& map) {
    map.Add<&EditablePanel::OnDefaultButtonSet>("DefaultButtonSet", "button");
    map.Add<&EditablePanel::OnCurrentDefaultButtonSet>("CurrentDefaultButtonSet", "button");
    map.Add<&EditablePanel::OnFindDefaultButton>("FindDefaultButton");
}

EditablePanel::EditablePanel(Panel* parent, const char* panelName)
    : Panel(parent, panelName), m_buildGroup(this, this), m_navGroup(this) {
    GetSize(m_baseWide, m_baseTall);
}

EditablePanel::~EditablePanel() { KeyValues::Destroy(m_dialogVariables); }

// Layout files --------------------------------------------------------------

bool EditablePanel::LoadLayoutFile(const char* fileName, const char* pathId) {
    bool loaded = m_buildGroup.LoadLayoutFile(fileName, pathId);
    if (m_dialogVariables) {
        SendDialogVariables();
    }
    InvalidateLayout();
    return loaded;
}

void EditablePanel::RegisterLayoutFile(const char* fileName, const char* pathId) {
    m_buildGroup.RegisterControlSettingsFile(fileName, pathId);
}

void EditablePanel::EnterBuildMode() { m_buildGroup.SetEnabled(true); }

Panel* EditablePanel::CreateControl(const char* controlName) { return CreateControlByName(controlName); }

void EditablePanel::OnChildAdded(VPANEL child) {
    Panel* panel = PanelFromId(child);
    if (!panel) {
        return;
    }
    panel->SetBuildGroup(&m_buildGroup);
    panel->AddActionSignalTarget(this);
}

void EditablePanel::ApplySettings(KeyValues* inResourceData) {
    Panel::ApplySettings(inResourceData);
    // A section nested in the container's own settings configures its
    // children.
    m_buildGroup.ApplySettings(inResourceData);
    GetSize(m_baseWide, m_baseTall);
}

bool EditablePanel::RequestInfo(KeyValues* outputData) {
    if (platform::CompareNoCase(outputData->GetName(), "ControlFactory") == 0) {
        if (Panel* control = CreateControl(outputData->GetString("ControlName", ""))) {
            outputData->SetPtr("PanelPtr", control);
            return true;
        }
    }
    // Unknown controls fall back to an outer container's factory.
    return Panel::RequestInfo(outputData);
}

// User config ---------------------------------------------------------------

void EditablePanel::ForEachUserConfigChild(KeyValues* data, bool apply) {
    for (int i = 0, count = GetChildCount(); i < count; ++i) {
        Panel* child = GetChild(i);
        if (!child || !child->HasUserConfigSettings() || !*child->GetName()) {
            continue;
        }
        KeyValues* section = data->FindKey(child->GetName(), true);
        if (apply) {
            child->ApplyUserConfigSettings(section);
        } else {
            child->GetUserConfigSettings(section);
        }
    }
}

void EditablePanel::ReadUserConfig(const char* configName, int dialogId) {
    m_configName = configName ? configName : "";
    m_hasConfigName = configName != nullptr;
    m_configId = dialogId;
    if (!configName || !system()) {
        return;
    }
    if (KeyValues* data = system()->GetUserConfigFileData(configName, dialogId)) {
        ForEachUserConfigChild(data, true);
    }
}

void EditablePanel::WriteUserConfig() {
    if (!m_hasConfigName || !system()) {
        return;
    }
    if (KeyValues* data = system()->GetUserConfigFileData(m_configName.c_str(), m_configId)) {
        ForEachUserConfigChild(data, false);
    }
}

void EditablePanel::LoadLayoutAndUserConfig(const char* fileName, int dialogId) {
    LoadLayoutFile(fileName);
    ReadUserConfig(fileName, dialogId);
}

// Children by name ----------------------------------------------------------

void EditablePanel::SetChildText(const char* childName, const char* text) {
    KeyValues* message = new KeyValues("SetText");
    message->SetString("text", text ? text : "");
    PostMessageToChild(childName, message);
}

void EditablePanel::SetChildState(const char* childName, int state) {
    PostMessageToChild(childName, new KeyValues("SetState", "state", state));
}

int EditablePanel::GetChildState(const char* childName, int defaultState) {
    KeyValues* request = new KeyValues("GetState");
    int state = RequestInfoFromChild(childName, request) ? request->GetInt("state", defaultState) : defaultState;
    request->deleteThis();
    return state;
}

void EditablePanel::GetChildText(const char* childName, char* buffer, int size, const char* defaultText) {
    if (!buffer || size <= 0) {
        return;
    }
    KeyValues* request = new KeyValues("GetText");
    const char* text = RequestInfoFromChild(childName, request) ? request->GetString("text", defaultText) : defaultText;
    std::snprintf(buffer, static_cast<std::size_t>(size), "%s", text ? text : "");
    request->deleteThis();
}

const char* EditablePanel::GetChildText(const char* childName, const char* defaultText) {
    static char shared[kSharedChildTextSize + 1];
    GetChildText(childName, shared, kSharedChildTextSize, defaultText);
    return shared;
}

void EditablePanel::EnableChild(const char* childName, bool enabled) {
    if (Panel* child = FindChildByName(childName)) {
        child->SetEnabled(enabled);
    }
}

void EditablePanel::ShowChild(const char* childName, bool visible) {
    if (Panel* child = FindChildByName(childName)) {
        child->SetVisible(visible);
    }
}

// Dialog variables ----------------------------------------------------------

KeyValues* EditablePanel::GetDialogVariables() {
    if (!m_dialogVariables) {
        m_dialogVariables = new KeyValues("DialogVariables");
    }
    return m_dialogVariables;
}

void EditablePanel::SendDialogVariables() {
    KeyValues* variables = GetDialogVariables();
    ipanel()->SendMessage(GetVPanel(), variables, GetVPanel());
    for (int i = 0, count = ipanel()->GetChildCount(GetVPanel()); i < count; ++i) {
        ipanel()->SendMessage(ipanel()->GetChild(GetVPanel(), i), variables, GetVPanel());
    }
}

void EditablePanel::SetVariable(const char* name, float value) {
    GetDialogVariables()->SetFloat(name, value);
    SendDialogVariables();
}

void EditablePanel::SetVariable(const char* name, int value) {
    GetDialogVariables()->SetInt(name, value);
    SendDialogVariables();
}

void EditablePanel::SetVariable(const char* name, const wchar* value) {
    GetDialogVariables()->SetWString(name, value);
    SendDialogVariables();
}

void EditablePanel::SetVariable(const char* name, const char* value) {
    GetDialogVariables()->SetString(name, value);
    SendDialogVariables();
}

// Keys, focus and default buttons --------------------------------------------

void EditablePanel::OnKeyCodeTyped(KeyCode code) {
    if (code == KEY_ENTER || code == KEY_PAD_ENTER) {
        Panel* button = PanelFromId(m_navGroup.GetCurrentDefaultButton());
        if (button && button->IsVisible() && button->IsEnabled()) {
            PostMessage(button, new KeyValues("Hotkey"));
            return;
        }
    }
    Panel::OnKeyCodeTyped(code);
}

void EditablePanel::OnRequestFocus(VPANEL subFocus, VPANEL defaultPanel) {
    if (!ipanel()->IsPopup(subFocus)) {
        m_navGroup.SetCurrentFocus(subFocus, defaultPanel);
    }
    Panel::OnRequestFocus(subFocus, defaultPanel);
}

void EditablePanel::OnSetFocus() {
    Panel* focus = m_navGroup.GetCurrentFocus();
    if (focus && focus != this) {
        focus->RequestFocus();
    } else if (Panel* first = m_navGroup.GetDefaultPanel()) {
        first->RequestFocus();
    } else {
        Panel::OnSetFocus();
    }
}

void EditablePanel::RequestFocus(int direction) {
    if (direction == 1) {
        RequestFocusNext();
    } else if (direction == -1) {
        RequestFocusPrev();
    } else {
        Panel::RequestFocus(direction);
    }
}

bool EditablePanel::RequestFocusPrev(VPANEL existingPanel) { return m_navGroup.RequestFocusPrev(existingPanel); }

bool EditablePanel::RequestFocusNext(VPANEL existingPanel) { return m_navGroup.RequestFocusNext(existingPanel); }

VPANEL EditablePanel::GetCurrentKeyFocus() {
    Panel* focus = m_navGroup.GetCurrentFocus();
    if (!focus || focus == this || focus->IsPopup()) {
        return kNoPanel;
    }
    VPANEL inner = ipanel()->GetCurrentKeyFocus(focus->GetVPanel());
    return inner ? inner : focus->GetVPanel();
}

Panel* EditablePanel::HasHotkey(wchar key) {
    if (!IsVisible() || !IsEnabled()) {
        return nullptr;
    }
    return m_navGroup.FindPanelByHotkey(key);
}

void EditablePanel::OnDefaultButtonSet(Panel* button) { m_navGroup.SetDefaultButton(button); }

void EditablePanel::OnCurrentDefaultButtonSet(Panel* button) {
    m_navGroup.SetCurrentDefaultButton(button ? button->GetVPanel() : kNoPanel, false);
    if (VPANEL parent = GetVParent()) {
        KeyValues* message = new KeyValues("CurrentDefaultButtonSet");
        message->SetPtr("button", button);
        PostMessage(parent, message);
    }
}

void EditablePanel::OnFindDefaultButton() {
    if (VPANEL button = m_navGroup.GetDefaultButton()) {
        m_navGroup.SetCurrentDefaultButton(button, true);
    } else if (VPANEL parent = GetVParent()) {
        PostMessage(parent, new KeyValues("FindDefaultButton"));
    }
}

void EditablePanel::PostChildPaint() {
    if (m_buildGroup.IsEnabled()) {
        m_buildGroup.DrawRulers();
    }
    Panel::PostChildPaint();
}

// Resizing -------------------------------------------------------------------

void EditablePanel::OnSizeChanged(int newWide, int newTall) {
    PinChildren(newWide, newTall);
    m_baseWide = newWide;
    m_baseTall = newTall;
    Panel::OnSizeChanged(newWide, newTall);
}

void EditablePanel::PinChildren(int newWide, int newTall) {
    int dx = newWide - m_baseWide;
    int dy = newTall - m_baseTall;
    for (int i = 0, count = GetChildCount(); i < count; ++i) {
        Panel* child = GetChild(i);
        if (!child) {
            continue;
        }
        int x = 0, y = 0, wide = 0, tall = 0;
        child->GetBounds(x, y, wide, tall);
        int corner = child->GetPinCorner();
        int resize = child->GetAutoResize();
        if (corner == 1 || corner == 3) {
            x += dx;
        }
        if (corner == 2 || corner == 3) {
            y += dy;
        }
        if (resize == 1 || resize == 3) {
            wide += dx;
        }
        if (resize == 2 || resize == 3) {
            tall += dy;
        }
        if (x + wide > newWide) {
            wide = newWide - x;
        } else if (y + tall > newTall) {
            tall = newTall - y;
        }
        if (wide < 0 || tall < 0) {
            continue;
        }
        child->SetBounds(x, y, wide, tall);
        child->InvalidateLayout();
    }
}

}  // namespace vgui2
