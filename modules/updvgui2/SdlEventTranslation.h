// The one place where SDL events become the toolkit's input vocabulary.
// TranslateSdlEvent is pure: it reads one event and appends what it means
// (pointer moves, button and key codes, typed characters, window changes)
// without touching any service, so it can be tested against a key table.
// Coordinates stay relative to the event's window; the surface turns them
// into screen coordinates because only it knows where its windows are.
#pragma once

#include <SDL2/SDL.h>

#include <cstdint>
#include <vector>

#include "services/VGuiTypes.h"

namespace sdlinput {

enum class InputKind {
    CursorMoved,
    MousePressed,
    MouseDoublePressed,
    MouseReleased,
    MouseWheeled,
    KeyCodePressed,
    KeyCodeTyped,
    KeyCodeReleased,
    KeyTyped,
    WindowExposed,
    WindowFocusGained,
    WindowMinimized,
    WindowRestored,
    WindowCloseRequested,
    QuitRequested,
};

struct InputAction {
    InputKind kind;
    std::uint32_t windowId = 0;
    int x = 0;  // window-relative pointer position (CursorMoved)
    int y = 0;
    int code = 0;   // KeyCode or MouseCode
    int delta = 0;  // wheel notches, positive away from the user
    vgui2::wchar unichar = 0;

    friend bool operator==(const InputAction&, const InputAction&) = default;
};

// The toolkit's key code for an SDL key, or KEY_NONE when it has none. The
// symbol wins so that letters follow the keyboard layout; keys whose symbol
// is unknown (other scripts) fall back to their physical position.
vgui2::KeyCode KeyCodeFromSdl(SDL_Keycode symbol, SDL_Scancode scancode);

// The toolkit's mouse code for an SDL button, or -1 for buttons it lacks.
int MouseCodeFromSdl(std::uint8_t button);

void TranslateSdlEvent(const SDL_Event& event, std::vector<InputAction>& out);

}  // namespace sdlinput
