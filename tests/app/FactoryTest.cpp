// The interface factories: the registration list's answers, and what each
// built binary exports and answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "services/IFileSystem.h"
#include "services/IKeyValuesSystem.h"
#include "services/IVGui.h"
#include "services/InterfaceRegistry.h"
#include "tests/support/TestSupport.h"

namespace {

std::string StagePath(const std::string& name) {
    const char* stage = std::getenv("UPD_STAGE_DIR");
    return std::string(stage ? stage : "stage") + "/" + name;
}

std::string ModulePath(const char* bareName) { return StagePath(bareName + std::string(platform::ModuleSuffix())); }

#ifdef _WIN32
constexpr const char* kExecutable = "updater.exe";
#else
constexpr const char* kExecutable = "updater";
#endif

struct Export {
    std::string name;
    bool function;
};

#ifdef _WIN32
// A value of the image; past its end reads as zero, so a broken file gives
// no exports rather than a crash.
template <typename T>
T At(const std::string& image, std::size_t offset) {
    T value{};
    if (offset <= image.size() && sizeof(T) <= image.size() - offset) {
        std::memcpy(&value, image.data() + offset, sizeof(T));
    }
    return value;
}

// The export table of a PE file as the loader reads it; a function is an
// export that lies in a code section.
std::vector<Export> ExportsOf(const std::string& path) {
    std::string image = testsupport::ReadFile(path);
    std::size_t header = At<std::uint32_t>(image, 0x3C);
    if (At<std::uint32_t>(image, header) != 0x00004550) {  // "PE\0\0"
        return {};
    }
    std::uint16_t sectionCount = At<std::uint16_t>(image, header + 6);
    std::size_t optional = header + 24;
    std::size_t sections = optional + At<std::uint16_t>(image, header + 20);
    bool wide = At<std::uint16_t>(image, optional) == 0x20B;
    // The file offset of an address in the loaded image, and whether its
    // section holds code.
    auto locate = [&](std::uint32_t address, bool* code = nullptr) {
        for (std::size_t section = sections; section < sections + 40u * sectionCount; section += 40) {
            std::uint32_t start = At<std::uint32_t>(image, section + 12);
            std::uint32_t size = std::max(At<std::uint32_t>(image, section + 8), At<std::uint32_t>(image, section + 16));
            if (address >= start && address - start < size) {
                if (code) {
                    *code = (At<std::uint32_t>(image, section + 36) & 0x20) != 0;
                }
                return At<std::uint32_t>(image, section + 20) + std::size_t{address - start};
            }
        }
        return image.size();
    };
    std::size_t directory = locate(At<std::uint32_t>(image, optional + (wide ? 112 : 96)));
    std::size_t functions = locate(At<std::uint32_t>(image, directory + 28));
    std::size_t names = locate(At<std::uint32_t>(image, directory + 32));
    std::size_t ordinals = locate(At<std::uint32_t>(image, directory + 36));
    std::vector<Export> exports;
    for (std::uint32_t i = 0; i < At<std::uint32_t>(image, directory + 24); ++i) {
        std::size_t name = std::min(locate(At<std::uint32_t>(image, names + 4 * i)), image.size());
        std::uint16_t ordinal = At<std::uint16_t>(image, ordinals + 2 * i);
        bool code = false;
        locate(At<std::uint32_t>(image, functions + 4u * ordinal), &code);
        exports.push_back({image.c_str() + name, code});
    }
    return exports;
}
#else
// The dynamic symbols a binary defines; a function is a text symbol.
std::vector<Export> ExportsOf(const std::string& path) {
    std::FILE* pipe = popen(("nm -D --defined-only '" + path + "'").c_str(), "r");
    if (!pipe) {
        return {};
    }
    std::vector<Export> exports;
    char line[512];
    while (std::fgets(line, sizeof(line), pipe)) {
        char type = 0;
        char name[256];
        if (std::sscanf(line, "%*s %c %255s", &type, name) == 2) {
            exports.push_back({name, type == 'T'});
        }
    }
    pclose(pipe);
    return exports;
}
#endif

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
    LoadedModule fs(ModulePath("updfs"));
    LoadedModule gui(ModulePath("updvgui2"));
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
    for (const std::string& path : {StagePath(kExecutable), ModulePath("updfs"), ModulePath("updvgui2")}) {
        std::vector<Export> exports = ExportsOf(path);
        std::string listing;
        for (const Export& entry : exports) {
            listing += (entry.function ? "function " : "other ") + entry.name + "\n";
        }
        auto has = [&](auto match) { return std::any_of(exports.begin(), exports.end(), match); };
        EXPECT_TRUE(has([](const Export& e) { return e.function && e.name == "CreateInterface"; }))
            << path << " exports:\n" << listing;
        EXPECT_FALSE(has([](const Export& e) { return e.name.find("KeyValues") != std::string::npos; }))
            << path << " must export only its factory";
    }
}

}  // namespace
