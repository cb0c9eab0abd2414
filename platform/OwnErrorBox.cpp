#include "platform/OwnErrorBox.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ErrorBoxView.h"
#include "platform/Platform.h"

namespace platform {

namespace {

// The face the toolkit's scheme fonts come from, read straight from the
// system's font folder: the box must work before any GUI module is loaded.
constexpr const char* kFontFace = "DejaVuSans.ttf";
constexpr int kFontSize = 14;
// SDL turns a pending SIGTERM into a quit event only when it pumps, so the
// wait wakes up now and then even when nothing happens.
constexpr Uint32 kWaitMilliseconds = 250;

using WindowPtr = std::unique_ptr<SDL_Window, decltype(&SDL_DestroyWindow)>;
using FontPtr = std::unique_ptr<TTF_Font, decltype(&TTF_CloseFont)>;

// SDL and SDL_ttf count their users, so taking and releasing them in pairs
// leaves them as the box found them: running for the updater's window when
// that exists, shut down before the GUI modules are loaded.
class VideoUse {
public:
    VideoUse() : m_started(SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {}
    ~VideoUse() {
        if (m_started) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
    }
    VideoUse(const VideoUse&) = delete;
    VideoUse& operator=(const VideoUse&) = delete;
    bool Started() const { return m_started; }

private:
    bool m_started;
};

class TtfUse {
public:
    TtfUse() : m_started(TTF_Init() == 0) {}
    ~TtfUse() {
        if (m_started) {
            TTF_Quit();
        }
    }
    TtfUse(const TtfUse&) = delete;
    TtfUse& operator=(const TtfUse&) = delete;
    bool Started() const { return m_started; }

private:
    bool m_started;
};

// Without framebuffer acceleration the window surface is drawn by SDL's
// own code instead of through software OpenGL, as the updater's window does.
// Once the updater's window has set SDL up, its settings stand.
void PrepareVideo() {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    }
}

// The window an input event is meant for; none for every other event.
std::optional<Uint32> InputWindowOf(const SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            return event.key.windowID;
        case SDL_TEXTEDITING:
            return event.edit.windowID;
        case SDL_TEXTINPUT:
            return event.text.windowID;
        case SDL_MOUSEMOTION:
            return event.motion.windowID;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            return event.button.windowID;
        case SDL_MOUSEWHEEL:
            return event.wheel.windowID;
        default:
            return std::nullopt;
    }
}

bool IsDismissKey(SDL_Keycode key) {
    return key == SDLK_RETURN || key == SDLK_KP_ENTER || key == SDLK_ESCAPE || key == SDLK_SPACE;
}

// The box's own event loop. Events of other windows are either dropped
// (input: the box is modal) or kept for the caller, who gets them back in
// order once the box is gone: a quit request must still end the updater,
// and its window must still hear of exposures and wake-ups.
class BoxLoop {
public:
    BoxLoop(SDL_Window* window, const ErrorBoxView& view)
        : m_window(window), m_windowId(SDL_GetWindowID(window)), m_view(view) {}

    // Paints the whole box; false when the text could not be drawn.
    bool Present() {
        SDL_Surface* surface = SDL_GetWindowSurface(m_window);
        if (!surface || !m_view.Paint(surface, m_button)) {
            return false;
        }
        return SDL_UpdateWindowSurface(m_window) == 0;
    }

    std::vector<SDL_Event> RunUntilDismissed() {
        while (!m_dismissed) {
            SDL_Event event;
            if (SDL_WaitEventTimeout(&event, kWaitMilliseconds)) {
                Handle(event);
            }
        }
        return std::move(m_kept);
    }

private:
    void Handle(const SDL_Event& event) {
        if (event.type == SDL_QUIT) {
            m_kept.push_back(event);
            m_dismissed = true;
        } else if (event.type == SDL_WINDOWEVENT) {
            if (event.window.windowID == m_windowId) {
                HandleOwnWindowEvent(event.window);
            } else {
                m_kept.push_back(event);
            }
        } else if (std::optional<Uint32> target = InputWindowOf(event)) {
            if (*target == m_windowId) {
                HandleInput(event);
            }
        } else {
            m_kept.push_back(event);
        }
    }

    void HandleOwnWindowEvent(const SDL_WindowEvent& event) {
        switch (event.event) {
            case SDL_WINDOWEVENT_CLOSE:
                m_dismissed = true;
                break;
            case SDL_WINDOWEVENT_EXPOSED:
            case SDL_WINDOWEVENT_SIZE_CHANGED:
                Present();
                break;
            case SDL_WINDOWEVENT_LEAVE:
                ShowButton(ErrorBoxButtonState::Normal);
                break;
            default:
                break;
        }
    }

    void HandleInput(const SDL_Event& event) {
        switch (event.type) {
            case SDL_KEYDOWN:
                m_dismissed = event.key.repeat == 0 && IsDismissKey(event.key.keysym.sym);
                break;
            case SDL_MOUSEMOTION:
                ShowPointerAt(event.motion.x, event.motion.y);
                break;
            case SDL_MOUSEBUTTONDOWN:
                if (event.button.button == SDL_BUTTON_LEFT) {
                    m_pressedOnButton = m_view.InButton(event.button.x, event.button.y);
                    ShowPointerAt(event.button.x, event.button.y);
                }
                break;
            case SDL_MOUSEBUTTONUP:
                if (event.button.button == SDL_BUTTON_LEFT) {
                    m_dismissed = m_pressedOnButton && m_view.InButton(event.button.x, event.button.y);
                    m_pressedOnButton = false;
                    ShowPointerAt(event.button.x, event.button.y);
                }
                break;
            default:
                break;
        }
    }

    // A press that began on the button shows it pressed while the pointer
    // stays on it; letting go elsewhere does nothing, as with any button.
    void ShowPointerAt(int x, int y) {
        bool onButton = m_view.InButton(x, y);
        ShowButton(!onButton          ? ErrorBoxButtonState::Normal
                   : m_pressedOnButton ? ErrorBoxButtonState::Pressed
                                       : ErrorBoxButtonState::Hovered);
    }

    void ShowButton(ErrorBoxButtonState state) {
        if (state != m_button) {
            m_button = state;
            Present();
        }
    }

    SDL_Window* m_window;
    Uint32 m_windowId;
    const ErrorBoxView& m_view;
    ErrorBoxButtonState m_button = ErrorBoxButtonState::Normal;
    bool m_pressedOnButton = false;
    bool m_dismissed = false;
    std::vector<SDL_Event> m_kept;
};

// Keys typed after the box closed go where they went before it opened.
void ReturnFocus(Uint32 windowId) {
    if (SDL_Window* window = windowId ? SDL_GetWindowFromID(windowId) : nullptr) {
        SDL_RaiseWindow(window);
        SDL_SetWindowInputFocus(window);
    }
}

}  // namespace

bool IsRealDisplayDriver(const char* driver) {
    return driver && (std::strcmp(driver, "x11") == 0 || std::strcmp(driver, "wayland") == 0);
}

bool ShowOwnErrorBox(const char* caption, const char* text) {
    PrepareVideo();
    VideoUse video;
    if (!video.Started()) {
        return false;
    }
    if (!IsRealDisplayDriver(SDL_GetCurrentVideoDriver())) {
        SDL_SetError("no display to show the error box on");
        return false;
    }
    TtfUse ttf;
    if (!ttf.Started()) {
        return false;
    }
    std::string fontFile = std::string(FontFolder()) + kFontFace;
    FontPtr font(TTF_OpenFont(fontFile.c_str(), kFontSize), &TTF_CloseFont);
    if (!font) {
        return false;
    }
    ErrorBoxView view(font.get(), text);

    // Over the updater's window when there is one, else on the first screen.
    SDL_Window* focused = SDL_GetKeyboardFocus();
    Uint32 previousFocus = focused ? SDL_GetWindowID(focused) : 0;
    int display = focused ? std::max(0, SDL_GetWindowDisplayIndex(focused)) : 0;

    std::vector<SDL_Event> kept;
    {
        WindowPtr window(SDL_CreateWindow(caption, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                                          SDL_WINDOWPOS_CENTERED_DISPLAY(display), view.Wide(), view.Tall(),
                                          SDL_WINDOW_HIDDEN),
                         &SDL_DestroyWindow);
        if (!window) {
            return false;
        }
        BoxLoop loop(window.get(), view);
        if (!loop.Present()) {
            return false;
        }
        SDL_ShowWindow(window.get());
        SDL_RaiseWindow(window.get());
        SDL_SetWindowInputFocus(window.get());
        kept = loop.RunUntilDismissed();
    }
    for (SDL_Event& event : kept) {
        SDL_PushEvent(&event);
    }
    ReturnFocus(previousFocus);
    return true;
}

}  // namespace platform
