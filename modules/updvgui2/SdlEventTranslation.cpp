#include "modules/updvgui2/SdlEventTranslation.h"

#include "vgui2/TextConvert.h"

namespace sdlinput {

using namespace vgui2;

namespace {

struct KeyPair {
    SDL_Keycode symbol;
    KeyCode code;
};

// Every key the toolkit numbers apart from letters and digits, which follow
// contiguous ranges on both sides and are handled before the table.
constexpr KeyPair kKeyTable[] = {
    {SDLK_KP_0, KEY_PAD_0}, {SDLK_KP_1, KEY_PAD_1}, {SDLK_KP_2, KEY_PAD_2}, {SDLK_KP_3, KEY_PAD_3},
    {SDLK_KP_4, KEY_PAD_4}, {SDLK_KP_5, KEY_PAD_5}, {SDLK_KP_6, KEY_PAD_6}, {SDLK_KP_7, KEY_PAD_7},
    {SDLK_KP_8, KEY_PAD_8}, {SDLK_KP_9, KEY_PAD_9},
    {SDLK_KP_DIVIDE, KEY_PAD_DIVIDE}, {SDLK_KP_MULTIPLY, KEY_PAD_MULTIPLY}, {SDLK_KP_MINUS, KEY_PAD_MINUS},
    {SDLK_KP_PLUS, KEY_PAD_PLUS}, {SDLK_KP_ENTER, KEY_PAD_ENTER}, {SDLK_KP_PERIOD, KEY_PAD_DECIMAL},
    {SDLK_LEFTBRACKET, KEY_LBRACKET}, {SDLK_RIGHTBRACKET, KEY_RBRACKET}, {SDLK_SEMICOLON, KEY_SEMICOLON},
    {SDLK_QUOTE, KEY_APOSTROPHE}, {SDLK_BACKQUOTE, KEY_BACKQUOTE}, {SDLK_COMMA, KEY_COMMA},
    {SDLK_PERIOD, KEY_PERIOD}, {SDLK_SLASH, KEY_SLASH}, {SDLK_BACKSLASH, KEY_BACKSLASH},
    {SDLK_MINUS, KEY_MINUS}, {SDLK_EQUALS, KEY_EQUAL},
    {SDLK_RETURN, KEY_ENTER}, {SDLK_RETURN2, KEY_ENTER}, {SDLK_SPACE, KEY_SPACE},
    {SDLK_BACKSPACE, KEY_BACKSPACE}, {SDLK_TAB, KEY_TAB}, {SDLK_CAPSLOCK, KEY_CAPSLOCK},
    {SDLK_NUMLOCKCLEAR, KEY_NUMLOCK}, {SDLK_ESCAPE, KEY_ESCAPE}, {SDLK_SCROLLLOCK, KEY_SCROLLLOCK},
    {SDLK_INSERT, KEY_INSERT}, {SDLK_DELETE, KEY_DELETE}, {SDLK_HOME, KEY_HOME}, {SDLK_END, KEY_END},
    {SDLK_PAGEUP, KEY_PAGEUP}, {SDLK_PAGEDOWN, KEY_PAGEDOWN}, {SDLK_PAUSE, KEY_BREAK},
    {SDLK_LSHIFT, KEY_LSHIFT}, {SDLK_RSHIFT, KEY_RSHIFT}, {SDLK_LALT, KEY_LALT}, {SDLK_RALT, KEY_RALT},
    {SDLK_LCTRL, KEY_LCONTROL}, {SDLK_RCTRL, KEY_RCONTROL}, {SDLK_LGUI, KEY_LWIN}, {SDLK_RGUI, KEY_RWIN},
    {SDLK_APPLICATION, KEY_APP},
    {SDLK_UP, KEY_UP}, {SDLK_LEFT, KEY_LEFT}, {SDLK_DOWN, KEY_DOWN}, {SDLK_RIGHT, KEY_RIGHT},
    {SDLK_F1, KEY_F1}, {SDLK_F2, KEY_F2}, {SDLK_F3, KEY_F3}, {SDLK_F4, KEY_F4}, {SDLK_F5, KEY_F5},
    {SDLK_F6, KEY_F6}, {SDLK_F7, KEY_F7}, {SDLK_F8, KEY_F8}, {SDLK_F9, KEY_F9}, {SDLK_F10, KEY_F10},
    {SDLK_F11, KEY_F11}, {SDLK_F12, KEY_F12},
};

KeyCode KeyCodeFromSymbol(SDL_Keycode symbol) {
    if (symbol >= SDLK_a && symbol <= SDLK_z) {
        return static_cast<KeyCode>(KEY_A + (symbol - SDLK_a));
    }
    if (symbol >= SDLK_0 && symbol <= SDLK_9) {
        return static_cast<KeyCode>(KEY_0 + (symbol - SDLK_0));
    }
    for (const KeyPair& pair : kKeyTable) {
        if (pair.symbol == symbol) {
            return pair.code;
        }
    }
    return KEY_NONE;
}

void AppendWindowEvent(const SDL_WindowEvent& window, std::vector<InputAction>& out) {
    InputKind kind;
    switch (window.event) {
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            kind = InputKind::WindowExposed;
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            kind = InputKind::WindowFocusGained;
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            kind = InputKind::WindowMinimized;
            break;
        case SDL_WINDOWEVENT_RESTORED:
            kind = InputKind::WindowRestored;
            break;
        case SDL_WINDOWEVENT_CLOSE:
            kind = InputKind::WindowCloseRequested;
            break;
        default:
            return;
    }
    out.push_back({.kind = kind, .windowId = window.windowID});
}

// SDL delivers UTF-8; the toolkit types one UTF-16 unit at a time. Characters
// outside the basic plane would arrive as two halves that no control can
// take apart again, so they are left out rather than typed as garbage.
void AppendTypedText(const SDL_TextInputEvent& text, std::vector<InputAction>& out) {
    wchar wide[SDL_TEXTINPUTEVENT_TEXT_SIZE + 1];
    int count = Utf8ToWide(text.text, wide, static_cast<int>(sizeof(wide)));
    for (int i = 0; i < count; ++i) {
        if (wide[i] >= 0xD800 && wide[i] <= 0xDFFF) {
            continue;
        }
        out.push_back({.kind = InputKind::KeyTyped, .windowId = text.windowID, .unichar = wide[i]});
    }
}

void AppendMouseButton(const SDL_MouseButtonEvent& button, std::vector<InputAction>& out) {
    int code = MouseCodeFromSdl(button.button);
    if (code < 0) {
        return;
    }
    // The press carries its own position; reporting it first lets hit testing
    // see where the click happened even when no motion event preceded it.
    out.push_back({.kind = InputKind::CursorMoved, .windowId = button.windowID, .x = button.x, .y = button.y});
    InputKind kind = InputKind::MouseReleased;
    if (button.type == SDL_MOUSEBUTTONDOWN) {
        // Every second click of a run is the double press, as the toolkit
        // expects it in place of a plain press.
        kind = (button.clicks >= 2 && button.clicks % 2 == 0) ? InputKind::MouseDoublePressed
                                                              : InputKind::MousePressed;
    }
    out.push_back({.kind = kind, .windowId = button.windowID, .code = code});
}

void AppendKey(const SDL_KeyboardEvent& key, std::vector<InputAction>& out) {
    KeyCode code = KeyCodeFromSdl(key.keysym.sym, key.keysym.scancode);
    if (code == KEY_NONE) {
        return;
    }
    if (key.type == SDL_KEYUP) {
        out.push_back({.kind = InputKind::KeyCodeReleased, .windowId = key.windowID, .code = code});
        return;
    }
    // Auto-repeat types the key again without pressing it again.
    if (!key.repeat) {
        out.push_back({.kind = InputKind::KeyCodePressed, .windowId = key.windowID, .code = code});
    }
    out.push_back({.kind = InputKind::KeyCodeTyped, .windowId = key.windowID, .code = code});
}

}  // namespace

KeyCode KeyCodeFromSdl(SDL_Keycode symbol, SDL_Scancode scancode) {
    KeyCode code = KeyCodeFromSymbol(symbol);
    if (code != KEY_NONE) {
        return code;
    }
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
        return static_cast<KeyCode>(KEY_A + (scancode - SDL_SCANCODE_A));
    }
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
        return static_cast<KeyCode>(KEY_1 + (scancode - SDL_SCANCODE_1));
    }
    if (scancode == SDL_SCANCODE_0) {
        return KEY_0;
    }
    // Keys without a character (function, cursor, keypad keys) have symbols
    // made from their scan codes.
    return scancode == SDL_SCANCODE_UNKNOWN ? KEY_NONE : KeyCodeFromSymbol(SDL_SCANCODE_TO_KEYCODE(scancode));
}

int MouseCodeFromSdl(std::uint8_t button) {
    switch (button) {
        case SDL_BUTTON_LEFT:
            return MOUSE_LEFT;
        case SDL_BUTTON_RIGHT:
            return MOUSE_RIGHT;
        case SDL_BUTTON_MIDDLE:
            return MOUSE_MIDDLE;
        case SDL_BUTTON_X1:
            return MOUSE_4;
        case SDL_BUTTON_X2:
            return MOUSE_5;
        default:
            return -1;
    }
}

void TranslateSdlEvent(const SDL_Event& event, std::vector<InputAction>& out) {
    switch (event.type) {
        case SDL_MOUSEMOTION:
            out.push_back({.kind = InputKind::CursorMoved,
                           .windowId = event.motion.windowID,
                           .x = event.motion.x,
                           .y = event.motion.y});
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            AppendMouseButton(event.button, out);
            break;
        case SDL_MOUSEWHEEL: {
            int delta = event.wheel.y;
            if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) {
                delta = -delta;
            }
            if (delta != 0) {
                out.push_back({.kind = InputKind::MouseWheeled, .windowId = event.wheel.windowID, .delta = delta});
            }
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            AppendKey(event.key, out);
            break;
        case SDL_TEXTINPUT:
            AppendTypedText(event.text, out);
            break;
        case SDL_WINDOWEVENT:
            AppendWindowEvent(event.window, out);
            break;
        case SDL_QUIT:
            out.push_back({.kind = InputKind::QuitRequested});
            break;
        default:
            break;
    }
}

}  // namespace sdlinput
