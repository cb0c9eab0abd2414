// The interface factories: the registration list's answers, and what each
// built binary exports and answers.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Platform.h"
#include "services/IFileSystem.h"
#include "services/IKeyValuesSystem.h"
#include "services/IVGui.h"
#include "services/InterfaceRegistry.h"

namespace {

std::string StagePath(const std::string& name) {
    const char* stage = std::getenv("UPD_STAGE_DIR");
    return std::string(stage ? stage : "stage") + "/" + name;
}

TEST(FactoryList, AnEmptyListAnswersNotFound) {
    // This test binary registers nothing, like the executable.
    int code = -7;
    EXPECT_EQ(CreateInterfaceInternal(vgui2::VGUI_IVGUI_INTERFACE_VERSION, &code), nullptr);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(CreateInterfaceInternal(nullptr, nullptr), nullptr);
}

int g_created = 0;
int g_instance = 0;
void* CreateCounted() {
    ++g_created;
    return &g_instance;
}

TEST(FactoryList, OnlyExactNamesMatchAndCreateRunsPerRequest) {
    static InterfaceReg reg(CreateCounted, "Sample001");
    int code = -7;
    EXPECT_EQ(CreateInterfaceInternal("Sample001", &code), &g_instance);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(CreateInterfaceInternal("Sample001", nullptr), &g_instance);
    EXPECT_EQ(g_created, 2);
    code = -7;
    EXPECT_EQ(CreateInterfaceInternal("sample001", &code), nullptr) << "case matters";
    EXPECT_EQ(code, 1);
    EXPECT_EQ(CreateInterfaceInternal("Sample00", &code), nullptr) << "no prefix match";
    EXPECT_EQ(CreateInterfaceInternal("Sample0011", &code), nullptr);
    EXPECT_EQ(g_created, 2);
}

// Loads a staged module and looks its factory up.
struct LoadedModule {
    platform::ModuleHandle handle;
    CreateInterfaceFn factory = nullptr;
    explicit LoadedModule(const std::string& path) : handle(platform::LoadModule(path.c_str())) {
        factory = reinterpret_cast<CreateInterfaceFn>(platform::ModuleExport(handle, CREATEINTERFACE_PROCNAME));
    }
    ~LoadedModule() { platform::UnloadModule(handle); }
};

TEST(ModuleFactories, EachModuleAnswersItsOwnServices) {
    LoadedModule fs(StagePath("updfs.so"));
    LoadedModule gui(StagePath("updvgui2.so"));
    ASSERT_NE(fs.factory, nullptr);
    ASSERT_NE(gui.factory, nullptr);

    int code = -7;
    EXPECT_NE(fs.factory(FILESYSTEM_INTERFACE_VERSION, &code), nullptr);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(fs.factory(KEYVALUES_INTERFACE_VERSION, &code), nullptr);
    EXPECT_EQ(code, 1);

    auto* keyValues = static_cast<IKeyValuesSystem*>(gui.factory(KEYVALUES_INTERFACE_VERSION, &code));
    ASSERT_NE(keyValues, nullptr);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(gui.factory(FILESYSTEM_INTERFACE_VERSION, nullptr), nullptr);
    EXPECT_EQ(gui.factory(KEYVALUES_INTERFACE_VERSION, nullptr), keyValues) << "one service per process";

    vgui2::HKeySymbol symbol = keyValues->GetSymbolForString("ControlName");
    EXPECT_EQ(keyValues->GetSymbolForString("controlname"), symbol);
    EXPECT_STREQ(keyValues->GetStringForSymbol(symbol), "ControlName");
    EXPECT_EQ(keyValues->GetSymbolForString(nullptr), vgui2::kInvalidKeySymbol);
}

TEST(ModuleFactories, AllThreeBinariesExportCreateInterface) {
    for (const char* binary : {"updater", "updfs.so", "updvgui2.so"}) {
        std::string command = "nm -D --defined-only '" + StagePath(binary) + "'";
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string output;
        char line[512];
        while (fgets(line, sizeof(line), pipe)) {
            output += line;
        }
        pclose(pipe);
        EXPECT_NE(output.find(" T CreateInterface\n"), std::string::npos) << binary << " exports:\n" << output;
        EXPECT_EQ(output.find("KeyValues"), std::string::npos) << binary << " must export only its factory";
    }
}

}  // namespace
