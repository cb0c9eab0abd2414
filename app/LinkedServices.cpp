#include "app/LinkedServices.h"

#include "modules/updfs/FileSystemStdio.h"
#include "modules/updvgui2/KeyValuesSystem.h"
#include "modules/updvgui2/ModuleServices.h"
#include "modules/updvgui2/Surface.h"
#include "services/ServicePointers.h"
#include "vgui2/KeyValues.h"

namespace app {

bool ConnectLinkedServices() {
    // Every key-values node takes its memory from this service, so it must be
    // set before the first node is made.
    SetKeyValuesSystem(&TheKeyValuesSystem());
    if (!TheSurfaceImpl().Init()) {
        return false;
    }
    vgui2::ServicePointers& services = vgui2::g_services;
    services.vgui = &TheVGui();
    services.panel = &ThePanelService();
    services.surface = &TheSurface();
    services.scheme = &TheSchemeManager();
    services.input = &TheInput();
    services.system = &TheSystem();
    services.localize = &TheLocalize();
    services.fileSystem = &TheFileSystem();
    services.keyValues = &TheKeyValuesSystem();
    return true;
}

}  // namespace app
