#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/Platform.h"
#include "tests/support/TestSupport.h"
#include "tests/update/EngineTestSupport.h"
#include "update/Settings.h"

using namespace update;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;
namespace fs = std::filesystem;

namespace {

class SettingsTest : public enginetest::EngineTest {
protected:
    TempDir m_gameFolder{true};
};

TEST(ManifestOverrideClass, PrefixIgnoresCaseButJsonSuffixDoesNot) {
    EXPECT_EQ(ClassifyManifestOverride("HTTPS://host/m.json").kind, ManifestOverrideClass::DirectUrl);
    EXPECT_EQ(ClassifyManifestOverride("hTtP://host/m.json").kind, ManifestOverrideClass::DirectUrl);
    EXPECT_EQ(ClassifyManifestOverride("https://host/m.JSON").kind, ManifestOverrideClass::PointerUrl);
    EXPECT_EQ(ClassifyManifestOverride("https://host/pointer.txt").kind, ManifestOverrideClass::PointerUrl);
}

TEST(ManifestOverrideClass, OnlyTheFirstJsonCountsAndQueryOrFragmentMayFollow) {
    EXPECT_EQ(ClassifyManifestOverride("https://h/m.json?v=2").kind, ManifestOverrideClass::DirectUrl);
    EXPECT_EQ(ClassifyManifestOverride("https://h/m.json#top").kind, ManifestOverrideClass::DirectUrl);
    EXPECT_EQ(ClassifyManifestOverride("https://h/m.jsonx/real.json").kind, ManifestOverrideClass::PointerUrl);
    EXPECT_EQ(ClassifyManifestOverride("https://h/m.json/").kind, ManifestOverrideClass::PointerUrl);
}

TEST(ManifestOverrideClass, NonUrlsAndLeadingBlanksGiveNone) {
    EXPECT_EQ(ClassifyManifestOverride(" https://h/m.json").kind, ManifestOverrideClass::None);
    EXPECT_EQ(ClassifyManifestOverride("ftp://h/m.json").kind, ManifestOverrideClass::None);
    EXPECT_EQ(ClassifyManifestOverride("https:/").kind, ManifestOverrideClass::None);
    EXPECT_EQ(ClassifyManifestOverride("").kind, ManifestOverrideClass::None);
    EXPECT_TRUE(ClassifyManifestOverride("x").url.empty());
}

TEST(ManifestOverrideClass, LineEndsAtFirstCarriageReturnOrLineFeedAndKeepsBlanks) {
    ManifestOverride result = ClassifyManifestOverride("https://h/m.json \r\nhttps://other/x.json");
    EXPECT_EQ(result.kind, ManifestOverrideClass::PointerUrl);
    EXPECT_EQ(result.url, "https://h/m.json ");
}

TEST_F(SettingsTest, OverrideFileReadsOnlyTheFirstLineOfAtMost1023Bytes) {
    EXPECT_EQ(ReadManifestOverride().kind, ManifestOverrideClass::None);

    WriteFile(m_gameFolder.File("qlm.uri"), "https://h/m.json\nhttps://h/pointer\n");
    ManifestOverride direct = ReadManifestOverride();
    EXPECT_EQ(direct.kind, ManifestOverrideClass::DirectUrl);
    EXPECT_EQ(direct.url, "https://h/m.json");

    // ".json" ends exactly at byte 1023, so the cut line is a direct URL even
    // though the full line goes on with another character.
    std::string prefix = "https://h/";
    std::string longLine = prefix + std::string(1023 - prefix.size() - 5, 'a') + ".json" + "x";
    WriteFile(m_gameFolder.File("qlm.uri"), longLine);
    ManifestOverride cut = ReadManifestOverride();
    EXPECT_EQ(cut.kind, ManifestOverrideClass::DirectUrl);
    EXPECT_EQ(cut.url.size(), 1023u);

    WriteFile(m_gameFolder.File("qlm.uri"), "");
    EXPECT_EQ(ReadManifestOverride().kind, ManifestOverrideClass::None);
}

TEST_F(SettingsTest, BranchFileGivesFirstLineWithTextModeLineEnd) {
    ReadChosenBranchName();
    EXPECT_EQ(g_updateState.chosenBranchName, "plus");

    g_updateState.chosenBranchName.clear();
    WriteFile(m_gameFolder.File("qlm.branch"), "");
    ReadChosenBranchName();
    EXPECT_EQ(g_updateState.chosenBranchName, "plus");

    g_updateState.chosenBranchName.clear();
    WriteFile(m_gameFolder.File("qlm.branch"), "beta\r\nsecond");
    ReadChosenBranchName();
    EXPECT_EQ(g_updateState.chosenBranchName, "beta");

    g_updateState.chosenBranchName.clear();
    WriteFile(m_gameFolder.File("qlm.branch"), "beta ");
    ReadChosenBranchName();
    EXPECT_EQ(g_updateState.chosenBranchName, "beta ");

    g_updateState.chosenBranchName.clear();
    WriteFile(m_gameFolder.File("qlm.branch"), "be\rta\r");
    ReadChosenBranchName();
    EXPECT_EQ(g_updateState.chosenBranchName, "be\rta\r");

    g_updateState.chosenBranchName.clear();
    WriteFile(m_gameFolder.File("qlm.branch"), "\nbeta");
    ReadChosenBranchName();
    EXPECT_EQ(g_updateState.chosenBranchName, "plus");

    // A file without a line end is not read beyond 4 KiB.
    g_updateState.chosenBranchName.clear();
    WriteFile(m_gameFolder.File("qlm.branch"), std::string(1 << 20, 'b'));
    ReadChosenBranchName();
    EXPECT_EQ(g_updateState.chosenBranchName, std::string(4096, 'b'));
}

TEST_F(SettingsTest, SaveBranchWritesTheNameAloneAndReplacesOldContent) {
    WriteFile(m_gameFolder.File("qlm.branch"), "a much longer earlier name\n");
    g_updateState.chosenBranchName = "plus";
    SaveBranch();
    EXPECT_EQ(ReadFile(m_gameFolder.File("qlm.branch")), "plus");

    g_updateState.chosenBranchName.clear();
    ReadChosenBranchName();
    EXPECT_EQ(g_updateState.chosenBranchName, "plus");
}

TEST_F(SettingsTest, SaveBranchIntoUnwritableFileLeavesItAlone) {
    // A folder of that name cannot be opened as a file.
    WriteFile(m_gameFolder.File("qlm.branch/keep"), "x");
    g_updateState.chosenBranchName = "beta";
    SaveBranch();
    EXPECT_EQ(ReadFile(m_gameFolder.File("qlm.branch/keep")), "x");
}

std::string Probe(const std::string& variant) {
    char version[kInstalledVersionSize];
    std::string module = std::string(UPD_GAME_MODULES_DIR) + "/" + variant + "/FileSystem_Stdio";
    ProbeInstalledVersion(module.c_str(), version, sizeof(version));
    return version;
}

TEST(VersionProbe, ReadsTheExportOfTheModuleFoundWithThePlatformSuffix) {
    EXPECT_EQ(Probe("current"), "1.4.2");
    EXPECT_EQ(Probe("next"), "1.5.0");
}

TEST(VersionProbe, LongTextIsCutTo63Bytes) {
    std::string expected;
    for (int i = 0; i < 7; ++i) {
        expected += "0123456789";
    }
    EXPECT_EQ(Probe("long"), expected.substr(0, 63));
}

TEST(VersionProbe, MissingModuleExportOrTextGivesNone) {
    EXPECT_EQ(Probe("does-not-exist"), "NONE");
    EXPECT_EQ(Probe("noexport"), "NONE");
    EXPECT_EQ(Probe("nullversion"), "NONE");
}

std::string CallVersionExport(platform::ModuleHandle module) {
    auto versionExport = reinterpret_cast<const char* (*)()>(platform::ModuleExport(module, kVersionExportName));
    return versionExport ? versionExport() : "<no export>";
}

// A module that stays mapped after its last unload: with the GNU C library
// one holding a unique symbol; Windows has no such module, and there the
// test itself keeps the first one loaded.
struct StuckModules {
    const char* oldVariant;
    const char* oldVersion;
    const char* newVariant;
    const char* newVersion;
    bool keptLoadedByTest;
};
#ifdef _WIN32
constexpr StuckModules kStuck{"current", "1.4.2", "next", "1.5.0", true};
#else
constexpr StuckModules kStuck{"stuck-old", "2.0.0", "stuck-new", "2.1.0", false};
#endif

TEST_F(SettingsTest, ModuleReplacedOnDiskReportsItsNewTextEvenWhenTheOldOneStaysMapped) {
    std::string fileName = std::string("FileSystem_Stdio") + platform::ModuleSuffix();
    std::string module = m_gameFolder.File(fileName);
    // Installed as a new file under the name. The old one is moved aside:
    // Windows lets a loaded module be renamed, not replaced.
    auto install = [&](const char* variant) {
        if (fs::exists(testsupport::PathOf(module))) {
            fs::rename(testsupport::PathOf(module), testsupport::PathOf(module + ".old"));
        }
        fs::copy_file(testsupport::PathOf(std::string(UPD_GAME_MODULES_DIR) + "/" + variant + "/" + fileName),
                      testsupport::PathOf(module));
    };
    std::string probed = m_gameFolder.File("FileSystem_Stdio");
    char version[kInstalledVersionSize];
    install(kStuck.oldVariant);
    // Loaded by its path and unloaded (kept loaded on Windows), replaced and
    // loaded again, the stand-in still runs the old copy.
    std::unique_ptr<void, void (*)(platform::ModuleHandle)> first(platform::LoadModule(module.c_str()),
                                                                   platform::UnloadModule);
    ASSERT_NE(first, nullptr);
    if (!kStuck.keptLoadedByTest) {
        first.reset();
    }
    ProbeInstalledVersion(probed.c_str(), version, sizeof(version));
    EXPECT_STREQ(version, kStuck.oldVersion);

    install(kStuck.newVariant);
    platform::ModuleHandle again = platform::LoadModule(module.c_str());
    EXPECT_EQ(CallVersionExport(again), kStuck.oldVersion);
    platform::UnloadModule(again);
    ProbeInstalledVersion(probed.c_str(), version, sizeof(version));
    EXPECT_STREQ(version, kStuck.newVersion);
    EXPECT_TRUE(fs::exists(testsupport::PathOf(module))) << "the probe leaves the game's file alone";
}

TEST(VersionProbe, ProductProbeWithoutGameModuleGivesNone) {
    std::snprintf(g_updateState.installedVersion, kInstalledVersionSize, "stale");
    update::VersionProbe();
    EXPECT_STREQ(g_updateState.installedVersion, "NONE");
}

}  // namespace
