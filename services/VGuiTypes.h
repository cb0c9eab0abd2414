// Basic types shared by every service interface and the toolkit: panel ids,
// handles, colours, wide characters and the interface factory signature.
// Nothing here has behaviour; it only fixes the vocabulary the modules speak.
#pragma once

#include <cstdint>

namespace vgui2 {

// Wide text is UTF-16: a buffer of N bytes holds N / 2 wide characters.
using wchar = char16_t;

// A panel id names a panel inside the GUI services; 0 is "no panel".
using VPANEL = std::uintptr_t;
constexpr VPANEL kNoPanel = 0;

// A panel handle survives the panel: it is resolved again on every use and
// resolves to nothing once the panel is gone. -1 is "no handle".
using HPanel = int;
constexpr HPanel kNoHandle = -1;

using HScheme = unsigned long;  // 0: failure or unknown
using HFont = unsigned long;    // 0: no font
using HCursor = unsigned long;  // the toolkit's pointer shapes (2 arrow, 3 text, ...)
using HTexture = int;           // -1: no texture
using HKeySymbol = int;         // -1: no symbol
using FileHandle_t = void*;     // nullptr: not open

constexpr HKeySymbol kInvalidKeySymbol = -1;

// Four bytes in the order red, green, blue, alpha.
struct Color {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 0;

    constexpr Color() = default;
    constexpr Color(int red, int green, int blue, int alpha)
        : r(static_cast<std::uint8_t>(red)), g(static_cast<std::uint8_t>(green)),
          b(static_cast<std::uint8_t>(blue)), a(static_cast<std::uint8_t>(alpha)) {}

    friend constexpr bool operator==(const Color&, const Color&) = default;
};

// Input codes. Only the values the toolkit names are fixed; the surface's
// event translation maps everything else onto this numbering.
enum KeyCode : int {
    KEY_NONE = 0,
    KEY_0 = 1, KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_7, KEY_8, KEY_9,
    KEY_A = 11, KEY_B, KEY_C, KEY_D, KEY_E, KEY_F, KEY_G, KEY_H, KEY_I, KEY_J,
    KEY_K, KEY_L, KEY_M, KEY_N, KEY_O, KEY_P, KEY_Q, KEY_R, KEY_S, KEY_T,
    KEY_U, KEY_V, KEY_W, KEY_X, KEY_Y, KEY_Z,
    KEY_PAD_0 = 37, KEY_PAD_1, KEY_PAD_2, KEY_PAD_3, KEY_PAD_4, KEY_PAD_5,
    KEY_PAD_6, KEY_PAD_7, KEY_PAD_8, KEY_PAD_9,
    KEY_PAD_DIVIDE = 47, KEY_PAD_MULTIPLY, KEY_PAD_MINUS, KEY_PAD_PLUS,
    KEY_PAD_ENTER = 51, KEY_PAD_DECIMAL,
    KEY_LBRACKET = 53, KEY_RBRACKET, KEY_SEMICOLON, KEY_APOSTROPHE, KEY_BACKQUOTE,
    KEY_COMMA, KEY_PERIOD, KEY_SLASH, KEY_BACKSLASH, KEY_MINUS, KEY_EQUAL,
    KEY_ENTER = 64, KEY_SPACE = 65, KEY_BACKSPACE = 66, KEY_TAB = 67,
    KEY_CAPSLOCK = 68, KEY_NUMLOCK = 69, KEY_ESCAPE = 70, KEY_SCROLLLOCK = 71,
    KEY_INSERT = 72, KEY_DELETE = 73, KEY_HOME = 74, KEY_END = 75,
    KEY_PAGEUP = 76, KEY_PAGEDOWN = 77, KEY_BREAK = 78,
    KEY_LSHIFT = 79, KEY_RSHIFT = 80, KEY_LALT = 81, KEY_RALT = 82,
    KEY_LCONTROL = 83, KEY_RCONTROL = 84, KEY_LWIN = 85, KEY_RWIN = 86, KEY_APP = 87,
    KEY_UP = 88, KEY_LEFT = 89, KEY_DOWN = 90, KEY_RIGHT = 91,
    KEY_F1 = 92, KEY_F2, KEY_F3, KEY_F4, KEY_F5, KEY_F6, KEY_F7, KEY_F8, KEY_F9,
    KEY_F10, KEY_F11, KEY_F12,
    KEY_LAST = KEY_F12,
};

enum MouseCode : int {
    MOUSE_LEFT = 0,
    MOUSE_RIGHT = 1,
    MOUSE_MIDDLE = 2,
    MOUSE_4 = 3,
    MOUSE_5 = 4,
    MOUSE_LAST = MOUSE_5,
};

enum CursorCode : int {
    dc_none = 0,
    dc_user = 1,
    dc_arrow = 2,
    dc_ibeam = 3,
    dc_hourglass = 4,
    dc_crosshair = 5,
    dc_up = 6,
    dc_sizenwse = 8,
    dc_sizenesw = 9,
    dc_sizewe = 10,
    dc_sizens = 11,
    dc_sizeall = 12,
    dc_no = 13,
    dc_hand = 14,
};

}  // namespace vgui2

// The signature shared by the executable's and the modules' exported factory.
// A null return code pointer is allowed; 0 is written on success, 1 on failure.
using CreateInterfaceFn = void* (*)(const char* name, int* returnCode);

#define CREATEINTERFACE_PROCNAME "CreateInterface"

// What a binary exports by name: the factories and the game module's version.
#ifdef _WIN32
#define UPD_EXPORT extern "C" __declspec(dllexport)
#else
#define UPD_EXPORT extern "C" __attribute__((visibility("default")))
#endif
