// The language of updater.exe's window under Wine: the registry value names
// it, and without one the person's Windows display language does. Titles
// outside ASCII reach the system's window list as written, and the window
// draws them. These tests change the Wine prefix's registry, so CTest runs
// them alone.
#include <gtest/gtest.h>

#include "tests/e2e/WineFixture.h"

using testsupport::ReadFile;

namespace {

const char* const kLanguageKey = "HKCU\\Software\\Quillmere";

struct WindowLanguage {
    const char* name;
    const char* registry;  // empty: no value
    const char* displayLanguage;
    const char* frameTitle;
    const char* changelogTitle;
};

void PrintTo(const WindowLanguage& language, std::ostream* stream) { *stream << language.name; }

class WindowsLanguageTest : public e2e::WineWindowTest, public ::testing::WithParamInterface<WindowLanguage> {
protected:
    // Wine reads file names in the character set of the display language's
    // locale, which a test machine need not have: the folder is ASCII here.
    std::string DemoRoot() override { return m_root.File("demo"); }

    void SetUp() override {
        e2e::WineWindowTest::SetUp();
        std::string query;
        m_hadLanguage = RunWindows({"reg", "query", kLanguageKey, "/v", "Language"}, &query) == 0;
        std::size_t value = query.find("REG_SZ");
        if (m_hadLanguage && value != std::string::npos) {
            m_language = query.substr(query.find_first_not_of(" \t", value + 6));
            m_language = m_language.substr(0, m_language.find_first_of("\r\n"));
        }
        if (*GetParam().registry) {
            ASSERT_EQ(SetLanguage(GetParam().registry), 0);
        } else if (m_hadLanguage) {
            ASSERT_EQ(RunWindows({"reg", "delete", kLanguageKey, "/v", "Language", "/f"}), 0);
        }
    }

    void TearDown() override {
        if (m_hadLanguage) {
            EXPECT_EQ(SetLanguage(m_language), 0) << "the prefix's language is restored";
        } else {
            RunWindows({"reg", "delete", kLanguageKey, "/v", "Language", "/f"});
        }
        e2e::WineWindowTest::TearDown();
    }

    int SetLanguage(const std::string& language) {
        return RunWindows({"reg", "add", kLanguageKey, "/v", "Language", "/t", "REG_SZ", "/d", language, "/f"});
    }

    std::vector<std::string> UpdaterEnvironment() {
        std::vector<std::string> environment = Environment();
        environment.push_back(std::string("LC_ALL=") + GetParam().displayLanguage);
        return environment;
    }

    bool m_hadLanguage = false;
    std::string m_language;
};

TEST_P(WindowsLanguageTest, TitlesAreTheLanguagesOwn) {
    PrepareDemo();
    std::string manifest = m_demo.Releases() + "/manifest.json";
    std::string text = ReadFile(manifest);
    std::size_t changelog = text.find("Quillmere 1.5.0 (plus)\\n");
    ASSERT_NE(changelog, std::string::npos);
    testsupport::WriteFile(manifest, text.insert(changelog,
        "\xD0\x9D\xD0\xBE\xD0\xB2\xD0\xB0\xD1\x8F \xD0\xBA\xD0\xB0\xD1\x80\xD1\x82\xD0\xB0 - "
        "Nuevo mapa: Espa\xC3\xB1" "a - Neue Karte: K\xC3\xBCste\\n"));
    ASSERT_TRUE(e2e::SignDemoReleases(m_demo));
    m_manifestsServed = ManifestFetchesServed();
    ASSERT_TRUE(m_updater.Start(m_system->Command({Game(m_system->updater)}), UpdaterEnvironment(), m_demo.Game(),
                                m_root.File("updater.log")));
    ASSERT_TRUE(FindReadyWindow());
    EXPECT_FALSE(Windows(std::string("^") + GetParam().frameTitle + "$").empty()) << "frame title";
    EXPECT_TRUE(HasInk(Pixels("CurrentVersionLabel")));
    ASSERT_TRUE(Click("ChangelogButton"));
    e2e::Rect other;
    ASSERT_TRUE(WaitForOtherWindow(other));
    EXPECT_FALSE(Windows(std::string("^") + GetParam().changelogTitle + "$").empty()) << "changelog title";
    KeepScreenshot((std::string("windows-") + GetParam().name + ".png").c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Windows, WindowsLanguageTest,
    ::testing::Values(
        WindowLanguage{"RussianFromTheRegistry", "russian", "de_DE.UTF-8",
                       "\xD0\x9E\xD0\xB1\xD0\xBD\xD0\xBE\xD0\xB2\xD0\xBB\xD0\xB5\xD0\xBD\xD0\xB8\xD0\xB5 Quillmere",
                       "\xD0\x98\xD0\xB7\xD0\xBC\xD0\xB5\xD0\xBD\xD0\xB5\xD0\xBD\xD0\xB8\xD1\x8F"},
        WindowLanguage{"SpanishFromTheRegistry", "spanish", "de_DE.UTF-8", "Actualizador de Quillmere", "Cambios"},
        WindowLanguage{"GermanFromTheDisplayLanguage", "", "de_DE.UTF-8", "Quillmere-Updater",
                       "\xC3\x84nderungen"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
