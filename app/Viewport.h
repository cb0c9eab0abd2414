// The updater's root client panel: an invisible zero-size container that
// creates the updater window, activates it and is afterwards the one way to
// reach that window. It creates a new window when the old one is gone, but
// only on the GUI thread; elsewhere it only looks the window up.
#pragma once

#include <thread>

#include "vgui2/EditablePanel.h"

class CUpdaterFrame;

class CTarnViewport : public vgui2::EditablePanel {
    VGUI2_PANEL_CLASS(CTarnViewport, vgui2::EditablePanel);

public:
    CTarnViewport();
    ~CTarnViewport() override;

    // The live updater window, or null when there is none and it cannot be
    // created (off the GUI thread, or creation failed).
    CUpdaterFrame* GetUpdaterFrame();

private:
    CUpdaterFrame* ResolveFrame();

    vgui2::HPanel m_updaterFrame = vgui2::kNoHandle;
    std::thread::id m_guiThread;
};

namespace app {

// Set once by start-up, before the GUI loop; null until then.
extern CTarnViewport* g_viewport;

// The window through the process's viewport; null before it exists.
CUpdaterFrame* UpdaterFrameOfViewport();

}  // namespace app
