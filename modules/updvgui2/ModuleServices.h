// How the services inside updvgui2 reach one another. Each service source
// defines its own accessor; the file system and the event waiter are set at
// run time (the GUI loop's initialisation and the surface's start-up).
#pragma once

#include <string>

#include "services/IFileSystem.h"
#include "services/IInput.h"
#include "services/IKeyValuesSystem.h"
#include "services/ILocalize.h"
#include "services/IPanel.h"
#include "services/IScheme.h"
#include "services/ISurface.h"
#include "services/ISystem.h"
#include "services/IVGui.h"

vgui2::IVGui& TheVGui();
vgui2::IPanel& ThePanelService();
vgui2::ISurface& TheSurface();
vgui2::ISchemeManager& TheSchemeManager();
vgui2::ISystem& TheSystem();
vgui2::IInput& TheInput();
vgui2::ILocalize& TheLocalize();

// The file-system service found through the factory list when the GUI loop
// is initialised; null before. Scheme, token and image files are read
// through it.
IFileSystem* ModuleFileSystem();
void SetModuleFileSystem(IFileSystem* fileSystem);

// The surface once its platform layer is up; null before that and after its
// shutdown. The GUI loop and the panel and input services call the surface
// only through this, so they also run without a window system (unit tests).
// The surface registers itself when its initialisation succeeds.
vgui2::ISurface* ModuleSurface();
void SetModuleSurface(vgui2::ISurface* surface);

// What the GUI loop waits on between frames. Without a surface the loop
// waits on a condition variable; the surface replaces it with the platform's
// event wait, which a posted message must be able to wake from any thread.
class IEventWaiter {
public:
    // Returns when an event arrives, Wake is called, or the timeout passes.
    virtual void WaitForEvents(double timeoutSeconds) = 0;
    // Thread-safe.
    virtual void Wake() = 0;

protected:
    ~IEventWaiter() = default;
};
void SetEventWaiter(IEventWaiter* waiter);
IEventWaiter* CurrentEventWaiter();

// Clipboard text and opening documents, through the platform's windowing
// layer; the system service offers them to the toolkit.
bool PlatformSetClipboardText(const std::string& utf8);
std::string PlatformGetClipboardText();
bool PlatformOpenDocument(const char* target);
