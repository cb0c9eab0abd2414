// The tree operations and the getter conversions of KeyValues.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "vgui2/KeyValues.h"

namespace {

// Deletes a root tree at the end of a test.
struct Tree {
    KeyValues* root;
    explicit Tree(const char* name = "root") : root(new KeyValues(name)) {}
    ~Tree() { KeyValues::Destroy(root); }
    KeyValues* operator->() const { return root; }
};

std::u16string Wide(const vgui2::wchar* text) { return text ? std::u16string(text) : std::u16string(); }

TEST(KeyValuesPaths, CreatingAThreePartPathNestsThreeKeys) {
    Tree tree;
    KeyValues* c = tree->FindKey("a/b/c", true);
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(c->GetName(), "c");
    KeyValues* a = tree->FindKey("a");
    ASSERT_NE(a, nullptr);
    KeyValues* b = a->FindKey("b");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->FindKey("c"), c);
    EXPECT_EQ(a->GetNextKey(), nullptr);

    EXPECT_EQ(tree->FindKey("a/x"), nullptr);
    EXPECT_EQ(a->FindKey("x"), nullptr) << "a lookup without create must not create";
    EXPECT_EQ(b->GetNextKey(), nullptr);
}

TEST(KeyValuesPaths, EmptyOrNullPathIsTheNodeItself) {
    Tree tree;
    EXPECT_EQ(tree->FindKey(nullptr), tree.root);
    EXPECT_EQ(tree->FindKey(""), tree.root);
    tree->SetInt(nullptr, 4);
    EXPECT_EQ(tree->GetInt(""), 4);
}

TEST(KeyValuesPaths, NamesMatchWithoutRegardToCase) {
    Tree tree;
    tree->SetString("FieldName", "x");
    EXPECT_STREQ(tree->GetString("fieldname"), "x");
    tree->SetString("FIELDNAME", "y");
    EXPECT_EQ(tree->GetFirstSubKey()->GetNextKey(), nullptr) << "the second spelling must reuse the key";
    EXPECT_STREQ(tree->GetString("FieldName"), "y");
}

TEST(KeyValuesPaths, OverlongPathPartIsRefusedWithoutOverrun) {
    Tree tree;
    std::string longPart(300, 'p');
    EXPECT_EQ(tree->FindKey(longPart.c_str(), true), nullptr);
    tree->SetInt(longPart.c_str(), 3);
    EXPECT_EQ(tree->GetFirstSubKey(), nullptr);
    std::string longest(255, 'q');
    EXPECT_NE(tree->FindKey(longest.c_str(), true), nullptr) << "255 bytes still fit the part buffer";
    std::string nested = "ok/" + longPart;
    EXPECT_EQ(tree->FindKey(nested.c_str(), true), nullptr);
}

TEST(KeyValuesPaths, CreatingASubkeyClearsTheParentType) {
    Tree tree;
    tree->SetString("k", "text");
    KeyValues* k = tree->FindKey("k");
    k->FindKey("child", true);
    EXPECT_EQ(k->GetDataType(), KeyValues::TYPE_NONE);
    EXPECT_FALSE(k->IsEmpty());
}

TEST(KeyValuesTree, NumberedSubkeyFollowsTheLargestNumber) {
    Tree tree;
    tree->FindKey("1", true);
    tree->FindKey("5", true);
    tree->FindKey("x", true);
    EXPECT_STREQ(tree->CreateNewKey()->GetName(), "6");

    Tree empty;
    EXPECT_STREQ(empty->CreateNewKey()->GetName(), "1");
    EXPECT_STREQ(empty->CreateNewKey()->GetName(), "2");
}

// Found by fuzzing: a child named at the int limit made the next number
// overflow (undefined behaviour).
TEST(KeyValuesTree, NewNumberedKeysBeyondTheIntegerLimitsAreStillNew) {
    Tree tree;
    tree->FindKey("2147483647", true);
    EXPECT_STREQ(tree->CreateNewKey()->GetName(), "2147483648");

    Tree full;
    KeyValues* limit = full->FindKey("9223372036854775807", true);
    KeyValues* beyond = full->FindKey("99999999999999999999", true);
    KeyValues* fresh = full->CreateNewKey();
    EXPECT_NE(fresh, limit);
    EXPECT_NE(fresh, beyond);
    EXPECT_STREQ(fresh->GetName(), "1") << "with no larger number left, the first free one";
}

TEST(KeyValuesTree, DetachUnlinksWithoutDeleting) {
    Tree tree;
    KeyValues* first = tree->FindKey("first", true);
    KeyValues* middle = tree->FindKey("middle", true);
    KeyValues* last = tree->FindKey("last", true);

    tree->RemoveSubKey(middle);
    EXPECT_EQ(first->GetNextKey(), last);
    EXPECT_EQ(middle->GetNextKey(), nullptr);
    tree->RemoveSubKey(first);
    EXPECT_EQ(tree->GetFirstSubKey(), last);
    EXPECT_EQ(first->GetNextKey(), nullptr);
    tree->RemoveSubKey(nullptr);
    EXPECT_EQ(tree->GetFirstSubKey(), last);

    first->deleteThis();
    middle->deleteThis();
}

TEST(KeyValuesTree, ClearRemovesSubkeysAndValue) {
    Tree tree;
    tree->SetInt("a", 1);
    tree->SetString("b", "two");
    tree->FindKey("c/d", true);
    tree->Clear();
    EXPECT_EQ(tree->GetFirstSubKey(), nullptr);
    EXPECT_EQ(tree->GetDataType(), KeyValues::TYPE_NONE);
    EXPECT_TRUE(tree->IsEmpty());
    KeyValues::Destroy(nullptr);
}

TEST(KeyValuesTree, CopyIsDeepAndIndependent) {
    Tree tree;
    tree->SetString("text", "original");
    tree->SetWString("wide", u"wide");
    tree->SetUint64("big", 1ULL << 40);
    tree->SetColor("colour", vgui2::Color(1, 2, 3, 4));
    tree->SetInt("section/inner", 9);

    Tree copy;
    KeyValues::Destroy(copy.root);
    copy.root = tree->MakeCopy();
    EXPECT_STREQ(copy->GetName(), "root");
    EXPECT_EQ(copy->GetNextKey(), nullptr);
    tree->SetString("text", "changed");
    tree->SetUint64("big", 7);
    EXPECT_STREQ(copy->GetString("text"), "original");
    EXPECT_EQ(Wide(copy->GetWString("wide")), u"wide");
    EXPECT_EQ(copy->GetUint64("big"), 1ULL << 40);
    EXPECT_EQ(copy->GetColor("colour"), vgui2::Color(1, 2, 3, 4));
    EXPECT_EQ(copy->GetInt("section/inner"), 9);
    EXPECT_NE(copy->FindKey("section"), tree->FindKey("section"));
}

TEST(KeyValuesTree, ConstructorsSetTheirSubkeys) {
    Tree text("Msg");
    KeyValues::Destroy(text.root);
    text.root = new KeyValues("Msg", u"hello");
    EXPECT_EQ(Wide(text->GetWString("text")), u"hello");

    Tree pair;
    KeyValues::Destroy(pair.root);
    pair.root = new KeyValues("Pos", "x", 3, "y", 4);
    EXPECT_EQ(pair->GetInt("x"), 3);
    EXPECT_EQ(pair->GetInt("y"), 4);
}

TEST(KeyValuesConversions, IntReadAsTextIsStoredBackAsText) {
    Tree tree;
    tree->SetInt("n", 5);
    EXPECT_STREQ(tree->GetString("n", ""), "5");
    EXPECT_EQ(tree->GetDataType("n"), KeyValues::TYPE_STRING);
    EXPECT_EQ(tree->GetInt("n"), 5);
}

TEST(KeyValuesConversions, IntFromOtherTypes) {
    Tree tree;
    tree->SetString("s", "12abc");
    tree->SetString("none", "abc");
    tree->SetFloat("f", 2.9f);
    tree->SetFloat("neg", -2.9f);
    tree->SetUint64("u", 77);
    tree->SetWString("w", u"-42x");
    tree->SetColor("c", vgui2::Color(1, 0, 0, 0));
    EXPECT_EQ(tree->GetInt("s"), 12);
    EXPECT_EQ(tree->GetInt("none"), 0);
    EXPECT_EQ(tree->GetInt("f"), 2);
    EXPECT_EQ(tree->GetInt("neg"), -2);
    EXPECT_EQ(tree->GetInt("u"), 0);
    EXPECT_EQ(tree->GetInt("w"), -42);
    EXPECT_EQ(tree->GetInt("c"), 1) << "the colour's four bytes read as an int";
    EXPECT_EQ(tree->GetInt("missing", 17), 17);
}

TEST(KeyValuesConversions, FloatFromOtherTypes) {
    Tree tree;
    tree->SetString("s", "1.5");
    tree->SetInt("i", 3);
    tree->SetUint64("u", 8);
    tree->SetWString("w", u"2.5");
    EXPECT_FLOAT_EQ(tree->GetFloat("s"), 1.5f);
    EXPECT_FLOAT_EQ(tree->GetFloat("i"), 3.0f);
    EXPECT_FLOAT_EQ(tree->GetFloat("u"), 8.0f);
    EXPECT_FLOAT_EQ(tree->GetFloat("w"), 0.0f);
    EXPECT_FLOAT_EQ(tree->GetFloat("missing", 4.5f), 4.5f);
}

TEST(KeyValuesConversions, TextFromNumbersIsFormattedAndStoredBack) {
    Tree tree;
    tree->SetFloat("f", 0.5f);
    tree->SetUint64("u", 12345678901ULL);
    tree->SetColor("c", vgui2::Color(1, 2, 3, 4));
    EXPECT_STREQ(tree->GetString("f"), "0.500000");
    EXPECT_EQ(tree->GetDataType("f"), KeyValues::TYPE_STRING);
    EXPECT_STREQ(tree->GetString("u"), "12345678901");
    EXPECT_STREQ(tree->GetString("c", "dflt"), "dflt");
    EXPECT_EQ(tree->GetDataType("c"), KeyValues::TYPE_COLOR);
    tree->FindKey("empty", true);
    EXPECT_STREQ(tree->GetString("empty", "dflt"), "dflt");
}

TEST(KeyValuesConversions, WideAndNarrowTextConvertBothWays) {
    Tree tree;
    tree->SetString("s", "Gr\xC3\xB6\xC3\x9F" "e");
    EXPECT_EQ(Wide(tree->GetWString("s")), u"Gr\u00F6\u00DFe");
    EXPECT_EQ(tree->GetDataType("s"), KeyValues::TYPE_WSTRING);
    EXPECT_STREQ(tree->GetString("s"), "Gr\xC3\xB6\xC3\x9F" "e");
    EXPECT_EQ(tree->GetDataType("s"), KeyValues::TYPE_STRING);

    tree->SetInt("i", -7);
    EXPECT_EQ(Wide(tree->GetWString("i")), u"-7");
    EXPECT_EQ(tree->GetDataType("i"), KeyValues::TYPE_WSTRING);
}

TEST(KeyValuesConversions, WideConversionIsBoundedByItsBuffer) {
    Tree tree;
    std::string longText(2000, 'a');
    tree->SetString("s", longText.c_str());
    EXPECT_EQ(Wide(tree->GetWString("s")).size(), 511u) << "a 1024-byte wide buffer holds 511 characters";
    std::u16string longWide(900, u'b');
    tree->SetWString("w", longWide.c_str());
    EXPECT_EQ(std::strlen(tree->GetString("w")), 511u) << "a 512-byte narrow buffer holds 511 bytes";
}

TEST(KeyValuesConversions, PointersOnlyFromPointerKeys) {
    Tree tree;
    int target = 0;
    tree->SetPtr("p", &target);
    tree->SetInt("i", 5);
    EXPECT_EQ(tree->GetPtr("p"), &target);
    EXPECT_EQ(tree->GetPtr("i", &target), nullptr);
    EXPECT_EQ(tree->GetPtr("missing", &target), &target);
}

TEST(KeyValuesConversions, NullTextIsStoredAsEmpty) {
    Tree tree;
    tree->SetString("s", nullptr);
    EXPECT_EQ(tree->GetDataType("s"), KeyValues::TYPE_STRING);
    EXPECT_STREQ(tree->GetString("s", "dflt"), "");
}

TEST(KeyValuesConversions, VeryLongTextsAreReleasedSafely) {
    // Texts whose byte size does not fit 16 bits must still be freed from
    // the heap they came from.
    Tree tree;
    for (std::size_t length : {65534u, 65535u, 65536u, 70000u}) {
        std::string text(length, 'z');
        tree->SetString("s", text.c_str());
        EXPECT_EQ(std::strlen(tree->GetString("s")), length);
        tree->SetString("s", "short");
        EXPECT_STREQ(tree->GetString("s"), "short");
    }
}

TEST(KeyValuesConversions, EmptinessAndTypeOfMissingKeys) {
    Tree tree;
    EXPECT_TRUE(tree->IsEmpty("missing"));
    EXPECT_EQ(tree->GetDataType("missing"), KeyValues::TYPE_NONE);
    tree->SetInt("i", 0);
    EXPECT_FALSE(tree->IsEmpty("i"));
}

}  // namespace
