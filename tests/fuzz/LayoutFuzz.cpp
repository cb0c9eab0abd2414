// Applies arbitrary layout text to a container that already holds a few
// children made in code, then lets one GUI frame deliver, think, lay out and
// paint everything offscreen, resizes the container, walks the focus, reads
// the layout back and deletes the container. Every input must get through
// without memory errors, and deleting the container must take along every
// panel the layout made: a panel left behind would pile up across inputs
// as it would across reloads in the running window.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "modules/updfs/FileSystemStdio.h"
#include "modules/updvgui2/ModuleServices.h"
#include "modules/updvgui2/PanelService.h"
#include "services/IVGui.h"
#include "services/ServicePointers.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/support/TestSupport.h"
#include "vgui2/Button.h"
#include "vgui2/EditablePanel.h"
#include "vgui2/KeyValues.h"
#include "vgui2/Label.h"
#include "vgui2/ProgressBar.h"

namespace {

using vgui2::EditablePanel;
using vgui2::Panel;

constexpr int kWindowWide = 320;
constexpr int kWindowTall = 240;

// The window the containers live in; made once, since opening a native
// window per input would cost more than the input itself.
Panel* g_window = nullptr;
std::size_t g_rootPanels = 0;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "fuzz_layout: %s\n", what);
    std::abort();
}

// The children a window's constructor would make, so that sections can
// configure existing panels as well as create new ones.
EditablePanel* MakeContainer() {
    auto* container = new EditablePanel(g_window, "Container");
    container->SetBounds(0, 0, kWindowWide, kWindowTall);
    new vgui2::Label(container, "Title", "#Updater_Title");
    new vgui2::Button(container, "OkButton", "OK");
    new vgui2::ProgressBar(container, "Meter");
    auto* inner = new EditablePanel(container, "Inner");
    new vgui2::Label(inner, "InnerLabel", "inner");
    return container;
}

void Exercise(EditablePanel* container) {
    vgui2::ivgui()->RunFrame();
    container->SetSize(kWindowWide / 2, kWindowTall / 3);
    container->SetSize(kWindowWide, kWindowTall);
    for (int step = 0; step < 4; ++step) {
        container->RequestFocusNext();
    }
    container->OnKeyCodeTyped(vgui2::KEY_ENTER);
    vgui2::ivgui()->RunFrame();

    KeyValues* readBack = new KeyValues("layout");
    container->GetContainedBuildGroup()->GetSettings(readBack);
    fuzzsupport::WriteText(readBack);
    readBack->deleteThis();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    fuzzsupport::ConnectKeyValues();
    if (!testsupport::ConnectRealServices()) {
        Fail("the offscreen surface did not start");
    }
    TheFileSystem().AddSearchPath(UPD_DATA_DIR, "ROOT");
    TheFileSystem().AddSearchPath(UPD_DATA_DIR "/platform", "PLATFORM");
    SetModuleFileSystem(&TheFileSystem());
    if (TheSchemeManager().LoadSchemeFromFile("resource/TrackerScheme.res", "TrackerScheme") == 0) {
        Fail("the shipped scheme did not load");
    }
    TheLocalize().AddFile(&TheFileSystem(), "updater/updater_%language%.txt");

    g_window = new Panel(nullptr, "FuzzWindow");
    g_window->MakePopup(false);
    g_window->SetBounds(0, 0, kWindowWide, kWindowTall);
    g_window->SetVisible(true);
    vgui2::ivgui()->RunFrame();
    g_rootPanels = ThePanelServiceImpl().RootPanels().size();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    KeyValues* layout = new KeyValues("layout.res");
    layout->LoadFromBuffer(text.c_str());

    EditablePanel* container = MakeContainer();
    // Through the container, so that its own keys are read as well and the
    // sections go on to its build group as a nested layout would.
    container->ApplySettings(layout);
    layout->deleteThis();
    Exercise(container);
    container->DeletePanel();
    // Panels marked for deletion while the frame ran go with the next one.
    vgui2::ivgui()->RunFrame();

    if (g_window->GetChildCount() != 0) {
        Fail("a panel outlived its container");
    }
    if (ThePanelServiceImpl().RootPanels().size() != g_rootPanels) {
        Fail("a panel made by the layout was left without a parent");
    }
    return 0;
}
