// The person's settings in the system's registry, as the updater reads its
// language: values round-trip in full (letters outside ASCII included), a
// value too long for the caller's buffer is refused rather than cut, and a
// missing value or a malformed key reads as nothing.
#include <gtest/gtest.h>

#include <string>

#include "modules/updvgui2/System.h"
#include "platform/Registry.h"

namespace {

constexpr const char* kLanguageKey = "HKEY_CURRENT_USER\\Software\\Quillmere\\Language";

// The person's own language setting is put back afterwards; without one,
// the prefix keeps "english", the updater's default.
class KeptLanguage {
public:
    KeptLanguage() { m_had = platform::ReadRegistryString(kLanguageKey, m_value); }
    ~KeptLanguage() { platform::WriteRegistryString(kLanguageKey, m_had ? m_value.c_str() : "english"); }

private:
    bool m_had = false;
    std::string m_value;
};

TEST(Registry, TheLanguageValueAsTheUpdaterReadsIt) {
    KeptLanguage kept;
    CSystem system;
    ASSERT_TRUE(system.SetRegistryString(kLanguageKey, "german"));
    char language[64];
    ASSERT_TRUE(system.GetRegistryString(kLanguageKey, language, sizeof(language)));
    EXPECT_STREQ(language, "german");

    char tooSmall[6];
    EXPECT_FALSE(system.GetRegistryString(kLanguageKey, tooSmall, sizeof(tooSmall)));
    EXPECT_STREQ(tooSmall, "");
}

TEST(Registry, ValuesAndKeys) {
    const std::string unicode = "Spiel \xC3\x9C" "ber \xD1\x80\xD1\x83\xD1\x81";
    ASSERT_TRUE(platform::WriteRegistryString("HKEY_CURRENT_USER/Software/QuillmereTest/Name", unicode.c_str()));
    std::string value;
    EXPECT_TRUE(platform::ReadRegistryString("hkey_current_user\\Software\\QuillmereTest\\Name", value));
    EXPECT_EQ(value, unicode);

    for (const char* absent : {"HKEY_CURRENT_USER\\Software\\QuillmereTest\\Missing",
                               "HKEY_NOWHERE\\Software\\QuillmereTest\\Name", "Name", "HKEY_CURRENT_USER\\"}) {
        EXPECT_FALSE(platform::ReadRegistryString(absent, value)) << absent;
    }
}

}  // namespace
