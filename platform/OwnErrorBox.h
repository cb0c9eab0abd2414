// The platform's own modal error box, for desktops where SDL's simple
// message box cannot be shown (no X core fonts and no zenity, as on fresh
// and Wayland-only desktops). It is drawn with SDL and SDL_ttf and works
// both before the GUI modules have set SDL up and while the updater's window
// runs on the same SDL: it takes the video subsystem and SDL_ttf by
// reference count, and hands back to the caller the events of other windows
// that matter (quit requests, window and wake-up events). Input meant for
// other windows while it is open is dropped, as a modal box does.
#pragma once

namespace platform {

// x11 and wayland put windows in front of a person; SDL's other drivers do not.
bool IsRealDisplayDriver(const char* driver);

// Shows the box and returns once it was dismissed (OK, Enter, Escape, the
// window's close button, or a quit request such as SIGTERM); false, with
// SDL's error text set, when it could not be shown at all.
bool ShowOwnErrorBox(const char* caption, const char* text);

}  // namespace platform
