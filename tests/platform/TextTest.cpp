#include <gtest/gtest.h>

#include "platform/Text.h"

namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

// Names, commands and keys are matched without regard to ASCII case; any
// other byte, including those of UTF-8 letters, compares as it stands.
TEST(PlatformText, CompareNoCaseFoldsAsciiOnly) {
    struct Case {
        const char* a;
        const char* b;
        std::size_t count;
        int sign;
    } cases[] = {
        {"UpdateButton", "updatebutton", 99, 0}, {"abc", "ABD", 99, -1},   {"abd", "ABC", 99, 1},
        {"ab", "abc", 99, -1},                   {"", "", 99, 0},          {"Zeta", "zEt", 3, 0},
        {"\xC3\x9C", "\xC3\xBC", 99, -1},        {"a[", "A{", 99, -1},     {"anything", "other", 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sign(platform::CompareNoCaseN(c.a, c.b, c.count)), c.sign) << c.a << " / " << c.b;
        if (c.count == 99) {
            EXPECT_EQ(Sign(platform::CompareNoCase(c.a, c.b)), c.sign) << c.a << " / " << c.b;
        }
    }
}

}  // namespace
