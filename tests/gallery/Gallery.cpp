#include "tests/gallery/Gallery.h"

#include "modules/updfs/FileSystemStdio.h"
#include "modules/updvgui2/KeyValuesSystem.h"
#include "modules/updvgui2/ModuleServices.h"
#include "modules/updvgui2/Surface.h"
#include "services/ServicePointers.h"
#include "vgui2/EditablePanel.h"
#include "vgui2/KeyValues.h"
#include "vgui2/ScrollBar.h"

namespace {

constexpr int kWindowX = 40;
constexpr int kWindowY = 40;
constexpr int kWindowWide = 440;
constexpr int kWindowTall = 290;

}  // namespace

Gallery::Gallery(const std::string& stageFolder, const std::string& galleryFolder) {
    if (!StartServices(stageFolder, galleryFolder)) {
        return;
    }
    auto* window = new vgui2::EditablePanel(nullptr, "Gallery");
    window->MakePopup(false);
    window->SetBounds(kWindowX, kWindowY, kWindowWide, kWindowTall);
    if (!window->LoadLayoutFile("gallery.res", "GALLERY")) {
        m_error = "gallery.res could not be read from " + galleryFolder;
        delete window;
        return;
    }
    // Ranges are not layout keys; the owner of a scroll bar sets them.
    if (auto* scroll = dynamic_cast<vgui2::ScrollBar*>(window->FindChildByName("HScroll"))) {
        scroll->SetRange(0, 100);
        scroll->SetRangeWindow(20);
        scroll->SetValue(30);
    }
    window->SetVisible(true);
    m_window = window;
}

bool Gallery::StartServices(const std::string& stageFolder, const std::string& galleryFolder) {
    SetKeyValuesSystem(&TheKeyValuesSystem());
    if (!TheSurfaceImpl().Init()) {
        m_error = "the surface did not start (is SDL_VIDEODRIVER set?)";
        return false;
    }
    m_surfaceStarted = true;
    vgui2::g_services.vgui = &TheVGui();
    vgui2::g_services.panel = &ThePanelService();
    vgui2::g_services.surface = &TheSurface();
    vgui2::g_services.scheme = &TheSchemeManager();
    vgui2::g_services.input = &TheInput();
    vgui2::g_services.system = &TheSystem();
    vgui2::g_services.localize = &TheLocalize();
    vgui2::g_services.fileSystem = &TheFileSystem();
    vgui2::g_services.keyValues = &TheKeyValuesSystem();
    TheFileSystem().AddSearchPath(stageFolder.c_str(), "ROOT");
    TheFileSystem().AddSearchPath((stageFolder + "/platform").c_str(), "PLATFORM");
    TheFileSystem().AddSearchPath(galleryFolder.c_str(), "GALLERY");
    SetModuleFileSystem(&TheFileSystem());
    if (!TheSchemeManager().LoadSchemeFromFile("resource/TrackerScheme.res", "TrackerScheme")) {
        m_error = "the scheme could not be loaded from " + stageFolder;
        return false;
    }
    TheVGui().Start();
    return true;
}

Gallery::~Gallery() {
    delete m_window;
    if (m_surfaceStarted) {
        TheVGui().Stop();
        TheFileSystem().RemoveAllSearchPaths();
        TheSurfaceImpl().Shutdown();
        vgui2::g_services = {};
    }
}

vgui2::Panel* Gallery::Control(const char* name) { return m_window ? m_window->FindChildByName(name) : nullptr; }

void Gallery::RunFrames(int count) {
    for (int frame = 0; frame < count; ++frame) {
        TheVGui().RunFrame();
    }
}

bool Gallery::Click(const char* name) {
    vgui2::Panel* control = Control(name);
    if (!control) {
        return false;
    }
    int x = 0, y = 0;
    control->LocalToScreen(x, y);
    TheInput().InternalCursorMoved(x + control->GetWide() / 2, y + control->GetTall() / 2);
    TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
    TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
    RunFrames(2);
    return true;
}

bool Gallery::SaveScreenshot(const char* fileName) {
    return m_window && TheSurface().SaveScreenshot(m_window->GetVPanel(), fileName);
}
