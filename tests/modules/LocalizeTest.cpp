// The localization service: token files, language choice, lookup, string
// construction into byte-sized buffers, and the token file we ship.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <thread>

#include "modules/updfs/FileSystemStdio.h"
#include "modules/updvgui2/Localize.h"
#include "modules/updvgui2/TokenFile.h"
#include "platform/UserLocale.h"
#include "tests/modules/RecordingSurface.h"
#include "tests/modules/ScopedEnv.h"
#include "tests/support/TestSupport.h"
#include "vgui2/KeyValues.h"

namespace {

using vgui2::wchar;

using testsupport::ScopedEnv;

TEST(TokenFileText, TokensComeFromTheTokensSection) {
    TokenList tokens = ParseTokenFile(
        "\xEF\xBB\xBF\"lang\" { \"Language\" \"German\" \"tokens\" { \"A_One\" \"Eins\" \"Nested\" { \"x\" \"y\" } "
        "\"A_Two\" \"Gr\xC3\xBC\xC3\x9F\" } }");
    ASSERT_EQ(tokens.size(), 2u) << "a byte-order mark must not hide the file; sections are not tokens";
    EXPECT_EQ(tokens[0], (std::pair<std::string, std::string>{"A_One", "Eins"}));
    EXPECT_EQ(tokens[1].second, "Gr\xC3\xBC\xC3\x9F");

    TokenList commented = ParseTokenFile(
        "\"lang\" { \"Tokens\" { // \xC3\x9C" "bersetzung von Anna\n \"A_One\" \"Eins\" \"A_Two\" \"Zwei\" } }");
    EXPECT_EQ(commented.size(), 2u) << "a translator's comment in their own language hides no token";

    EXPECT_TRUE(ParseTokenFile("\"lang\" { \"Language\" \"English\" }").empty());
    EXPECT_TRUE(ParseTokenFile("").empty());
    EXPECT_TRUE(ParseTokenFile(nullptr).empty());
}

TEST(TokenFileText, LanguageNamesFromLocales) {
    EXPECT_EQ(LanguageFromLocale("de_DE.UTF-8"), "german");
    EXPECT_EQ(LanguageFromLocale("fr_CA"), "french");
    EXPECT_EQ(LanguageFromLocale("pt_BR.UTF-8"), "brazilian");
    EXPECT_EQ(LanguageFromLocale("pt_PT.UTF-8"), "portuguese");
    EXPECT_EQ(LanguageFromLocale("zh_TW.UTF-8"), "tchinese");
    EXPECT_EQ(LanguageFromLocale("zh_CN.UTF-8"), "schinese");
    EXPECT_EQ(LanguageFromLocale("ru"), "russian");
    EXPECT_EQ(LanguageFromLocale("sr_RS@latin"), "english");
    for (const char* fallback : {"C", "POSIX", "C.UTF-8", "", "dexx_DE", "xx_YY"}) {
        EXPECT_EQ(LanguageFromLocale(fallback), "english") << fallback;
    }
    EXPECT_EQ(LanguageFromLocale(nullptr), "english");

    ScopedEnv all("LC_ALL", nullptr);
    ScopedEnv messages("LC_MESSAGES", "sv_SE.UTF-8");
    ScopedEnv lang("LANG", "de_DE.UTF-8");
    EXPECT_EQ(LanguageFromLocale(platform::UserLocaleName().c_str()), "swedish") << "LC_MESSAGES comes before LANG";
}

TEST(TokenFileText, EveryPlaceholderIsReplaced) {
    EXPECT_EQ(SubstituteLanguage("updater/updater_%language%.txt", "german"), "updater/updater_german.txt");
    EXPECT_EQ(SubstituteLanguage("%language%/%language%", "english"), "english/english");
    EXPECT_EQ(SubstituteLanguage("plain.txt", "german"), "plain.txt");
    EXPECT_EQ(SubstituteLanguage("x_%language%", "%language%"), "x_%language%") << "no endless replacing";
}

// Token files in a fresh folder, read through the real file-system service.
class LocalizeTest : public ::testing::Test {
protected:
    void SetUp() override { m_fileSystem.AddSearchPath(m_folder.Path().c_str(), "ROOT"); }

    void WriteTokens(const std::string& language, const std::string& tokens) {
        testsupport::WriteFile(m_folder.File("updater/updater_" + language + ".txt"),
                               "\"lang\" { \"Language\" \"" + language + "\" \"Tokens\" { " + tokens + " } }");
    }

    testsupport::TempDir m_folder;
    CFileSystemStdio m_fileSystem;
    testsupport::RecordingSurface m_surface;
    CLocalize m_localize{&m_surface};
};

TEST_F(LocalizeTest, TheSurfaceLanguageNamesTheFileAndEnglishFillsItsGaps) {
    WriteTokens("german", R"("Updater_Title" "Aktualisierung")");
    WriteTokens("english", R"("Updater_Title" "Updater" "Updater_Branch" "Branch:")");
    m_surface.language = "german";
    EXPECT_TRUE(m_localize.AddFile(&m_fileSystem, "updater/updater_%language%.txt"));
    ASSERT_NE(m_localize.Find("#Updater_Title"), nullptr);
    EXPECT_EQ(std::u16string(m_localize.Find("#Updater_Title")), u"Aktualisierung");
    ASSERT_NE(m_localize.Find("#Updater_Branch"), nullptr);
    EXPECT_EQ(std::u16string(m_localize.Find("#Updater_Branch")), u"Branch:");
}

TEST_F(LocalizeTest, WithoutALanguageTheLocaleDecides) {
    WriteTokens("french", R"("Updater_Title" "Mise a jour")");
    ScopedEnv all("LC_ALL", "fr_FR.UTF-8");
    EXPECT_EQ(m_localize.CurrentLanguage(), "french");
    EXPECT_TRUE(m_localize.AddFile(&m_fileSystem, "updater/updater_%language%.txt"));
    EXPECT_EQ(std::u16string(m_localize.Find("Updater_Title")), u"Mise a jour");
}

TEST_F(LocalizeTest, AnUntranslatedLanguageFallsBackToEnglish) {
    WriteTokens("english", R"("Updater_Title" "Updater")");
    m_surface.language = "klingon";
    EXPECT_TRUE(m_localize.AddFile(&m_fileSystem, "updater/updater_%language%.txt"));
    EXPECT_EQ(std::u16string(m_localize.Find("#Updater_Title")), u"Updater");
}

TEST_F(LocalizeTest, AMissingFileLeavesTokensUnknown) {
    m_surface.language = "english";
    EXPECT_FALSE(m_localize.AddFile(&m_fileSystem, "updater/updater_%language%.txt"));
    EXPECT_FALSE(m_localize.AddFile(&m_fileSystem, nullptr));
    EXPECT_EQ(m_localize.Find("#Updater_Title"), nullptr);
}

TEST_F(LocalizeTest, LookupIgnoresCaseAndTheHashAndTokensCanBeAdded) {
    m_localize.AddString("#var_Hello", u"Hello", nullptr);
    ASSERT_NE(m_localize.Find("VAR_hello"), nullptr);
    EXPECT_EQ(std::u16string(m_localize.Find("#var_hello")), u"Hello");
    m_localize.AddString("var_Hello", u"Replaced", "file.txt");
    EXPECT_EQ(std::u16string(m_localize.Find("#var_Hello")), u"Replaced");
    EXPECT_EQ(m_localize.Find("#unknown"), nullptr);
    EXPECT_EQ(m_localize.Find(nullptr), nullptr);
    m_localize.AddString("#", u"nameless", nullptr);
    EXPECT_EQ(m_localize.Find("#"), nullptr) << "an empty token name is not registered";
    m_localize.RemoveAll();
    EXPECT_EQ(m_localize.Find("#var_Hello"), nullptr);
}

TEST_F(LocalizeTest, ConstructStringFillsArgumentsInTheirPlaces) {
    wchar out[64];
    m_localize.ConstructString(out, sizeof(out), u"%s2 of %s3 (%s1)", 3, u"a", u"b", u"c");
    EXPECT_EQ(std::u16string(out), u"b of c (a)");
    m_localize.ConstructString(out, sizeof(out), u"[%s1][%s2]", 1, u"x", u"never", nullptr);
    EXPECT_EQ(std::u16string(out), u"[x][]") << "only the counted arguments are used";
    m_localize.ConstructString(out, sizeof(out), u"100% and %s4 and %s", 1, u"x", nullptr, nullptr);
    EXPECT_EQ(std::u16string(out), u"100% and %s4 and %s");
    m_localize.ConstructString(out, sizeof(out), nullptr, 0, nullptr, nullptr, nullptr);
    EXPECT_EQ(out[0], u'\0');
}

TEST_F(LocalizeTest, ConstructStringNeverWritesPastTheBuffer) {
    wchar out[8];
    std::fill(std::begin(out), std::end(out), u'#');
    m_localize.ConstructString(out, 5 * sizeof(wchar), u"%s1 tail", 1, u"abcdefgh", nullptr, nullptr);
    EXPECT_EQ(std::u16string(out), u"abcd");
    EXPECT_EQ(out[5], u'#') << "the bytes after the given size stay untouched";

    // A character outside the BMP is two wide characters; it is never cut.
    m_localize.ConstructString(out, 3 * sizeof(wchar), u"a\U0001F600", 0, nullptr, nullptr, nullptr);
    EXPECT_EQ(std::u16string(out), u"a");
    m_localize.ConstructString(out, 3 * sizeof(wchar), u"%s1", 1, u"a\U0001F600", nullptr, nullptr);
    EXPECT_EQ(std::u16string(out), u"a");

    out[0] = u'#';
    m_localize.ConstructString(out, 1, u"abc", 0, nullptr, nullptr, nullptr);
    EXPECT_EQ(out[0], u'#') << "a buffer too small for a terminator is left alone";
}

TEST_F(LocalizeTest, ConstructStringFromVariables) {
    m_localize.AddString("#Updater_CurrentVersion", u"Version %version% on %branch% (%missing%) 5%", nullptr);
    KeyValues* variables = new KeyValues("variables");
    variables->SetString("version", "1.2");
    variables->SetWString("branch", u"stable");
    wchar out[128];
    m_localize.ConstructString(out, sizeof(out), "#Updater_CurrentVersion", variables);
    EXPECT_EQ(std::u16string(out), u"Version 1.2 on stable (%missing%) 5%");
    m_localize.ConstructString(out, sizeof(out), "Updater_CurrentVersion", variables);
    EXPECT_EQ(std::u16string(out), u"Version 1.2 on stable (%missing%) 5%") << "the \"#\" is optional";
    m_localize.ConstructString(out, sizeof(out), "#NoSuchToken", variables);
    EXPECT_EQ(std::u16string(out), u"#NoSuchToken") << "an unknown token shows its name";
    m_localize.ConstructString(out, sizeof(out), "#Updater_CurrentVersion", nullptr);
    EXPECT_EQ(std::u16string(out), u"Version %version% on %branch% (%missing%) 5%");
    variables->deleteThis();
}

TEST_F(LocalizeTest, ConversionsUseByteSizes) {
    wchar wide[4];
    EXPECT_EQ(m_localize.ConvertANSIToUnicode("abcdef", wide, sizeof(wide)), 3);
    EXPECT_EQ(std::u16string(wide), u"abc");
    char narrow[4];
    EXPECT_EQ(m_localize.ConvertUnicodeToANSI(u"\u00fc\u00fc", narrow, sizeof(narrow)), 2)
        << "a two-byte character that does not fit is left out whole";
    EXPECT_STREQ(narrow, "\xC3\xBC");
}

TEST_F(LocalizeTest, LookupsFromWorkersWhileTokensAreAdded) {
    m_localize.AddString("#Updater_P2", u"Starting", nullptr);
    std::thread worker([this] {
        wchar out[64];
        for (int i = 0; i < 2000; ++i) {
            const wchar* text = m_localize.Find("#Updater_P2");
            ASSERT_NE(text, nullptr);
            m_localize.ConstructString(out, sizeof(out), "#Updater_P2", nullptr);
            ASSERT_EQ(std::u16string(out), u"Starting");
        }
    });
    for (int i = 0; i < 2000; ++i) {
        m_localize.AddString(("#var_" + std::to_string(i)).c_str(), u"x", nullptr);
    }
    worker.join();
    EXPECT_NE(m_localize.Find("#var_1999"), nullptr);
}

// The shipped English file defines every token the updater and the
// toolkit use, with the argument places the constructed ones need. It is
// found through the platform search path: in the game folder itself the
// name "updater" is the executable's.
TEST(ShippedTokens, EnglishDefinesEveryTokenWithItsArguments) {
    const char* stage = std::getenv("UPD_STAGE_DIR");
    ASSERT_NE(stage, nullptr);
    CFileSystemStdio fileSystem;
    fileSystem.AddSearchPath(stage, "ROOT");
    fileSystem.AddSearchPath((std::string(stage) + "/platform").c_str(), "PLATFORM");
    testsupport::RecordingSurface surface;
    surface.language = "english";
    CLocalize localize(&surface);
    ASSERT_TRUE(localize.AddFile(&fileSystem, "updater/updater_%language%.txt"));

    struct Expected {
        const char* token;
        int arguments;
    };
    const Expected expected[] = {
        {"#Updater_Title", 0}, {"#Updater_Branch", 0}, {"#Updater_Button", 0}, {"#Updater_Update", 0},
        {"#Updater_Stop", 0}, {"#Updater_Changelog", 0}, {"#Updater_CurrentVersion", 1},
        {"#Updater_RemoteVersion", 1}, {"#Updater_StatusLabel", 0}, {"#Updater_StatusUpToDate", 0},
        {"#Updater_StatusAvailableUpdate", 0}, {"#Updater_P1", 0}, {"#Updater_P2", 0},
        {"#Updater_DownloadingFile", 1}, {"#Updater_DownloadingFile2", 3}, {"#Updater_FailedCurl", 0},
        {"#Updater_FailedOpen", 0}, {"#Updater_Unpacking", 0}, {"#Updater_Success", 0}, {"#Updater_Quit", 0},
        {"#Updater_QuitConfirmationText", 0}, {"#SysMenu_Minimize", 0}, {"#SysMenu_Maximize", 0},
        {"#SysMenu_Close", 0}, {"#MessageBox_OK", 0}, {"#QueryBox_Cancel", 0}, {"#TextEntry_Cut", 0},
        {"#TextEntry_Copy", 0}, {"#TextEntry_Paste", 0},
    };
    for (const Expected& entry : expected) {
        const wchar* text = localize.Find(entry.token);
        ASSERT_NE(text, nullptr) << entry.token;
        std::u16string value(text);
        EXPECT_FALSE(value.empty()) << entry.token;
        for (int place = 1; place <= 3; ++place) {
            std::u16string marker = u"%s" + std::u16string(1, static_cast<wchar>(u'0' + place));
            EXPECT_EQ(value.find(marker) != std::u16string::npos, place <= entry.arguments)
                << entry.token << " argument " << place;
        }
    }
}

// Every translation defines exactly the tokens of the English file, with the
// same argument places, so no language silently falls back to English or
// drops an argument.
TEST(ShippedTokens, EveryTranslationMatchesTheEnglishTokens) {
    const char* stage = std::getenv("UPD_STAGE_DIR");
    ASSERT_NE(stage, nullptr);
    auto load = [&](const std::string& language) {
        std::string text = testsupport::ReadFile(std::string(stage) + "/platform/updater/updater_" + language + ".txt");
        std::map<std::string, std::string> tokens;
        for (auto& [name, value] : ParseTokenFile(text.c_str())) {
            tokens[name] = value;
        }
        return tokens;
    };
    auto placesOf = [](const std::string& value) {
        std::string places;
        for (const char* marker : {"%s1", "%s2", "%s3"}) {
            places += value.find(marker) != std::string::npos ? '1' : '0';
        }
        return places;
    };
    std::map<std::string, std::string> english = load("english");
    ASSERT_EQ(english.size(), 30u);
    for (const char* language : {"german", "russian", "spanish"}) {
        std::map<std::string, std::string> translated = load(language);
        EXPECT_EQ(translated.size(), english.size()) << language;
        for (const auto& [name, value] : english) {
            auto found = translated.find(name);
            ASSERT_NE(found, translated.end()) << language << " lacks " << name;
            EXPECT_FALSE(found->second.empty()) << language << " " << name;
            EXPECT_EQ(placesOf(found->second), placesOf(value)) << language << " " << name;
        }
    }
}

}  // namespace
