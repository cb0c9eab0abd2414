#include "vgui2/Button.h"

#include <cstdio>
#include <cstring>

#include "platform/Text.h"
#include "services/IInput.h"
#include "services/IScheme.h"
#include "services/ISurface.h"
#include "services/ISystem.h"
#include "services/ServicePointers.h"
#include "vgui2/KeyValues.h"

namespace vgui2 {

namespace {

constexpr const char* kUrlPrefix = "url ";
constexpr int kSizeToContentsPadding = 8;

int ClickBit(MouseCode code) { return 1 << (static_cast<int>(code) + 1); }

}  // namespace

void Button::AddMessageHandlers(PanelMessageMap& map) {
    map.Add<&Button::DoClick>("PressButton");
    map.Add<&Button::SetAsDefaultButton>("SetAsDefaultButton", "state");
    map.Add<&Button::SetAsCurrentDefaultButton>("SetAsCurrentDefaultButton", "state");
    map.Add<&Button::OnSetState>("SetState", "state");
}

Button::Button(Panel* parent, const char* panelName, const char* text) : Label(parent, panelName, text) {
    Construct();
}

Button::Button(Panel* parent, const char* panelName, const wchar* text) : Label(parent, panelName, text) {
    Construct();
}

void Button::Construct() {
    SetTextInset(6, 0);
    SetMouseClickEnabled(MOUSE_LEFT, true);
    SetTextColorState(CS_BRIGHT_BASE);
}

Button::~Button() { KeyValues::Destroy(m_command); }

// State ----------------------------------------------------------------------

void Button::StateChanged() {
    InvalidateLayout();
    Repaint();
}

void Button::SetArmed(bool state) {
    if (m_armed != state) {
        m_armed = state;
        StateChanged();
    }
}

bool Button::IsArmed() { return m_armed; }

bool Button::IsDepressed() { return IsEnabled() && (m_forceDepressed || (m_armed && m_selected)); }

void Button::ForceDepressed(bool state) {
    if (m_forceDepressed != state) {
        m_forceDepressed = state;
        StateChanged();
    }
}

void Button::SetSelected(bool state) {
    if (m_selected != state) {
        m_selected = state;
        StateChanged();
    }
}

bool Button::IsSelected() { return m_selected; }

void Button::OnSetState(int state) {
    SetSelected(state != 0);
    Repaint();
}

void Button::SetUseCaptureMouse(bool state) { m_useCaptureMouse = state; }

bool Button::IsUseCaptureMouseEnabled() { return m_useCaptureMouse; }

void Button::SetMouseClickEnabled(MouseCode code, bool state) {
    if (state) {
        m_mouseClickMask |= ClickBit(code);
    } else {
        m_mouseClickMask &= ~ClickBit(code);
    }
}

bool Button::IsMouseClickEnabled(MouseCode code) { return (m_mouseClickMask & ClickBit(code)) != 0; }

void Button::SetButtonActivationType(ActivationType type) { m_activationType = type; }

void Button::SetButtonBorderEnabled(bool state) {
    m_buttonBorderEnabled = state;
    StateChanged();
}

// Clicking -------------------------------------------------------------------

void Button::SetCommand(KeyValues* message) {
    KeyValues::Destroy(m_command);
    m_command = message;
}

void Button::SetCommand(const char* command) {
    KeyValues* message = new KeyValues("Command");
    message->SetString("command", command ? command : "");
    SetCommand(message);
}

void Button::DoClick() {
    SetSelected(true);
    FireActionSignal();
    SetSelected(false);
}

void Button::OnHotkeyPressed() { DoClick(); }

void Button::FireActionSignal() {
    if (!m_command) {
        return;
    }
    if (platform::CompareNoCase(m_command->GetName(), "Command") == 0) {
        const char* command = m_command->GetString("command", "");
        if (platform::CompareNoCaseN(command, kUrlPrefix, std::strlen(kUrlPrefix)) == 0 && std::strstr(command, "://") &&
            system()) {
            system()->ShellExecute("open", command + std::strlen(kUrlPrefix));
        }
    }
    PostActionSignal(m_command->MakeCopy());
}

// Default button -------------------------------------------------------------

bool Button::CanBeDefaultButton() { return true; }

void Button::SetAsDefaultButton(int state) {
    bool value = state != 0;
    if (m_isDefault == value) {
        return;
    }
    m_isDefault = value;
    if (value && GetVParent()) {
        KeyValues* message = new KeyValues("DefaultButtonSet");
        message->SetPtr("button", this);
        PostMessage(GetVParent(), message);
    }
    StateChanged();
}

void Button::SetAsCurrentDefaultButton(int state) {
    bool value = state != 0;
    if (m_isCurrentDefault == value) {
        return;
    }
    m_isCurrentDefault = value;
    if (value && GetVParent()) {
        KeyValues* message = new KeyValues("CurrentDefaultButtonSet");
        message->SetPtr("button", this);
        PostMessage(GetVParent(), message);
    }
    StateChanged();
}

// Look -----------------------------------------------------------------------

void Button::SetDefaultColor(Color fg, Color bg) {
    m_defaultFg = fg;
    m_defaultBg = bg;
    InvalidateLayout();
}

void Button::SetArmedColor(Color fg, Color bg) {
    m_armedFg = fg;
    m_armedBg = bg;
    InvalidateLayout();
}

void Button::SetDepressedColor(Color fg, Color bg) {
    m_depressedFg = fg;
    m_depressedBg = bg;
    InvalidateLayout();
}

Color Button::GetButtonFgColor() {
    return IsDepressed() ? m_depressedFg : IsArmed() ? m_armedFg : m_defaultFg;
}

Color Button::GetButtonBgColor() {
    return IsDepressed() ? m_depressedBg : IsArmed() ? m_armedBg : m_defaultBg;
}

void Button::SetDefaultBorder(IBorder* border) {
    m_defaultBorder = border;
    InvalidateLayout();
}

void Button::SetDepressedBorder(IBorder* border) {
    m_depressedBorder = border;
    InvalidateLayout();
}

void Button::SetKeyFocusBorder(IBorder* border) {
    m_keyFocusBorder = border;
    InvalidateLayout();
}

IBorder* Button::GetBorder(bool depressed, bool, bool, bool keyFocus) {
    if (depressed) {
        return m_depressedBorder;
    }
    // A disabled button cannot be pressed, so it shows no focus either.
    if (m_buttonBorderEnabled && (keyFocus || m_isCurrentDefault) && IsEnabled()) {
        return m_keyFocusBorder;
    }
    return m_defaultBorder;
}

void Button::ApplySchemeSettings(IScheme* schemeData) {
    Label::ApplySchemeSettings(schemeData);
    m_defaultFg = GetSchemeColor("ButtonFgColor", GetFgColor(), schemeData);
    m_defaultBg = GetSchemeColor("ButtonBgColor", GetBgColor(), schemeData);
    m_armedFg = GetSchemeColor("ButtonArmedFgColor", m_defaultFg, schemeData);
    m_armedBg = GetSchemeColor("ButtonArmedBgColor", m_defaultBg, schemeData);
    m_depressedFg = GetSchemeColor("ButtonDepressedFgColor", m_defaultFg, schemeData);
    m_depressedBg = GetSchemeColor("ButtonDepressedBgColor", m_defaultBg, schemeData);
    m_focusBorderColor = GetSchemeColor("ButtonFocusBorder", Color(0, 0, 0, 255), schemeData);
    m_defaultBorder = schemeData->GetBorder("ButtonBorder");
    m_depressedBorder = schemeData->GetBorder("ButtonDepressedBorder");
    m_keyFocusBorder = schemeData->GetBorder("ButtonKeyFocusBorder");
    InvalidateLayout();
}

void Button::PerformLayout() {
    IBorder* border = GetBorder(IsDepressed(), IsArmed(), IsSelected(), HasFocus());
    if (border != Panel::GetBorder()) {
        SetBorder(border);
    }
    SetFgColor(GetButtonFgColor());
    SetBgColor(GetButtonBgColor());
    Label::PerformLayout();
}

void Button::Paint() {
    Label::Paint();
    if (HasFocus() && IsEnabled()) {
        int wide = 0, tall = 0;
        GetSize(wide, tall);
        DrawFocusBorder(3, 3, wide - 4, tall - 2);
    }
}

void Button::DrawFocusBorder(int x0, int y0, int x1, int y1) {
    surface()->DrawSetColor(m_focusBorderColor);
    DrawDashedLine(x0, y0, x1, y0, 1, 1);
    DrawDashedLine(x0, y0, x0, y1, 1, 1);
    DrawDashedLine(x0, y1 - 1, x1, y1 - 1, 1, 1);
    DrawDashedLine(x1 - 1, y0, x1 - 1, y1, 1, 1);
}

void Button::SizeToContents() {
    int wide = 0, tall = 0;
    GetContentSize(wide, tall);
    SetSize(wide + kSizeToContentsPadding, tall + kSizeToContentsPadding);
}

// Mouse and keys -------------------------------------------------------------

void Button::OnCursorEntered() {
    if (IsEnabled()) {
        SetArmed(true);
    }
}

void Button::OnCursorExited() {
    if (!m_keyActivation) {
        SetArmed(false);
    }
}

void Button::ReleaseMouseCapture() {
    // Only our own capture: another panel's must survive a stray release.
    if (input()->GetMouseCapture() == GetVPanel()) {
        input()->SetMouseCapture(kNoPanel);
    }
}

void Button::OnMousePressed(MouseCode code) {
    if (!IsMouseClickEnabled(code) || !IsEnabled()) {
        return;
    }
    if (m_activationType == ACTIVATE_ONPRESSED) {
        DoClick();
        return;
    }
    if (m_activationType == ACTIVATE_ONPRESSEDANDRELEASED && m_useCaptureMouse) {
        RequestFocus();
        SetSelected(true);
        Repaint();
        input()->SetMouseCapture(GetVPanel());
    }
}

void Button::OnMouseReleased(MouseCode code) {
    if (m_useCaptureMouse) {
        ReleaseMouseCapture();
    }
    if (m_activationType == ACTIVATE_ONPRESSED || !IsMouseClickEnabled(code)) {
        return;
    }
    if (m_activationType == ACTIVATE_ONPRESSEDANDRELEASED && !IsSelected()) {
        return;
    }
    if (IsEnabled() && (IsCursorOver() || m_keyActivation)) {
        DoClick();
    } else {
        SetSelected(false);
    }
    Repaint();
}

bool Button::IsActivationKey(KeyCode code) { return code == KEY_SPACE || code == KEY_ENTER; }

void Button::OnKeyCodePressed(KeyCode code) {
    if (!IsActivationKey(code)) {
        Label::OnKeyCodePressed(code);
        return;
    }
    SetArmed(true);
    m_keyActivation = true;
    OnMousePressed(MOUSE_LEFT);
    if (m_useCaptureMouse) {
        ReleaseMouseCapture();
    }
}

void Button::OnKeyCodeTyped(KeyCode code) {
    // Space and Enter act on release; passing their typed form on as well
    // would let the container press its default button (often this one)
    // a second time.
    if (IsActivationKey(code) && IsEnabled()) {
        return;
    }
    Label::OnKeyCodeTyped(code);
}

void Button::OnKeyCodeReleased(KeyCode code) {
    if (IsActivationKey(code)) {
        if (m_keyActivation) {
            SetArmed(true);
            OnMouseReleased(MOUSE_LEFT);
        }
    } else {
        Label::OnKeyCodeReleased(code);
    }
    m_keyActivation = false;
    SetArmed(false);
}

// Requests and settings ------------------------------------------------------

bool Button::RequestInfo(KeyValues* outputData) {
    const char* name = outputData->GetName();
    if (platform::CompareNoCase(name, "CanBeDefaultButton") == 0) {
        outputData->SetInt("result", CanBeDefaultButton() ? 1 : 0);
        return true;
    }
    if (platform::CompareNoCase(name, "GetState") == 0) {
        outputData->SetInt("state", IsSelected() ? 1 : 0);
        return true;
    }
    if (platform::CompareNoCase(name, "GetCommand") == 0) {
        outputData->SetString("command", m_command ? m_command->GetString("command", "") : "");
        return true;
    }
    return Label::RequestInfo(outputData);
}

void Button::ApplySettings(KeyValues* settings) {
    Label::ApplySettings(settings);
    SetTextColorState(CS_BRIGHT_BASE);
    const char* command = settings->GetString("command", "");
    if (*command) {
        SetCommand(command);
    }
    if (settings->GetInt("default", 0) && CanBeDefaultButton()) {
        SetAsDefaultButton(1);
    }
}

void Button::GetSettings(KeyValues* settings) {
    Label::GetSettings(settings);
    if (m_command) {
        settings->SetString("command", m_command->GetString("command", ""));
    }
    settings->SetInt("default", m_isDefault ? 1 : 0);
}

const char* Button::GetDescription() {
    static char description[512];
    std::snprintf(description, sizeof(description), "%s, string command, int default", Label::GetDescription());
    return description;
}

}  // namespace vgui2
