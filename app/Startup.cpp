#include "app/Startup.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "services/IFileSystem.h"
#include "services/IInput.h"
#include "services/IKeyValuesSystem.h"
#include "services/ILocalize.h"
#include "services/IPanel.h"
#include "services/IScheme.h"
#include "services/ISurface.h"
#include "services/ISystem.h"
#include "services/IVGui.h"
#include "services/ServicePointers.h"
#include "app/Viewport.h"
#include "ui/UpdatePublisher.h"
#include "update/EngineInit.h"
#include "update/EngineReports.h"
#include "update/Manifest.h"
#include "update/UpdateJob.h"
#include "vgui2/KeyValues.h"
#include "vgui2/Panel.h"

namespace app {

namespace {

constexpr int kFactoryCount = 3;
constexpr std::size_t kFailureTextBytes = 256;
constexpr std::size_t kLanguageBytes = 64;

constexpr const char* kLanguageRegistryKey = "HKEY_CURRENT_USER\\Software\\Quillmere\\Language";
constexpr const char* kSchemeFile = "resource/TrackerScheme.res";
constexpr const char* kSchemeName = "TrackerScheme";
constexpr const char* kLocalizationFile = "updater/updater_%language%.txt";

// The root of every panel tree. It lives until the process ends: the
// modules whose services it uses are unloaded before it could be deleted.
vgui2::Panel* g_rootPanel = nullptr;

[[noreturn]] void FailModule(const char* format, const char* moduleName) {
    char text[kFailureTextBytes];
    std::snprintf(text, sizeof(text), format, moduleName);
    platform::ShowErrorBox(kErrorCaption, text);
    std::exit(1);
}

CreateInterfaceFn FactoryOf(platform::ModuleHandle module) {
    return reinterpret_cast<CreateInterfaceFn>(platform::ModuleExport(module, CREATEINTERFACE_PROCNAME));
}

// The first non-null answer in list order wins; empty slots are skipped.
void* FindService(CreateInterfaceFn* factoryList, int factoryCount, const char* version) {
    for (int i = 0; i < factoryCount; ++i) {
        if (!factoryList[i]) {
            continue;
        }
        if (void* service = factoryList[i](version, nullptr)) {
            return service;
        }
    }
    return nullptr;
}

template <typename T>
void Connect(T*& pointer, CreateInterfaceFn* factoryList, int factoryCount, const char* version) {
    pointer = static_cast<T*>(FindService(factoryList, factoryCount, version));
}

void SetUserLocale() {
    // Numeric formatting stays "C" so that numbers always show "." as the
    // decimal separator, whatever the user's settings.
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_TIME, "");
    std::setlocale(LC_COLLATE, "");
    std::setlocale(LC_MONETARY, "");
}

// The engine's boxes are the system's error boxes, with their line on
// standard error.
class ErrorBoxReporter final : public update::IEngineReporter {
public:
    void ShowBox(const char* caption, const char* text) override { platform::ShowErrorBox(caption, text); }
};

ErrorBoxReporter g_engineReporter;

// A manifest that could not be fetched or parsed leaves the updater nothing
// to offer: the person is told, and the run ends.
void EndIfEngineFailed() {
    update::EngineInitResult outcome = update::EngineInitOutcome();
    if (outcome.status == update::EngineInitStatus::Failed) {
        platform::ShowErrorBox(kErrorCaption, outcome.fatalText);
        std::exit(1);
    }
}

// Every way the process ends passes here before the modules go: the window
// no longer hears from the engine, a download is stopped, and an extraction
// is finished with the update's completion steps, never cut. Losing the
// display ends the process from inside the windowing library, past the
// loop, so this also runs at exit; registered after the modules are loaded,
// it runs before their static objects are destroyed.
void FinishEngineJobs() {
    TheUpdatePublisher().Uninstall();
    update::FinishJobsForExit();
}

// SIGTERM and SIGINT reach the loop as the windowing layer's quit event,
// which closes the windows as their close buttons would and stops the loop
// when nothing is left to close; the loop then ends here like any other.
void RunGuiLoop() {
    vgui2::IVGui* loop = vgui2::ivgui();
    while (loop->IsRunning()) {
        loop->RunFrame();
        EndIfEngineFailed();
    }
}

}  // namespace

platform::ModuleHandle LoadServiceModule(const char* moduleName) {
    platform::ModuleHandle module = platform::LoadModuleOrSuffixed(moduleName);
    if (!module) {
        FailModule(kLoadModuleFailedFormat, moduleName);
    }
    if (!FactoryOf(module)) {
        FailModule(kFactoryMissingFormat, moduleName);
    }
    return module;
}

bool ConnectGuiInterfaces(CreateInterfaceFn* factoryList, int factoryCount) {
    vgui2::SetModuleName("Updater");

    SetUserLocale();

    vgui2::ServicePointers& services = vgui2::g_services;
    Connect(services.vgui, factoryList, factoryCount, vgui2::VGUI_IVGUI_INTERFACE_VERSION);
    Connect(services.panel, factoryList, factoryCount, vgui2::VGUI_PANEL_INTERFACE_VERSION);
    Connect(services.surface, factoryList, factoryCount, vgui2::VGUI_SURFACE_INTERFACE_VERSION);
    Connect(services.scheme, factoryList, factoryCount, vgui2::VGUI_SCHEME_INTERFACE_VERSION);
    Connect(services.system, factoryList, factoryCount, vgui2::VGUI_SYSTEM_INTERFACE_VERSION);
    Connect(services.input, factoryList, factoryCount, vgui2::VGUI_INPUT_INTERFACE_VERSION);
    Connect(services.localize, factoryList, factoryCount, vgui2::VGUI_LOCALIZE_INTERFACE_VERSION);
    Connect(services.fileSystem, factoryList, factoryCount, FILESYSTEM_INTERFACE_VERSION);
    Connect(services.keyValues, factoryList, factoryCount, KEYVALUES_INTERFACE_VERSION);

    if (services.vgui) {
        services.vgui->Init(factoryList, factoryCount);
        if (services.keyValues) {
            // The executable's KeyValues nodes come from the same service as
            // the modules' ones, so the process has one symbol table. The size
            // registered is that of one node as built here (pointers are
            // 64-bit), not the 24 bytes of a 32-bit build.
            SetKeyValuesSystem(services.keyValues);
            services.keyValues->RegisterSizeofKeyValues(static_cast<int>(sizeof(KeyValues)));
        }
    }

    return services.vgui && services.panel && services.surface && services.scheme && services.system &&
           services.input && services.localize && services.fileSystem && services.keyValues;
}

int RunUpdater(CreateInterfaceFn ownFactory) {
    platform::ModuleHandle fileSystemModule = LoadServiceModule("updfs");
    platform::ModuleHandle guiModule = LoadServiceModule("updvgui2");

    CreateInterfaceFn factories[kFactoryCount] = {
        ownFactory,
        FactoryOf(fileSystemModule),
        FactoryOf(guiModule),
    };

    if (!ConnectGuiInterfaces(factories, kFactoryCount)) {
        return 1;
    }

    vgui2::filesystem()->AddSearchPath(".", "ROOT");
    vgui2::filesystem()->AddSearchPath("platform", "PLATFORM");

    if (!vgui2::ivgui()->Init(factories, kFactoryCount)) {
        return 1;
    }

    if (vgui2::scheme()->LoadSchemeFromFile(kSchemeFile, kSchemeName) == 0) {
        platform::ShowErrorBox(kErrorCaption, kSchemeFailedText);
        return 1;
    }

    char language[kLanguageBytes];
    language[0] = '\0';
    if (vgui2::system()->GetRegistryString(kLanguageRegistryKey, language, sizeof(language))) {
        vgui2::surface()->SetLanguage(language);
    }

    vgui2::localize()->AddFile(vgui2::filesystem(), kLocalizationFile);

    g_rootPanel = new vgui2::Panel(nullptr, "RootPanel");
    g_rootPanel->SetVisible(true);
    vgui2::surface()->SetEmbeddedPanel(g_rootPanel->GetVPanel());

    vgui2::ivgui()->Start();
    // The engine reports to the window from here on; the window itself exists
    // before the viewport is published and before the first frame runs.
    TheUpdatePublisher().Install(UpdaterFrameOfViewport);
    update::InstallEngineReporter(&g_engineReporter);
    std::atexit(FinishEngineJobs);
    g_viewport = new CTarnViewport();
    RunGuiLoop();

    // The windows go first, so a person who asked to end does not watch a
    // frozen window while a job is brought to its end.
    vgui2::surface()->Shutdown();
    FinishEngineJobs();
    // A run ended while the manifest was still on its way is a failed fetch,
    // told on standard error only: the person already asked to end.
    if (update::AbandonEngineInit()) {
        platform::WriteErrorLine(kErrorCaption, update::kFetchFailedText);
        std::exit(1);
    }
    update::EngineShutdown();
    platform::UnloadModule(guiModule);
    platform::UnloadModule(fileSystemModule);
    return 0;
}

}  // namespace app
