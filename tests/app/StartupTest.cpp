// Start-up: connecting the services in process, and the real updater binary
// run from a copy of the stage folder for module loading, failure reports
// and exit codes.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/Startup.h"
#include "modules/updfs/FileSystemStdio.h"
#include "modules/updvgui2/KeyValuesSystem.h"
#include "modules/updvgui2/ModuleServices.h"
#include "services/ServicePointers.h"
#include "tests/app/modules/RecordingServices.h"
#include "tests/support/TestSupport.h"
#include "tests/update/TestHttpServer.h"
#include "vgui2/KeyValues.h"
#include "vgui2/Panel.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// ---- In process: ConnectGuiInterfaces over recording factories ----------

std::vector<std::string> g_notes;
void Note(const std::string& line) { g_notes.push_back(line); }

testsupport::RecordingVGui g_firstLoop(Note);
testsupport::RecordingVGui g_secondLoop(Note);
testsupport::RecordingKeyValues g_keyValues(TheKeyValuesSystem(), Note);
std::map<std::string, int> g_asked;
std::string g_withheld;  // a version the full factory does not answer

// Answers only the GUI loop, as a module earlier in the list might.
void* LoopOnlyFactory(const char* name, int*) {
    ++g_asked[name];
    return std::strcmp(name, vgui2::VGUI_IVGUI_INTERFACE_VERSION) == 0 ? &g_firstLoop : nullptr;
}

// Answers every version with the module's real services, except the GUI loop
// (a second recorder) and whatever the test withholds.
void* FullFactory(const char* name, int*) {
    ++g_asked[name];
    std::string version = name;
    if (version == g_withheld) {
        return nullptr;
    }
    if (version == vgui2::VGUI_IVGUI_INTERFACE_VERSION) return static_cast<vgui2::IVGui*>(&g_secondLoop);
    if (version == vgui2::VGUI_PANEL_INTERFACE_VERSION) return &ThePanelService();
    if (version == vgui2::VGUI_SURFACE_INTERFACE_VERSION) return &TheSurface();
    if (version == vgui2::VGUI_SCHEME_INTERFACE_VERSION) return &TheSchemeManager();
    if (version == vgui2::VGUI_SYSTEM_INTERFACE_VERSION) return &TheSystem();
    if (version == vgui2::VGUI_INPUT_INTERFACE_VERSION) return &TheInput();
    if (version == vgui2::VGUI_LOCALIZE_INTERFACE_VERSION) return &TheLocalize();
    if (version == FILESYSTEM_INTERFACE_VERSION) return static_cast<IFileSystem*>(&TheFileSystem());
    if (version == KEYVALUES_INTERFACE_VERSION) return static_cast<IKeyValuesSystem*>(&g_keyValues);
    return nullptr;
}

class ConnectTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_notes.clear();
        g_asked.clear();
        g_withheld.clear();
        g_firstLoop.initCalls = g_secondLoop.initCalls = 0;
    }
    void TearDown() override {
        vgui2::g_services = {};
        SetKeyValuesSystem(&TheKeyValuesSystem());
        std::setlocale(LC_ALL, "C");
    }
};

TEST_F(ConnectTest, TheFirstAnswerInListOrderWinsAndEmptySlotsAreSkipped) {
    CreateInterfaceFn factories[3] = {nullptr, LoopOnlyFactory, FullFactory};
    ASSERT_TRUE(app::ConnectGuiInterfaces(factories, 3));

    EXPECT_EQ(vgui2::g_services.vgui, &g_firstLoop);
    EXPECT_EQ(g_firstLoop.initCalls, 1);
    EXPECT_EQ(g_secondLoop.initCalls, 0);
    EXPECT_EQ(vgui2::g_services.fileSystem, &TheFileSystem());
    EXPECT_EQ(vgui2::g_services.keyValues, &g_keyValues);
    EXPECT_EQ(KeyValuesSystem(), &g_keyValues) << "the executable's KeyValues use the connected service";
    EXPECT_EQ(g_notes, (std::vector<std::string>{"init 3", "size " + std::to_string(sizeof(KeyValues))}));
    EXPECT_STREQ(vgui2::GetModuleName(), "Updater");
    EXPECT_EQ(g_asked.size(), 9u);
}

TEST_F(ConnectTest, AMissingServiceFailsAfterEveryLookupAndTheLoopInit) {
    g_withheld = vgui2::VGUI_INPUT_INTERFACE_VERSION;
    CreateInterfaceFn factories[3] = {nullptr, LoopOnlyFactory, FullFactory};
    EXPECT_FALSE(app::ConnectGuiInterfaces(factories, 3));
    EXPECT_EQ(vgui2::g_services.input, nullptr);
    EXPECT_NE(vgui2::g_services.localize, nullptr) << "lookups after the missing one still ran";
    for (const char* version :
         {vgui2::VGUI_IVGUI_INTERFACE_VERSION, vgui2::VGUI_PANEL_INTERFACE_VERSION,
          vgui2::VGUI_SURFACE_INTERFACE_VERSION, vgui2::VGUI_SCHEME_INTERFACE_VERSION,
          vgui2::VGUI_SYSTEM_INTERFACE_VERSION, vgui2::VGUI_INPUT_INTERFACE_VERSION,
          vgui2::VGUI_LOCALIZE_INTERFACE_VERSION, FILESYSTEM_INTERFACE_VERSION, KEYVALUES_INTERFACE_VERSION}) {
        int expected = std::strcmp(version, vgui2::VGUI_IVGUI_INTERFACE_VERSION) == 0 ? 1 : 2;
        EXPECT_EQ(g_asked[version], expected) << version << ": asked until one answers";
    }
    EXPECT_EQ(g_firstLoop.initCalls, 1);
}

TEST_F(ConnectTest, WithoutAGuiLoopNothingIsInitialised) {
    g_withheld = vgui2::VGUI_IVGUI_INTERFACE_VERSION;
    CreateInterfaceFn factories[2] = {nullptr, FullFactory};
    EXPECT_FALSE(app::ConnectGuiInterfaces(factories, 2));
    EXPECT_TRUE(g_notes.empty()) << "no init and no node size without the GUI loop";
}

// Builds a locale whose decimal separator is "," into a private folder, so
// the test does not depend on what the machine has installed.
bool MakeCommaLocale(const std::string& folder) {
    std::string command = "localedef -i de_DE -f UTF-8 '" + folder + "/de_DE.UTF-8' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0 || fs::exists(folder + "/de_DE.UTF-8/LC_NUMERIC");
}

TEST_F(ConnectTest, NumbersKeepThePointOnAnyUserLocale) {
    testsupport::TempDir locales;
    if (!MakeCommaLocale(locales.Path())) {
        GTEST_SKIP() << "localedef cannot build de_DE here";
    }
    setenv("LOCPATH", locales.Path().c_str(), 1);
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    // The locale is real: formatting with it would give a comma.
    ASSERT_NE(std::setlocale(LC_NUMERIC, ""), nullptr);
    char number[32];
    std::snprintf(number, sizeof(number), "%.2f", 2.5);
    ASSERT_STREQ(number, "2,50");
    std::setlocale(LC_ALL, "C");

    CreateInterfaceFn factories[1] = {FullFactory};
    app::ConnectGuiInterfaces(factories, 1);
    std::snprintf(number, sizeof(number), "%.2f", 2.5);
    EXPECT_STREQ(number, "2.50");
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), "de_DE.UTF-8") << "the other categories follow the user";
    EXPECT_STREQ(std::setlocale(LC_TIME, nullptr), "de_DE.UTF-8");
    EXPECT_STREQ(std::setlocale(LC_MONETARY, nullptr), "de_DE.UTF-8");
    unsetenv("LC_ALL");
    unsetenv("LOCPATH");
}

// ---- The real binary, run from a copy of the stage folder -----------------

struct RunResult {
    int exitCode = -1;  // -1: killed by the watchdog or a signal
    std::string standardError;
};

class StageCopy {
public:
    StageCopy() {
        const char* stage = std::getenv("UPD_STAGE_DIR");
        if (!stage) {
            throw std::runtime_error("UPD_STAGE_DIR is not set");
        }
        fs::copy(stage, m_folder.Path(), fs::copy_options::recursive);
        m_registry = m_folder.File("registry.txt");
        m_log = m_folder.File("standin.log");
    }

    std::string File(const std::string& name) const { return m_folder.File(name); }
    void Remove(const std::string& name) { fs::remove(File(name)); }
    void PlaceModule(const std::string& module, const std::string& as) {
        fs::copy_file(std::string(STARTUP_TEST_MODULES) + "/" + module, File(as),
                      fs::copy_options::overwrite_existing);
    }
    std::string Log() const { return testsupport::ReadFile(m_log); }
    bool LogExists() const { return fs::exists(m_log); }

    // Runs ./updater in the copy without a display; with signalAfter set,
    // sends SIGTERM that long after the start. A run that outlives the
    // watchdog is killed and reported as exit code -1.
    RunResult Run(const std::map<std::string, std::string>& extraEnv = {},
                  std::chrono::milliseconds signalAfter = std::chrono::milliseconds(0)) {
        std::vector<std::string> environment;
        for (char** entry = environ; *entry; ++entry) {
            std::string text = *entry;
            std::string name = text.substr(0, text.find('='));
            if (name != "DISPLAY" && name != "WAYLAND_DISPLAY" && !extraEnv.count(name)) {
                environment.push_back(text);
            }
        }
        environment.push_back("QUILL_UPDATER_REGISTRY=" + m_registry);
        environment.push_back("STANDIN_LOG=" + m_log);
        for (const auto& [name, value] : extraEnv) {
            environment.push_back(name + "=" + value);
        }
        std::vector<char*> envp;
        for (std::string& text : environment) {
            envp.push_back(text.data());
        }
        envp.push_back(nullptr);

        std::string errorFile = File("stderr.txt");
        pid_t child = fork();
        if (child == 0) {
            int err = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            int null = open("/dev/null", O_WRONLY);
            if (chdir(m_folder.Path().c_str()) != 0 || err < 0 || null < 0) {
                _exit(126);
            }
            dup2(err, 2);
            dup2(null, 1);
            char* argv[] = {const_cast<char*>("./updater"), nullptr};
            execve("./updater", argv, envp.data());
            _exit(127);
        }
        RunResult result;
        auto start = std::chrono::steady_clock::now();
        bool signalled = false;
        int status = 0;
        for (;;) {
            pid_t done = waitpid(child, &status, WNOHANG);
            if (done == child) {
                break;
            }
            auto elapsed = std::chrono::steady_clock::now() - start;
            if (signalAfter.count() > 0 && !signalled && elapsed >= signalAfter) {
                kill(child, SIGTERM);
                signalled = true;
            }
            if (elapsed > std::chrono::seconds(30)) {
                kill(child, SIGKILL);
                waitpid(child, &status, 0);
                result.standardError = testsupport::ReadFile(errorFile);
                return result;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.standardError = testsupport::ReadFile(errorFile);
        return result;
    }

private:
    testsupport::TempDir m_folder;
    std::string m_registry;
    std::string m_log;
};

TEST(StartupProcess, WithoutUpdfsTheUserIsToldAndUpdvgui2IsNeverLoaded) {
    StageCopy stage;
    stage.Remove("updfs.so");
    stage.PlaceModule("startup_standin.so", "updvgui2.so");
    RunResult run = stage.Run();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.standardError, "Updater: Failed to load module updfs. Exiting...\n");
    EXPECT_FALSE(stage.LogExists()) << "updvgui2 was loaded: " << stage.Log();
}

TEST(StartupProcess, WithoutUpdvgui2TheBareNameIsReported) {
    StageCopy stage;
    stage.Remove("updvgui2.so");
    RunResult run = stage.Run();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.standardError, "Updater: Failed to load module updvgui2. Exiting...\n");
}

TEST(StartupProcess, AModuleWithoutTheFactoryExportIsReported) {
    StageCopy stage;
    stage.PlaceModule("startup_nofactory.so", "updvgui2.so");
    RunResult run = stage.Run();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.standardError, "Updater: Failed to get factory for module updvgui2. Exiting...\n");
}

// A stand-in updvgui2 that offers only the GUI loop and the key-values
// service: every lookup (the file system is answered by updfs, earlier in
// the list) and the loop's initialisation happen, then the run ends with
// exit code 1 and says nothing.
TEST(StartupProcess, AServiceNoFactoryAnswersEndsQuietly) {
    StageCopy stage;
    stage.PlaceModule("startup_standin.so", "updvgui2.so");
    RunResult run = stage.Run({{"STANDIN_ANSWERS", "VGUI_ivgui006,KeyValues003"}});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.standardError, "");
    EXPECT_EQ(stage.Log(), "loaded\n"
                           "ask VGUI_ivgui006\n"
                           "ask VGUI_Panel007\n"
                           "ask VGUI_Surface026\n"
                           "ask VGUI_Scheme009\n"
                           "ask VGUI_System009\n"
                           "ask VGUI_Input004\n"
                           "ask VGUI_Localize003\n"
                           "ask KeyValues003\n"
                           "init 3\n"
                           "size " + std::to_string(sizeof(KeyValues)) + "\n");
}

TEST(StartupProcess, ModulesLoadByTheBareNameAndWithTheSuffix) {
    StageCopy stage;
    // updfs only under its bare name, the stand-in updvgui2 only with the
    // suffix: both load, and start-up goes on to ask for the services.
    fs::rename(stage.File("updfs.so"), stage.File("updfs"));
    stage.PlaceModule("startup_standin.so", "updvgui2.so");
    RunResult run = stage.Run();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.standardError, "");
    EXPECT_NE(stage.Log().find("ask KeyValues003"), std::string::npos) << stage.Log();

    stage.Remove("updvgui2.so");
    stage.PlaceModule("startup_standin.so", "updvgui2");
    fs::remove(stage.File("standin.log"));
    run = stage.Run();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.standardError, "");
    EXPECT_NE(stage.Log().find("ask VGUI_ivgui006"), std::string::npos) << stage.Log();
}

// The paths below need every real service in the modules.
TEST(StartupProcess, AMissingSchemeFileIsReported) {
    StageCopy stage;
    stage.Remove("platform/resource/TrackerScheme.res");
    RunResult run = stage.Run({{"SDL_VIDEODRIVER", "offscreen"}});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.standardError,
              "Updater: Failed to load scheme \"platform/resource/TrackerScheme.res\". Exiting...\n");
}

TEST(StartupProcess, TerminationEndsTheGuiLoopCleanly) {
    // The window fetches the manifest on its first frame; this one is served
    // here, so the run reaches its idle window before the signal arrives.
    enginetest::TestHttpServer server;
    server.Routes().Get("/manifest.json", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(R"({"branches":[{"name":"plus","version":"9.9"}]})", "application/json");
    });
    StageCopy stage;
    testsupport::WriteFile(stage.File("qlm.uri"), server.Url("/manifest.json"));
    // The window and the viewport live until the process ends, after their
    // modules are gone; a leak checker would count them as lost.
    RunResult run = stage.Run({{"SDL_VIDEODRIVER", "offscreen"}, {"ASAN_OPTIONS", "detect_leaks=0"}},
                              std::chrono::milliseconds(1500));
    EXPECT_EQ(run.exitCode, 0) << run.standardError;
    // The default branch name matched, so nothing was saved without an update.
    EXPECT_FALSE(testsupport::PathExists(stage.File("qlm.branch")));
}

TEST(StartupProcess, AManifestThatCannotBeFetchedEndsTheRunFromTheWindow) {
    StageCopy stage;
    testsupport::WriteFile(stage.File("qlm.uri"),
                           "http://127.0.0.1:" + std::to_string(enginetest::ClosedPort()) + "/manifest.json");
    RunResult run = stage.Run({{"SDL_VIDEODRIVER", "offscreen"}});
    EXPECT_EQ(run.exitCode, 1);
    // The failed request's report comes before the one that ends the run.
    std::size_t request = run.standardError.find("Updater: DownloadString error: ");
    std::size_t fatal = run.standardError.find(
        "Updater: Failed to get update info.\n\nCheck your internet connection. Exiting...\n");
    EXPECT_NE(fatal, std::string::npos) << run.standardError;
    EXPECT_LT(request, fatal) << run.standardError;
}

}  // namespace
