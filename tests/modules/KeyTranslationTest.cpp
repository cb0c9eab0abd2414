// The SDL event translation against a table of keys and a set of pointer,
// text and window events. No display is needed: events are built by hand.
#include <gtest/gtest.h>

#include <vector>

#include "modules/updvgui2/SdlEventTranslation.h"

using namespace vgui2;
using sdlinput::InputAction;
using sdlinput::InputKind;
using sdlinput::TranslateSdlEvent;

namespace {

SDL_Event KeyEvent(Uint32 type, SDL_Keycode symbol, SDL_Scancode scancode = SDL_SCANCODE_UNKNOWN, bool repeat = false) {
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.windowID = 7;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.sym = symbol;
    event.key.keysym.scancode = scancode;
    return event;
}

std::vector<InputAction> Translate(const SDL_Event& event) {
    std::vector<InputAction> actions;
    TranslateSdlEvent(event, actions);
    return actions;
}

struct KeyRow {
    SDL_Keycode symbol;
    int code;
};

// The codes the toolkit itself names, and a sample of the rest.
const KeyRow kKeyRows[] = {
    {SDLK_a, 11},        {SDLK_b, 12},         {SDLK_r, 28},          {SDLK_z, 36},       {SDLK_0, 1},
    {SDLK_9, 10},        {SDLK_KP_0, 37},      {SDLK_KP_9, 46},       {SDLK_KP_ENTER, 51}, {SDLK_RETURN, 64},
    {SDLK_SPACE, 65},    {SDLK_BACKSPACE, 66}, {SDLK_TAB, 67},        {SDLK_ESCAPE, 70},  {SDLK_DELETE, 73},
    {SDLK_HOME, 74},     {SDLK_END, 75},       {SDLK_LSHIFT, 79},     {SDLK_RSHIFT, 80},  {SDLK_LALT, 81},
    {SDLK_RALT, 82},     {SDLK_LCTRL, 83},     {SDLK_RCTRL, 84},      {SDLK_UP, 88},      {SDLK_LEFT, 89},
    {SDLK_DOWN, 90},     {SDLK_RIGHT, 91},     {SDLK_F1, 92},         {SDLK_F4, 95},      {SDLK_F12, 103},
    {SDLK_COMMA, KEY_COMMA}, {SDLK_KP_PERIOD, KEY_PAD_DECIMAL}, {SDLK_PAGEDOWN, KEY_PAGEDOWN},
};

TEST(KeyTranslation, KeyTableMatchesToolkitNumbering) {
    for (const KeyRow& row : kKeyRows) {
        EXPECT_EQ(sdlinput::KeyCodeFromSdl(row.symbol, SDL_SCANCODE_UNKNOWN), row.code)
            << "SDL key " << SDL_GetKeyName(row.symbol);
    }
}

TEST(KeyTranslation, UnknownSymbolFallsBackToPhysicalKey) {
    // A Cyrillic layout reports the character, not a Latin letter; shortcuts
    // must still see the key in the A position.
    EXPECT_EQ(sdlinput::KeyCodeFromSdl(0x0444, SDL_SCANCODE_A), KEY_A);
    EXPECT_EQ(sdlinput::KeyCodeFromSdl(0x0444, SDL_SCANCODE_0), KEY_0);
    EXPECT_EQ(sdlinput::KeyCodeFromSdl(SDLK_UNKNOWN, SDL_SCANCODE_F5), KEY_F5);
    EXPECT_EQ(sdlinput::KeyCodeFromSdl(SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN), KEY_NONE);
    // A layout letter wins over the position (AZERTY: the key at Q types A).
    EXPECT_EQ(sdlinput::KeyCodeFromSdl(SDLK_a, SDL_SCANCODE_Q), KEY_A);
}

TEST(KeyTranslation, KeyDownPressesAndTypesRepeatOnlyTypesUpReleases) {
    std::vector<InputAction> down = Translate(KeyEvent(SDL_KEYDOWN, SDLK_RETURN));
    ASSERT_EQ(down.size(), 2u);
    EXPECT_EQ(down[0].kind, InputKind::KeyCodePressed);
    EXPECT_EQ(down[0].code, KEY_ENTER);
    EXPECT_EQ(down[0].windowId, 7u);
    EXPECT_EQ(down[1].kind, InputKind::KeyCodeTyped);
    EXPECT_EQ(down[1].code, KEY_ENTER);

    std::vector<InputAction> repeat = Translate(KeyEvent(SDL_KEYDOWN, SDLK_DOWN, SDL_SCANCODE_DOWN, true));
    ASSERT_EQ(repeat.size(), 1u);
    EXPECT_EQ(repeat[0].kind, InputKind::KeyCodeTyped);
    EXPECT_EQ(repeat[0].code, KEY_DOWN);

    std::vector<InputAction> up = Translate(KeyEvent(SDL_KEYUP, SDLK_ESCAPE));
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].kind, InputKind::KeyCodeReleased);
    EXPECT_EQ(up[0].code, KEY_ESCAPE);

    EXPECT_TRUE(Translate(KeyEvent(SDL_KEYDOWN, SDLK_MUTE, SDL_SCANCODE_MUTE)).empty());
}

TEST(KeyTranslation, TextInputTypesEachBasicPlaneCharacter) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    event.text.windowID = 3;
    // "a", "é", "€" and an emoji outside the basic plane.
    SDL_strlcpy(event.text.text, "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", sizeof(event.text.text));
    std::vector<InputAction> actions = Translate(event);
    ASSERT_EQ(actions.size(), 3u);
    EXPECT_EQ(actions[0].unichar, u'a');
    EXPECT_EQ(actions[1].unichar, u'\u00E9');
    EXPECT_EQ(actions[2].unichar, u'\u20AC');
    for (const InputAction& action : actions) {
        EXPECT_EQ(action.kind, InputKind::KeyTyped);
        EXPECT_EQ(action.windowId, 3u);
    }
}

SDL_Event ButtonEvent(Uint32 type, Uint8 button, Uint8 clicks, int x, int y) {
    SDL_Event event{};
    event.type = type;
    event.button.type = type;
    event.button.windowID = 2;
    event.button.button = button;
    event.button.clicks = clicks;
    event.button.x = x;
    event.button.y = y;
    return event;
}

TEST(KeyTranslation, ButtonsReportPositionThenPressDoublePressOrRelease) {
    std::vector<InputAction> press = Translate(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 10, 20));
    ASSERT_EQ(press.size(), 2u);
    EXPECT_EQ(press[0], (InputAction{.kind = InputKind::CursorMoved, .windowId = 2, .x = 10, .y = 20}));
    EXPECT_EQ(press[1], (InputAction{.kind = InputKind::MousePressed, .windowId = 2, .code = MOUSE_LEFT}));

    std::vector<InputAction> second = Translate(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 2, 10, 20));
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[1].kind, InputKind::MouseDoublePressed);
    EXPECT_EQ(second[1].code, MOUSE_RIGHT);

    // A third click in a row starts a new pair.
    EXPECT_EQ(Translate(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 3, 0, 0))[1].kind, InputKind::MousePressed);

    std::vector<InputAction> release = Translate(ButtonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 1, 5, 6));
    ASSERT_EQ(release.size(), 2u);
    EXPECT_EQ(release[1].kind, InputKind::MouseReleased);
    EXPECT_EQ(release[1].code, MOUSE_MIDDLE);

    EXPECT_EQ(sdlinput::MouseCodeFromSdl(SDL_BUTTON_X1), MOUSE_4);
    EXPECT_EQ(sdlinput::MouseCodeFromSdl(SDL_BUTTON_X2), MOUSE_5);
    EXPECT_TRUE(Translate(ButtonEvent(SDL_MOUSEBUTTONDOWN, 9, 1, 0, 0)).empty());
}

TEST(KeyTranslation, WheelCountsNotchesAwayFromUserAndHonoursFlippedDevices) {
    SDL_Event event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.windowID = 1;
    event.wheel.y = 2;
    std::vector<InputAction> up = Translate(event);
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].kind, InputKind::MouseWheeled);
    EXPECT_EQ(up[0].delta, 2);

    event.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    EXPECT_EQ(Translate(event)[0].delta, -2);

    // A purely sideways scroll has nothing for the toolkit.
    event.wheel.y = 0;
    event.wheel.x = 3;
    EXPECT_TRUE(Translate(event).empty());
}

TEST(KeyTranslation, MotionWindowAndQuitEvents) {
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.windowID = 4;
    motion.motion.x = -3;
    motion.motion.y = 99;
    EXPECT_EQ(Translate(motion),
              (std::vector<InputAction>{{.kind = InputKind::CursorMoved, .windowId = 4, .x = -3, .y = 99}}));

    SDL_Event window{};
    window.type = SDL_WINDOWEVENT;
    window.window.windowID = 5;
    const std::pair<Uint8, InputKind> windowRows[] = {
        {SDL_WINDOWEVENT_EXPOSED, InputKind::WindowExposed},
        {SDL_WINDOWEVENT_SIZE_CHANGED, InputKind::WindowExposed},
        {SDL_WINDOWEVENT_FOCUS_GAINED, InputKind::WindowFocusGained},
        {SDL_WINDOWEVENT_MINIMIZED, InputKind::WindowMinimized},
        {SDL_WINDOWEVENT_RESTORED, InputKind::WindowRestored},
        {SDL_WINDOWEVENT_CLOSE, InputKind::WindowCloseRequested},
    };
    for (const auto& [sdlEvent, kind] : windowRows) {
        window.window.event = sdlEvent;
        std::vector<InputAction> actions = Translate(window);
        ASSERT_EQ(actions.size(), 1u);
        EXPECT_EQ(actions[0].kind, kind);
        EXPECT_EQ(actions[0].windowId, 5u);
    }
    window.window.event = SDL_WINDOWEVENT_MOVED;
    EXPECT_TRUE(Translate(window).empty());

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    EXPECT_EQ(Translate(quit), (std::vector<InputAction>{{.kind = InputKind::QuitRequested}}));
}

}  // namespace
