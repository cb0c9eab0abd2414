// The system service: the registry file and its text, the clock, user-config
// data and the clipboard slicing.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "modules/updfs/FileSystemStdio.h"
#include "modules/updvgui2/ModuleServices.h"
#include "modules/updvgui2/RegistryFile.h"
#include "modules/updvgui2/Surface.h"
#include "modules/updvgui2/System.h"
#include "tests/modules/ScopedEnv.h"
#include "tests/support/TestSupport.h"
#include "vgui2/KeyValues.h"

namespace {

constexpr const char* kLanguageKey = "HKEY_CURRENT_USER\\Software\\Quillmere\\Language";

constexpr const char* kRegistryText = R"(
"Registry"
{
	"HKEY_CURRENT_USER"
	{
		"Software"
		{
			"Quillmere"
			{
				"Language"	"german"
				"Path/With/Slashes"	"yes"
			}
		}
	}
}
)";

using testsupport::ScopedEnv;

TEST(RegistryText, ValuesAreFoundByPathWithoutRegardToCase) {
    std::string value;
    ASSERT_TRUE(FindRegistryValue(kRegistryText, kLanguageKey, value));
    EXPECT_EQ(value, "german");
    EXPECT_TRUE(FindRegistryValue(kRegistryText, "hkey_current_user\\SOFTWARE\\quillmere\\language", value));
    EXPECT_TRUE(FindRegistryValue(kRegistryText, "HKEY_CURRENT_USER\\Software\\Quillmere\\Path/With/Slashes",
                                  value));
    EXPECT_EQ(value, "yes") << "a \"/\" nests like \"\\\"";
    std::string written;
    ASSERT_TRUE(SetRegistryValue("", "Root\\A/B", "nested", written));
    EXPECT_TRUE(FindRegistryValue(written.c_str(), "Root\\A\\B", value));
    EXPECT_EQ(value, "nested") << "a written \"/\" name reads back the same way";
}

TEST(RegistryText, MissingKeysSectionsAndMalformedPathsFail) {
    std::string value = "untouched";
    EXPECT_FALSE(FindRegistryValue(kRegistryText, "HKEY_CURRENT_USER\\Software\\Quillmere\\Missing", value));
    EXPECT_FALSE(FindRegistryValue(kRegistryText, "HKEY_CURRENT_USER\\Software\\Quillmere", value))
        << "a section is not a value";
    for (const char* bad : {"", "\\Language", "Language\\", "HKEY_CURRENT_USER\\\\Software"}) {
        EXPECT_FALSE(FindRegistryValue(kRegistryText, bad, value)) << bad;
    }
    EXPECT_FALSE(FindRegistryValue(kRegistryText, nullptr, value));
    EXPECT_FALSE(FindRegistryValue("", kLanguageKey, value));
    EXPECT_FALSE(FindRegistryValue("garbage {", kLanguageKey, value));
    EXPECT_EQ(value, "untouched");
}

TEST(RegistryText, SettingKeepsOtherKeysAndRoundTrips) {
    std::string text;
    ASSERT_TRUE(SetRegistryValue(kRegistryText, "HKEY_CURRENT_USER\\Software\\Quill\\Name", "a \"quoted\\\" name",
                                 text));
    std::string value;
    ASSERT_TRUE(FindRegistryValue(text.c_str(), "HKEY_CURRENT_USER\\Software\\Quill\\Name", value));
    EXPECT_EQ(value, "a \"quoted\\\" name");
    ASSERT_TRUE(FindRegistryValue(text.c_str(), kLanguageKey, value));
    EXPECT_EQ(value, "german");

    ASSERT_TRUE(SetRegistryValue(text.c_str(), kLanguageKey, "french", text));
    ASSERT_TRUE(FindRegistryValue(text.c_str(), kLanguageKey, value));
    EXPECT_EQ(value, "french");

    std::string fresh;
    ASSERT_TRUE(SetRegistryValue("", kLanguageKey, "english", fresh));
    ASSERT_TRUE(FindRegistryValue(fresh.c_str(), kLanguageKey, value));
    EXPECT_EQ(value, "english");

    std::string refused = "untouched";
    EXPECT_FALSE(SetRegistryValue(kRegistryText, "HKEY_CURRENT_USER\\Software\\Quillmere\\Language\\Deeper", "x",
                                  refused))
        << "a path through a value";
    EXPECT_FALSE(SetRegistryValue(kRegistryText, "HKEY_CURRENT_USER\\Software", "x", refused))
        << "a section would be replaced by a value";
    EXPECT_FALSE(SetRegistryValue(kRegistryText, "Bad\\\\Path", "x", refused));
    EXPECT_EQ(refused, "untouched");
}

TEST(RegistryText, TheFileLivesInTheUserConfigFolderUnlessOverridden) {
    ScopedEnv overridden("QUILL_UPDATER_REGISTRY", nullptr);
    {
        ScopedEnv config("XDG_CONFIG_HOME", "/cfg");
        EXPECT_EQ(RegistryFilePath(), "/cfg/QuillUpdater/registry.txt");
    }
    {
        ScopedEnv config("XDG_CONFIG_HOME", "relative/cfg");
        ScopedEnv home("HOME", "/home/someone");
        EXPECT_EQ(RegistryFilePath(), "/home/someone/.config/QuillUpdater/registry.txt")
            << "a relative config folder is ignored";
    }
    {
        ScopedEnv config("XDG_CONFIG_HOME", nullptr);
        ScopedEnv home("HOME", nullptr);
        EXPECT_EQ(RegistryFilePath(), "");
    }
    ScopedEnv file("QUILL_UPDATER_REGISTRY", "/elsewhere/registry.txt");
    EXPECT_EQ(RegistryFilePath(), "/elsewhere/registry.txt");
}

// The service itself, on a registry file in a fresh folder.
class SystemRegistryTest : public ::testing::Test {
protected:
    std::string Path() const { return m_folder.File("config/registry.txt"); }

    testsupport::TempDir m_folder;
    ScopedEnv m_file{"QUILL_UPDATER_REGISTRY", Path().c_str()};
    vgui2::ISystem& m_system = TheSystem();
};

TEST_F(SystemRegistryTest, ReadsTheLanguageIntoTheCallersBuffer) {
    testsupport::WriteFile(Path(), kRegistryText);
    char language[64];
    ASSERT_TRUE(m_system.GetRegistryString(kLanguageKey, language, sizeof(language)));
    EXPECT_STREQ(language, "german");

    char tiny[6];
    EXPECT_FALSE(m_system.GetRegistryString(kLanguageKey, tiny, sizeof(tiny))) << "a value cut to fit is refused";
    EXPECT_STREQ(tiny, "");
    char exact[7];
    EXPECT_TRUE(m_system.GetRegistryString(kLanguageKey, exact, sizeof(exact)));
    EXPECT_STREQ(exact, "german");
    EXPECT_FALSE(m_system.GetRegistryString(kLanguageKey, nullptr, 64));
    EXPECT_FALSE(m_system.GetRegistryString(kLanguageKey, language, 0));
}

TEST_F(SystemRegistryTest, AMissingFileOrKeyFails) {
    char language[64] = "stale";
    EXPECT_FALSE(m_system.GetRegistryString(kLanguageKey, language, sizeof(language)));
    EXPECT_STREQ(language, "");
    testsupport::WriteFile(Path(), "\"Registry\" { }");
    EXPECT_FALSE(m_system.GetRegistryString(kLanguageKey, language, sizeof(language)));
}

TEST_F(SystemRegistryTest, WritesCreateTheFileAndKeepOtherValues) {
    ASSERT_TRUE(m_system.SetRegistryString(kLanguageKey, "spanish"));
    ASSERT_TRUE(m_system.SetRegistryInteger("HKEY_CURRENT_USER\\Software\\Quill\\Count", -42));
    char language[64];
    ASSERT_TRUE(m_system.GetRegistryString(kLanguageKey, language, sizeof(language)));
    EXPECT_STREQ(language, "spanish");
    int count = 0;
    ASSERT_TRUE(m_system.GetRegistryInteger("HKEY_CURRENT_USER\\Software\\Quill\\Count", count));
    EXPECT_EQ(count, -42);
    EXPECT_FALSE(testsupport::PathExists(Path() + ".tmp")) << "the temporary file is renamed into place";

    int untouched = 7;
    EXPECT_FALSE(m_system.GetRegistryInteger(kLanguageKey, untouched)) << "text is not an integer";
    ASSERT_TRUE(m_system.SetRegistryString("HKEY_CURRENT_USER\\Software\\Quill\\Big", "99999999999"));
    EXPECT_FALSE(m_system.GetRegistryInteger("HKEY_CURRENT_USER\\Software\\Quill\\Big", untouched));
    EXPECT_EQ(untouched, 7);
}

TEST(SystemClock, MillisecondsAdvanceWithTime) {
    vgui2::ISystem& system = TheSystem();
    long start = system.GetTimeMillis();
    double seconds = system.GetCurrentTime();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    long elapsed = system.GetTimeMillis() - start;
    EXPECT_GE(elapsed, 30);
    EXPECT_LT(elapsed, 5000);
    EXPECT_GE(system.GetCurrentTime() - seconds, 0.029);
    system.RunFrame();
    EXPECT_NEAR(system.GetFrameTime(), system.GetCurrentTime(), 0.5);
}

TEST(SystemUserConfig, DialogDataIsKeptAndSavedThroughTheFileSystem) {
    testsupport::TempDir folder;
    CFileSystemStdio fileSystem;
    fileSystem.AddSearchPath(folder.Path().c_str(), "CONFIG");
    SetModuleFileSystem(&fileSystem);
    CSystem system;

    system.SetUserConfigFile("UserConfig.vdf", "CONFIG");
    KeyValues* frame = system.GetUserConfigFileData("UpdaterFrame", 0);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(system.GetUserConfigFileData("UpdaterFrame", 0), frame);
    EXPECT_NE(system.GetUserConfigFileData("UpdaterFrame", 2), frame) << "each dialog id has its own data";
    EXPECT_EQ(system.GetUserConfigFileData("", 0), nullptr);
    frame->SetInt("xpos", 120);
    system.SaveUserConfigFile();
    ASSERT_TRUE(testsupport::PathExists(folder.File("UserConfig.vdf")));

    CSystem reloaded;
    reloaded.SetUserConfigFile("UserConfig.vdf", "CONFIG");
    EXPECT_EQ(reloaded.GetUserConfigFileData("UpdaterFrame", 0)->GetInt("xpos", 0), 120);
    reloaded.Shutdown();
    system.Shutdown();
    SetModuleFileSystem(nullptr);
}

// The clipboard itself belongs to the windowing layer; the service slices
// and converts.
TEST(SystemClipboard, TextIsConvertedAndSlicedByCharacters) {
    // The headless driver is enough for the in-process clipboard; it must be
    // asked for by name.
    ScopedEnv driver("SDL_VIDEODRIVER", "offscreen");
    if (!TheSurfaceImpl().Init()) {
        GTEST_SKIP() << "no windowing layer here";
    }
    vgui2::ISystem& system = TheSystem();
    system.SetClipboardText(u"h\u00e9llo w\u00f6rld", 5);
    EXPECT_EQ(PlatformGetClipboardText(), "h\xC3\xA9llo");
    EXPECT_EQ(system.GetClipboardTextCount(), 6);
    char narrow[16];
    EXPECT_EQ(system.GetClipboardText(1, narrow, sizeof(narrow)), 5);
    EXPECT_STREQ(narrow, "\xC3\xA9llo");
    vgui2::wchar wide[3];
    EXPECT_EQ(system.GetClipboardText(0, wide, sizeof(wide)), 2);
    EXPECT_EQ(std::u16string(wide), u"h\u00e9");
    EXPECT_EQ(system.GetClipboardText(99, wide, sizeof(wide)), 0);
    EXPECT_EQ(wide[0], u'\0');

    system.SetClipboardText("narrow text", 6);
    EXPECT_EQ(PlatformGetClipboardText(), "narrow");
    TheSurfaceImpl().Shutdown();
}

}  // namespace
