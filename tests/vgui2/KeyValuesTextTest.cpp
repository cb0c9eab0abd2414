// The KeyValues text format: the token reader's rules, section reading, the
// writer's exact layout, and files through the file-system service.
#include <gtest/gtest.h>

#include <string>

#include "modules/updfs/FileSystemStdio.h"
#include "tests/support/TestSupport.h"
#include "vgui2/KeyValues.h"

namespace {

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

struct Tree {
    KeyValues* root = new KeyValues("unnamed");
    ~Tree() { KeyValues::Destroy(root); }
    KeyValues* operator->() const { return root; }
};

std::string Write(KeyValues* tree) {
    KeyValues::TextBuffer buffer;
    tree->WriteToBuffer(buffer, 0);
    return std::string(buffer.data, buffer.size);
}

int CountSubkeys(KeyValues* key) {
    int count = 0;
    for (KeyValues* child = key->GetFirstSubKey(); child; child = child->GetNextKey()) {
        ++count;
    }
    return count;
}

TEST(KeyValuesReader, RootWithEmptySection) {
    Tree tree;
    tree->LoadFromBuffer("Layout { }");
    EXPECT_STREQ(tree->GetName(), "Layout");
    EXPECT_EQ(tree->GetFirstSubKey(), nullptr);
}

TEST(KeyValuesReader, RootNameWithoutBraceSetsOnlyTheName) {
    Tree tree;
    tree->LoadFromBuffer("Layout key value");
    EXPECT_STREQ(tree->GetName(), "Layout");
    EXPECT_EQ(tree->GetFirstSubKey(), nullptr);

    Tree empty;
    empty->LoadFromBuffer("   // only a comment\n");
    EXPECT_STREQ(empty->GetName(), "unnamed");
}

TEST(KeyValuesReader, DuplicateKeysKeepTheLastValue) {
    Tree tree;
    tree->LoadFromBuffer("r { k x k y }");
    EXPECT_EQ(CountSubkeys(tree.root), 1);
    EXPECT_STREQ(tree->GetString("k"), "y");
}

TEST(KeyValuesReader, NestedSectionsAndStringValues) {
    Tree tree;
    tree->LoadFromBuffer(
        "\"Frame.res\"\n{\n\t\"Button\"\n\t{\n\t\t\"xpos\"\t\t\"r20\"\n\t\t\"wide\" \"64\"\n\t}\n\tlabel text\n}\n");
    EXPECT_STREQ(tree->GetName(), "Frame.res");
    EXPECT_STREQ(tree->GetString("Button/xpos"), "r20");
    EXPECT_EQ(tree->GetDataType("Button/wide"), KeyValues::TYPE_STRING);
    EXPECT_EQ(tree->GetInt("Button/wide"), 64);
    EXPECT_STREQ(tree->GetString("label"), "text");
}

TEST(KeyValuesReader, LongTokensAreCutTo511Bytes) {
    Tree tree;
    std::string value(700, 'v');
    std::string text = "r { k \"" + value + "\" after one }";
    tree->LoadFromBuffer(text.c_str());
    EXPECT_EQ(std::string(tree->GetString("k")), std::string(511, 'v'));
    EXPECT_STREQ(tree->GetString("after"), "one") << "reading goes on after the cut token";

    std::string bare = "r { k " + value + " next two }";
    Tree unquoted;
    unquoted->LoadFromBuffer(bare.c_str());
    EXPECT_EQ(std::string(unquoted->GetString("k")).size(), 511u);
    EXPECT_STREQ(unquoted->GetString("next"), "two");
}

TEST(KeyValuesReader, CommentsRunToTheEndOfTheLine) {
    Tree tree;
    tree->LoadFromBuffer("r // comment { k v }\n{ // another\n a 1 // trailing\n b 2 }");
    EXPECT_EQ(tree->GetInt("a"), 1);
    EXPECT_EQ(tree->GetInt("b"), 2);

    Tree slash;
    slash->LoadFromBuffer("r { path /usr/bin x y }");
    EXPECT_STREQ(slash->GetString("path"), "/usr/bin") << "a single slash starts a token";
    EXPECT_STREQ(slash->GetString("x"), "y");
}

TEST(KeyValuesReader, EscapesInQuotedTokens) {
    Tree tree;
    tree->LoadFromBuffer("r { a \"1\\n2\\t3\" b \"q\\\"q\" c \"back\\\\slash\" d \"dir\\file\" e \"{ } //\" }");
    EXPECT_STREQ(tree->GetString("a"), "1\n2\t3");
    EXPECT_STREQ(tree->GetString("b"), "q\"q");
    EXPECT_STREQ(tree->GetString("c"), "back\\slash");
    EXPECT_STREQ(tree->GetString("d"), "dir\\file") << "other escapes keep both characters";
    EXPECT_STREQ(tree->GetString("e"), "{ } //") << "braces, spaces and slashes inside quotes are text";
}

TEST(KeyValuesReader, HighBytesStayInTokensAndComments) {
    // UTF-8 text in quoted and bare tokens and in comments, as a translator
    // writes it; nothing after it may be lost.
    Tree tree;
    tree->LoadFromBuffer("r { // \xC3\x9C" "bersetzung\n q \"Gr\xC3\xB6\xC3\x9F" "e\" "
                         "b Gr\xC3\xB6\xC3\x9F" "e \xC3\xA9t\xC3\xA9 2 lone b\xC3 // caf\xC3\xA9\n last 3 }");
    EXPECT_STREQ(tree->GetString("q"), "Gr\xC3\xB6\xC3\x9F" "e");
    EXPECT_STREQ(tree->GetString("b"), "Gr\xC3\xB6\xC3\x9F" "e");
    EXPECT_EQ(tree->GetInt("\xC3\xA9t\xC3\xA9"), 2);
    EXPECT_STREQ(tree->GetString("lone"), "b\xC3") << "a stray high byte is kept, not a token end";
    EXPECT_EQ(tree->GetInt("last"), 3);
    EXPECT_EQ(CountSubkeys(tree.root), 5);
}

TEST(KeyValuesReader, BracesDoNotEndBareTokensButQuotedBracesAreBraces) {
    Tree tree;
    tree->LoadFromBuffer("r { a{ b \"c\" \"{\" d e \"}\" f g }");
    EXPECT_STREQ(tree->GetString("a{"), "b");
    EXPECT_STREQ(tree->GetString("c/d"), "e");
    EXPECT_STREQ(tree->GetString("f"), "g");
}

TEST(KeyValuesReader, OneByteBareTokenAtTheEndIsEmpty) {
    Tree tree;
    tree->LoadFromBuffer("r { k v");
    EXPECT_EQ(tree->GetDataType("k"), KeyValues::TYPE_STRING);
    EXPECT_STREQ(tree->GetString("k", "dflt"), "");

    Tree longer;
    longer->LoadFromBuffer("r { k vv");
    EXPECT_STREQ(longer->GetString("k"), "vv");
}

TEST(KeyValuesReader, UnterminatedQuoteRunsToTheEnd) {
    Tree tree;
    tree->LoadFromBuffer("r { k \"rest of text");
    EXPECT_STREQ(tree->GetString("k"), "rest of text");
}

TEST(KeyValuesReader, EmptyNameTokenEndsTheSection) {
    Tree tree;
    tree->LoadFromBuffer("r { a 1 \"\" 2 b 3 }");
    EXPECT_EQ(tree->GetInt("a"), 1);
    EXPECT_TRUE(tree->IsEmpty("b"));
}

TEST(KeyValuesReader, DeepNestingIsSkippedNotOverflowed) {
    std::string text = "r { before 1 deep";
    for (int i = 0; i < 100000; ++i) {
        text += " { x";
    }
    text += " ";
    for (int i = 0; i < 100000; ++i) {
        text += "} ";
    }
    text += "after 2 }";
    Tree tree;
    tree->LoadFromBuffer(text.c_str());
    EXPECT_EQ(tree->GetInt("before"), 1);
    EXPECT_EQ(tree->GetInt("after"), 2);
}

TEST(KeyValuesWriter, ExactLayoutOfNumbersAndSkippedKinds) {
    KeyValues* tree = new KeyValues("Root");
    tree->SetInt("i", 7);
    tree->SetFloat("f", 0.5f);
    tree->SetString("empty", "");
    tree->SetString("s", "a\"b\\c");
    tree->SetPtr("p", tree);
    tree->SetColor("c", vgui2::Color(1, 2, 3, 4));
    tree->SetUint64("u", 5);
    tree->SetWString("w", u"wide");
    tree->FindKey("none", true);
    tree->SetInt("sub/x", 1);
    EXPECT_EQ(Write(tree),
              "\"Root\"\n{\n"
              "\t\"i\"\t\t\"7\"\n"
              "\t\"f\"\t\t\"0.500000\"\n"
              "\t\"s\"\t\t\"a\\\"b\\\\c\"\n"
              "\t\"w\"\t\t\"wide\"\n"
              "\t\"sub\"\n\t{\n\t\t\"x\"\t\t\"1\"\n\t}\n"
              "}\n");
    tree->deleteThis();
}

TEST(KeyValuesWriter, NamesWithQuotesSurviveARoundTrip) {
    Tree tree;
    tree->SetString("say \"hi\"", "v");
    std::string text = Write(tree.root);
    Tree again;
    again->LoadFromBuffer(text.c_str());
    EXPECT_STREQ(again->GetString("say \"hi\""), "v");
}

class KeyValuesFiles : public ::testing::Test {
protected:
    TempDir dir{true};
    CFileSystemStdio fileSystem;
    void SetUp() override { fileSystem.AddSearchPath(".", "ROOT"); }
};

TEST_F(KeyValuesFiles, SaveLoadSaveGivesTheSameBytes) {
    WriteFile(dir.File("in.res"),
              "// a layout\n\"in.res\"\n{\n  Frame { xpos c-50 ypos 20 title \"#Title\" }\n"
              "  \"Label\" { labelText \"tab\\there\" wide 64 }\n  orphan value\n}\n");
    Tree first;
    ASSERT_TRUE(first->LoadFromFile(&fileSystem, "in.res", "ROOT"));
    ASSERT_TRUE(first->SaveToFile(&fileSystem, "out1.res", "ROOT"));
    Tree second;
    ASSERT_TRUE(second->LoadFromFile(&fileSystem, "out1.res", "ROOT"));
    ASSERT_TRUE(second->SaveToFile(&fileSystem, "out2.res", "ROOT"));
    std::string bytes = ReadFile(dir.File("out1.res"));
    EXPECT_EQ(bytes, ReadFile(dir.File("out2.res")));
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.back(), '\0') << "the writer ends the file with a zero byte";
    EXPECT_STREQ(second->GetString("Label/labelText"), "tab\there");
}

TEST_F(KeyValuesFiles, SaveCreatesMissingDirectories) {
    Tree tree;
    tree->SetString("k", "v");
    ASSERT_TRUE(tree->SaveToFile(&fileSystem, "cfg\\deep\\file.res", "ROOT"));
    EXPECT_TRUE(testsupport::PathExists(dir.File("cfg/deep/file.res")));
}

TEST_F(KeyValuesFiles, MissingFileLeavesTheTreeUnchanged) {
    Tree tree;
    tree->SetString("k", "v");
    EXPECT_FALSE(tree->LoadFromFile(&fileSystem, "absent.res", "ROOT"));
    EXPECT_STREQ(tree->GetName(), "unnamed");
    EXPECT_STREQ(tree->GetString("k"), "v");
}

TEST_F(KeyValuesFiles, UnwritableFileFails) {
    WriteFile(dir.File("blocker"), "a file where a directory is needed");
    Tree tree;
    EXPECT_FALSE(tree->SaveToFile(&fileSystem, "blocker/x.res", "ROOT"));
}

}  // namespace
