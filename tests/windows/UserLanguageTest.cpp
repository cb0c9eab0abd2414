// The person's Windows display language picks the updater's language when
// the registry names none. Wine takes the display language from the LC_ALL
// it runs under; CTest runs this program once for each row of the table.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>

#include "modules/updfs/FileSystemStdio.h"
#include "modules/updvgui2/Localize.h"
#include "modules/updvgui2/ModuleServices.h"
#include "modules/updvgui2/TokenFile.h"
#include "platform/UserLocale.h"

namespace {

struct DisplayLanguage {
    const char* lcAll;
    const char* localeName;       // as the platform reports it
    const char* language;         // in the token file's name
    const char16_t* branchLabel;  // "#Updater_Branch" from the shipped files
};

const DisplayLanguage kDisplayLanguages[] = {
    {"de_DE.UTF-8", "de_DE", "german", u"Zweig:"},
    // No Chinese file ships, so English stands in.
    {"zh_TW.UTF-8", "zh_TW", "tchinese", u"Branch:"},
};

const DisplayLanguage* ThisRunsLanguage() {
    const char* lcAll = std::getenv("LC_ALL");
    for (const DisplayLanguage& entry : kDisplayLanguages) {
        if (lcAll && std::string(lcAll) == entry.lcAll) {
            return &entry;
        }
    }
    return nullptr;
}

TEST(UserLanguage, WithoutARegistryLanguageTheDisplayLanguageLoadsItsFile) {
    const DisplayLanguage* expected = ThisRunsLanguage();
    ASSERT_NE(expected, nullptr) << "run with one of the table's LC_ALL values";
    EXPECT_EQ(platform::UserLocaleName(), expected->localeName);

    // Start-up hands the surface no language when the registry has none.
    ASSERT_STREQ(TheSurface().GetLanguage(), "") << "a language of the surface's own hides the display language";
    EXPECT_EQ(static_cast<CLocalize&>(TheLocalize()).CurrentLanguage(), expected->language);

    CFileSystemStdio fileSystem;
    fileSystem.AddSearchPath((std::string(std::getenv("UPD_STAGE_DIR")) + "/platform").c_str(), "PLATFORM");
    ASSERT_TRUE(TheLocalize().AddFile(&fileSystem, "updater/updater_%language%.txt"));
    const vgui2::wchar* branch = TheLocalize().Find("#Updater_Branch");
    ASSERT_NE(branch, nullptr);
    EXPECT_EQ(std::u16string(branch), expected->branchLabel);
}

// Names as Windows gives them, "-" made "_"; Chinese goes by script first,
// then by territory.
TEST(UserLanguage, WindowsLocaleNamesNameTheirLanguage) {
    const std::pair<const char*, const char*> kNames[] = {
        {"zh_TW", "tchinese"},      {"zh_Hant_TW", "tchinese"}, {"zh_HK", "tchinese"},   {"zh_MO", "tchinese"},
        {"zh_Hant", "tchinese"},    {"zh_CN", "schinese"},      {"zh_Hans_CN", "schinese"}, {"zh_SG", "schinese"},
        {"zh_Hans_HK", "schinese"}, {"zh_Hans", "schinese"},    {"pt_BR", "brazilian"},  {"pt_PT", "portuguese"},
        {"nb_NO", "norwegian"},     {"de_CH", "german"},        {"sr_Latn_RS", "english"},
    };
    for (const auto& [name, language] : kNames) {
        EXPECT_EQ(LanguageFromLocale(name), language) << name;
    }
}

}  // namespace
