#include "modules/updvgui2/InputSystem.h"

#include <cstdio>

#include "modules/updvgui2/ModuleServices.h"
#include "modules/updvgui2/PanelService.h"
#include "vgui2/KeyValues.h"

using vgui2::kNoPanel;
using vgui2::KeyCode;
using vgui2::MouseCode;
using vgui2::VPANEL;

namespace {

// Names of the keys that are not a single letter or digit.
struct KeyName {
    KeyCode code;
    const char* name;
};

constexpr KeyName kKeyNames[] = {
    {vgui2::KEY_ENTER, "ENTER"},       {vgui2::KEY_SPACE, "SPACE"},      {vgui2::KEY_BACKSPACE, "BACKSPACE"},
    {vgui2::KEY_TAB, "TAB"},           {vgui2::KEY_CAPSLOCK, "CAPSLOCK"}, {vgui2::KEY_NUMLOCK, "NUMLOCK"},
    {vgui2::KEY_ESCAPE, "ESCAPE"},     {vgui2::KEY_SCROLLLOCK, "SCROLLLOCK"},
    {vgui2::KEY_INSERT, "INS"},        {vgui2::KEY_DELETE, "DEL"},       {vgui2::KEY_HOME, "HOME"},
    {vgui2::KEY_END, "END"},           {vgui2::KEY_PAGEUP, "PGUP"},      {vgui2::KEY_PAGEDOWN, "PGDN"},
    {vgui2::KEY_BREAK, "PAUSE"},       {vgui2::KEY_LSHIFT, "SHIFT"},     {vgui2::KEY_RSHIFT, "RSHIFT"},
    {vgui2::KEY_LALT, "ALT"},          {vgui2::KEY_RALT, "RALT"},        {vgui2::KEY_LCONTROL, "CTRL"},
    {vgui2::KEY_RCONTROL, "RCTRL"},    {vgui2::KEY_LWIN, "LWIN"},        {vgui2::KEY_RWIN, "RWIN"},
    {vgui2::KEY_APP, "APP"},           {vgui2::KEY_UP, "UPARROW"},       {vgui2::KEY_LEFT, "LEFTARROW"},
    {vgui2::KEY_DOWN, "DOWNARROW"},    {vgui2::KEY_RIGHT, "RIGHTARROW"}, {vgui2::KEY_PAD_ENTER, "KP_ENTER"},
    {vgui2::KEY_PAD_DIVIDE, "KP_SLASH"}, {vgui2::KEY_PAD_MULTIPLY, "KP_MULTIPLY"},
    {vgui2::KEY_PAD_MINUS, "KP_MINUS"}, {vgui2::KEY_PAD_PLUS, "KP_PLUS"}, {vgui2::KEY_PAD_DECIMAL, "KP_DEL"},
    {vgui2::KEY_LBRACKET, "["},        {vgui2::KEY_RBRACKET, "]"},       {vgui2::KEY_SEMICOLON, ";"},
    {vgui2::KEY_APOSTROPHE, "'"},      {vgui2::KEY_BACKQUOTE, "`"},      {vgui2::KEY_COMMA, ","},
    {vgui2::KEY_PERIOD, "."},          {vgui2::KEY_SLASH, "/"},          {vgui2::KEY_BACKSLASH, "\\"},
    {vgui2::KEY_MINUS, "-"},           {vgui2::KEY_EQUAL, "="},
};

}  // namespace

CInputSystem::ButtonStates* CInputSystem::Key(std::array<ButtonStates, kKeyCount>& keys, KeyCode code) {
    return code >= 0 && code < kKeyCount ? &keys[static_cast<std::size_t>(code)] : nullptr;
}

void CInputSystem::BeginFrame() {
    for (ButtonStates& key : m_keys) {
        key.pressed = key.doublePressed = key.released = key.typed = false;
    }
    for (ButtonStates& button : m_buttons) {
        button.pressed = button.doublePressed = button.released = button.typed = false;
    }
}

void CInputSystem::PanelDeleted(VPANEL panel) {
    for (VPANEL* slot : {&m_keyFocus, &m_mouseOver, &m_mouseCapture, &m_appModal}) {
        if (*slot == panel) {
            *slot = kNoPanel;
        }
    }
}

bool CInputSystem::AcceptsInput(VPANEL panel) {
    return panel != kNoPanel && ThePanelServiceImpl().Exists(panel) &&
           (m_appModal == kNoPanel || ThePanelServiceImpl().HasParent(panel, m_appModal));
}

void CInputSystem::Send(VPANEL target, KeyValues* message) {
    ThePanelServiceImpl().SendMessage(target, message, kNoPanel);
    message->deleteThis();
}

void CInputSystem::SendCode(VPANEL target, const char* name, const char* key, int value) {
    if (target == kNoPanel) {
        return;
    }
    KeyValues* message = new KeyValues(name);
    message->SetInt(key, value);
    Send(target, message);
}

VPANEL CInputSystem::HitTest(int x, int y) {
    CPanelService& panels = ThePanelServiceImpl();
    std::vector<VPANEL> roots = panels.RootPanels();
    // The newest tree is the one on top.
    for (auto it = roots.rbegin(); it != roots.rend(); ++it) {
        if (VPANEL hit = panels.IsWithinTraverse(*it, x, y, true); hit != kNoPanel) {
            return hit;
        }
    }
    return kNoPanel;
}

VPANEL CInputSystem::PointerTarget() const { return m_mouseCapture != kNoPanel ? m_mouseCapture : m_mouseOver; }

VPANEL CInputSystem::KeyTarget() { return AcceptsInput(m_keyFocus) ? m_keyFocus : kNoPanel; }

void CInputSystem::SetMouseFocus(VPANEL newMouseFocus) {
    if (!AcceptsInput(newMouseFocus)) {
        newMouseFocus = kNoPanel;
    }
    if (newMouseFocus == m_mouseOver) {
        return;
    }
    VPANEL previous = m_mouseOver;
    m_mouseOver = newMouseFocus;
    if (ThePanelServiceImpl().Exists(previous)) {
        Send(previous, new KeyValues("CursorExited"));
    }
    if (m_mouseOver != kNoPanel) {
        Send(m_mouseOver, new KeyValues("CursorEntered"));
    }
}

void CInputSystem::SetMouseCapture(VPANEL panel) {
    if (panel != kNoPanel && !AcceptsInput(panel)) {
        return;
    }
    if (panel == m_mouseCapture) {
        return;
    }
    VPANEL previous = m_mouseCapture;
    m_mouseCapture = panel;
    vgui2::ISurface* surface = ModuleSurface();
    if (surface && previous != kNoPanel) {
        surface->EnableMouseCapture(previous, false);
    }
    if (surface && panel != kNoPanel) {
        surface->EnableMouseCapture(panel, true);
    }
    if (ThePanelServiceImpl().Exists(previous)) {
        Send(previous, new KeyValues("MouseCaptureLost"));
    }
}

VPANEL CInputSystem::GetMouseCapture() { return m_mouseCapture; }

VPANEL CInputSystem::GetFocus() { return m_keyFocus; }

VPANEL CInputSystem::GetMouseOver() { return m_mouseOver; }

void CInputSystem::SetKeyFocus(VPANEL panel) {
    if (panel != kNoPanel && !AcceptsInput(panel)) {
        return;
    }
    if (panel == m_keyFocus) {
        return;
    }
    VPANEL previous = m_keyFocus;
    m_keyFocus = panel;
    CPanelService& panels = ThePanelServiceImpl();
    if (panels.Exists(previous)) {
        panels.InternalFocusChanged(previous, true);
        Send(previous, new KeyValues("KillFocus"));
    }
    // The old panel's handlers may have moved the focus on already.
    if (m_keyFocus == panel && panel != kNoPanel) {
        panels.InternalFocusChanged(panel, false);
        Send(panel, new KeyValues("SetFocus"));
    }
}

void CInputSystem::SetCursorPos(int x, int y) {
    m_cursorX = x;
    m_cursorY = y;
    if (vgui2::ISurface* surface = ModuleSurface()) {
        surface->SurfaceSetCursorPos(x, y);
    }
}

void CInputSystem::GetCursorPos(int& x, int& y) {
    x = m_cursorX;
    y = m_cursorY;
}

vgui2::HCursor CInputSystem::GetCursorOveride() { return m_cursorOverride; }

void CInputSystem::SetCursorOveride(vgui2::HCursor cursor) { m_cursorOverride = cursor; }

bool CInputSystem::WasMousePressed(MouseCode code) {
    return code >= 0 && code < kMouseCount && m_buttons[static_cast<std::size_t>(code)].pressed;
}

bool CInputSystem::WasMouseDoublePressed(MouseCode code) {
    return code >= 0 && code < kMouseCount && m_buttons[static_cast<std::size_t>(code)].doublePressed;
}

bool CInputSystem::IsMouseDown(MouseCode code) {
    return code >= 0 && code < kMouseCount && m_buttons[static_cast<std::size_t>(code)].down;
}

bool CInputSystem::WasMouseReleased(MouseCode code) {
    return code >= 0 && code < kMouseCount && m_buttons[static_cast<std::size_t>(code)].released;
}

bool CInputSystem::WasKeyPressed(KeyCode code) {
    ButtonStates* key = Key(m_keys, code);
    return key && key->pressed;
}

bool CInputSystem::IsKeyDown(KeyCode code) {
    ButtonStates* key = Key(m_keys, code);
    return key && key->down;
}

bool CInputSystem::WasKeyTyped(KeyCode code) {
    ButtonStates* key = Key(m_keys, code);
    return key && key->typed;
}

bool CInputSystem::WasKeyReleased(KeyCode code) {
    ButtonStates* key = Key(m_keys, code);
    return key && key->released;
}

void CInputSystem::GetKeyCodeText(KeyCode code, char* buffer, int bufferSize) {
    if (!buffer || bufferSize <= 0) {
        return;
    }
    char single[2] = {0, 0};
    const char* name = "";
    if (code >= vgui2::KEY_0 && code <= vgui2::KEY_9) {
        single[0] = static_cast<char>('0' + (code - vgui2::KEY_0));
        name = single;
    } else if (code >= vgui2::KEY_A && code <= vgui2::KEY_Z) {
        single[0] = static_cast<char>('A' + (code - vgui2::KEY_A));
        name = single;
    } else if (code >= vgui2::KEY_PAD_0 && code <= vgui2::KEY_PAD_9) {
        static const char* const kPadDigits[] = {"KP_0", "KP_1", "KP_2", "KP_3", "KP_4",
                                                 "KP_5", "KP_6", "KP_7", "KP_8", "KP_9"};
        name = kPadDigits[code - vgui2::KEY_PAD_0];
    } else if (code >= vgui2::KEY_F1 && code <= vgui2::KEY_F12) {
        std::snprintf(buffer, static_cast<std::size_t>(bufferSize), "F%d", code - vgui2::KEY_F1 + 1);
        return;
    } else {
        for (const KeyName& entry : kKeyNames) {
            if (entry.code == code) {
                name = entry.name;
                break;
            }
        }
    }
    std::snprintf(buffer, static_cast<std::size_t>(bufferSize), "%s", name);
}

VPANEL CInputSystem::GetAppModalSurface() { return m_appModal; }

void CInputSystem::SetAppModalSurface(VPANEL panel) {
    m_appModal = ThePanelServiceImpl().Exists(panel) ? panel : kNoPanel;
}

void CInputSystem::ReleaseAppModalSurface() { m_appModal = kNoPanel; }

void CInputSystem::InternalCursorMoved(int x, int y) {
    m_cursorX = x;
    m_cursorY = y;
    SetMouseFocus(HitTest(x, y));
    VPANEL target = PointerTarget();
    if (target == kNoPanel) {
        return;
    }
    KeyValues* message = new KeyValues("CursorMoved");
    message->SetInt("xpos", x);
    message->SetInt("ypos", y);
    Send(target, message);
}

void CInputSystem::InternalMousePressed(MouseCode code) {
    if (code < 0 || code >= kMouseCount) {
        return;
    }
    ButtonStates& button = m_buttons[static_cast<std::size_t>(code)];
    button.down = true;
    button.pressed = true;
    VPANEL target = PointerTarget();
    if (target == kNoPanel) {
        return;
    }
    // A click brings the clicked window forward and gives it the keyboard.
    if (vgui2::ISurface* surface = ModuleSurface(); surface && m_mouseCapture == kNoPanel) {
        surface->SetTopLevelFocus(target);
    }
    SendCode(target, "MousePressed", "code", code);
}

void CInputSystem::InternalMouseDoublePressed(MouseCode code) {
    if (code < 0 || code >= kMouseCount) {
        return;
    }
    ButtonStates& button = m_buttons[static_cast<std::size_t>(code)];
    button.down = true;
    button.doublePressed = true;
    SendCode(PointerTarget(), "MouseDoublePressed", "code", code);
}

void CInputSystem::InternalMouseReleased(MouseCode code) {
    if (code < 0 || code >= kMouseCount) {
        return;
    }
    ButtonStates& button = m_buttons[static_cast<std::size_t>(code)];
    button.down = false;
    button.released = true;
    SendCode(PointerTarget(), "MouseReleased", "code", code);
}

void CInputSystem::InternalMouseWheeled(int delta) { SendCode(PointerTarget(), "MouseWheeled", "delta", delta); }

void CInputSystem::InternalKeyCodePressed(KeyCode code) {
    ButtonStates* key = Key(m_keys, code);
    if (!key) {
        return;
    }
    key->down = true;
    key->pressed = true;
    SendCode(KeyTarget(), "KeyCodePressed", "code", code);
}

void CInputSystem::InternalKeyCodeTyped(KeyCode code) {
    ButtonStates* key = Key(m_keys, code);
    if (!key) {
        return;
    }
    key->typed = true;
    SendCode(KeyTarget(), "KeyCodeTyped", "code", code);
}

void CInputSystem::InternalKeyTyped(vgui2::wchar unichar) { SendCode(KeyTarget(), "KeyTyped", "unichar", unichar); }

void CInputSystem::InternalKeyCodeReleased(KeyCode code) {
    ButtonStates* key = Key(m_keys, code);
    if (!key) {
        return;
    }
    key->down = false;
    key->released = true;
    SendCode(KeyTarget(), "KeyCodeReleased", "code", code);
}

CInputSystem& TheInputImpl() {
    static CInputSystem instance;
    return instance;
}

vgui2::IInput& TheInput() { return TheInputImpl(); }
