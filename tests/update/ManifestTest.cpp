#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "tests/support/TestSupport.h"
#include "tests/update/EngineTestSupport.h"
#include "tests/update/RecordingPublisher.h"
#include "tests/update/TestHttpServer.h"
#include "update/EngineInit.h"
#include "update/Manifest.h"

using namespace update;
using nlohmann::json;
using testsupport::PathExists;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

json Parse(const std::string& text) {
    json document;
    EXPECT_TRUE(ParseManifest(text, document)) << text;
    return document;
}

// The branches of a manifest text, with the diagnostic listing captured.
std::vector<BranchRecord> Branches(const std::string& text, std::string* listing = nullptr) {
    std::FILE* output = std::tmpfile();
    std::vector<BranchRecord> records = ReadBranches(Parse(text), output);
    if (listing) {
        listing->assign(static_cast<std::size_t>(std::ftell(output)), '\0');
        std::rewind(output);
        EXPECT_EQ(std::fread(listing->data(), 1, listing->size(), output), listing->size());
    }
    std::fclose(output);
    return records;
}

std::vector<std::string> Names(const std::vector<BranchRecord>& records) {
    std::vector<std::string> names;
    for (const BranchRecord& record : records) {
        names.push_back(record.name);
    }
    return names;
}

std::int32_t SizeOf(const std::string& value) {
    std::vector<BranchRecord> records = Branches(R"({"branches":[{"name":"a","size":)" + value + "}]}");
    EXPECT_EQ(records.size(), 1u) << value;
    return records.empty() ? -12345 : records[0].size;
}

TEST(ManifestParse, IsStrict) {
    json document;
    EXPECT_TRUE(ParseManifest("{\"branches\": []}  \n\t", document));
    EXPECT_TRUE(document.is_object());
    EXPECT_FALSE(ParseManifest("{\"branches\": []} // note", document));
    EXPECT_FALSE(ParseManifest("/* c */ {\"branches\": []}", document));
    EXPECT_FALSE(ParseManifest("{\"branches\": []} x", document));
    EXPECT_FALSE(ParseManifest("{\"branches\": [],}", document));
    EXPECT_FALSE(ParseManifest("<html><body>502 Bad Gateway</body></html>", document));
    EXPECT_FALSE(ParseManifest("", document));
    // A failed parse leaves the earlier document as it was.
    EXPECT_TRUE(document.is_object());
}

std::string Nested(int depth) { return std::string(depth, '[') + std::string(depth, ']'); }

// A flat array of the given number of values in all (the array is one).
std::string ValuesInAll(std::size_t values) {
    std::string text = "[0";
    for (std::size_t i = 2; i < values; ++i) {
        text += ",0";
    }
    return text + "]";
}

TEST(ManifestParse, RefusesDocumentsBeyondDepthOrValueBudget) {
    struct Case {
        const char* what;
        std::string text;
        bool accepted;
    };
    const Case cases[] = {
        {"64 levels", Nested(kMaxManifestDepth), true},
        {"65 levels", Nested(kMaxManifestDepth + 1), false},
        {"an object at level 65", Nested(kMaxManifestDepth).insert(kMaxManifestDepth, "{}"), false},
        {"16 MiB of openings", std::string(16u << 20, '['), false},
        {"values up to the budget", ValuesInAll(kMaxManifestValues), true},
        {"one value beyond it", ValuesInAll(kMaxManifestValues + 1), false},
    };
    for (const Case& c : cases) {
        json document = json::object();
        EXPECT_EQ(ParseManifest(c.text, document), c.accepted) << c.what;
        EXPECT_EQ(document.is_object(), !c.accepted) << c.what << ": a refused text leaves the document";
    }
}

TEST(ManifestBranches, ListingEscapesControlCharactersInEveryField) {
    std::string listing;
    Branches(R"({"branches":[{"name":"a\u001b[2Jb","version":"1\u0007","browser_download_url":"h\u001b]0;t\u0007",
        "changelog":"x\ny\u007f\u009b\u00e9 \\x1b","size":1}]})",
             &listing);
    EXPECT_EQ(listing, "a\\x1b[2Jb\na\\x1b[2Jb\nh\\x1b]0;t\\x07\n1\nx\\x0ay\\x7f\\xc2\\x9b\xc3\xa9 \\x1b\n1\\x07\n\n");
}

TEST(ManifestBranches, NonObjectRootsMissingOrEmptyBranchesGiveNothing) {
    EXPECT_TRUE(Branches(R"([{"name":"plus"}])").empty());
    EXPECT_TRUE(Branches(R"({"other":[{"name":"plus"}]})").empty());
    EXPECT_TRUE(Branches(R"({"branches":null})").empty());
    EXPECT_TRUE(Branches(R"({"branches":[]})").empty());
    EXPECT_TRUE(Branches(R"({"branches":"plus"})").empty());
}

TEST(ManifestBranches, FieldsDefaultsAndListing) {
    std::string listing;
    std::vector<BranchRecord> records = Branches(
        R"({"branches":[{"name":"plus","version":"2.0","browser_download_url":"https://h/p.zip","size":42,
            "changelog":"Fixes","extra":[1,2]},{"name":"bare"}]})",
        &listing);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].version, "2.0");
    EXPECT_EQ(records[0].downloadUrl, "https://h/p.zip");
    EXPECT_EQ(records[0].size, 42);
    EXPECT_EQ(records[0].changelog, "Fixes");
    EXPECT_EQ(records[1].version, "");
    EXPECT_EQ(records[1].downloadUrl, "");
    EXPECT_EQ(records[1].size, 0);
    EXPECT_EQ(listing, "plus\nplus\nhttps://h/p.zip\n42\nFixes\n2.0\n\nbare\nbare\n\n0\n\n\n\n");
}

TEST(ManifestBranches, SizeFromEveryNumberKindAndBooleans) {
    EXPECT_EQ(SizeOf("1048576.9"), 1048576);
    EXPECT_EQ(SizeOf("-7.9"), -7);
    EXPECT_EQ(SizeOf("true"), 1);
    EXPECT_EQ(SizeOf("false"), 0);
    EXPECT_EQ(SizeOf("-5"), -5);
    EXPECT_EQ(SizeOf("4294967301"), 5);
    EXPECT_EQ(SizeOf("3000000000"), static_cast<std::int32_t>(3000000000u));
    EXPECT_EQ(SizeOf("18446744073709551615"), -1);
    EXPECT_EQ(SizeOf("1e300"), 0);
}

TEST(ManifestBranches, UnnamedAndMistypedEntriesAreSkippedAndDuplicatesKept) {
    std::vector<BranchRecord> records = Branches(R"({"branches":[
        {"name":""}, {"version":"1"}, {"name":7}, {"name":"a","size":"12"}, {"name":"b","version":1},
        {"name":"c","changelog":null}, "text", [1], null,
        {"name":"dup","version":"1"}, {"name":"dup","version":"2"}]})");
    EXPECT_EQ(Names(records), (std::vector<std::string>{"dup", "dup"}));
    EXPECT_EQ(records[1].version, "2");
}

TEST(ManifestBranches, ObjectInPlaceOfListIsWalkedInKeyOrder) {
    std::vector<BranchRecord> records =
        Branches(R"({"branches":{"b":{"name":"second"},"B":{"name":"first"},"c":{"name":"third"}}})");
    EXPECT_EQ(Names(records), (std::vector<std::string>{"first", "second", "third"}));
}

class BranchSelectionTest : public enginetest::EngineTest {
protected:
    void Load(const std::string& text) { ASSERT_TRUE(ParseManifest(text, *g_updateState.manifest)); }

    TempDir m_game{true};
    const std::string m_manifest =
        R"({"branches":[{"name":"plus","version":"1"},{"name":"Beta","version":"2"},{"name":"beta","version":"3"}]})";
};

TEST_F(BranchSelectionTest, ExactMatchIsSelectedWithoutWritingTheFile) {
    Load(m_manifest);
    g_updateState.chosenBranchName = "beta";
    ParseBranches();
    EXPECT_EQ(g_updateState.branches.size(), 3u);
    EXPECT_EQ(g_updateState.selectedBranch.version, "3");
    EXPECT_FALSE(PathExists(m_game.File("qlm.branch")));
}

TEST_F(BranchSelectionTest, NameDifferingInCaseFallsBackToTheFirstAndSavesIt) {
    Load(m_manifest);
    g_updateState.chosenBranchName = "BETA";
    ParseBranches();
    EXPECT_EQ(g_updateState.selectedBranch.name, "plus");
    EXPECT_EQ(g_updateState.chosenBranchName, "plus");
    EXPECT_EQ(ReadFile(m_game.File("qlm.branch")), "plus");
}

TEST_F(BranchSelectionTest, EmptyListChangesNothing) {
    g_updateState.selectedBranch.name = "kept";
    g_updateState.chosenBranchName = "wanted";
    g_updateState.branches.push_back({"stale", "", 0, "", ""});
    Load(R"({"branches":[]})");
    ParseBranches();
    EXPECT_TRUE(g_updateState.branches.empty());
    EXPECT_EQ(g_updateState.selectedBranch.name, "kept");
    EXPECT_EQ(g_updateState.chosenBranchName, "wanted");
    EXPECT_FALSE(PathExists(m_game.File("qlm.branch")));
}

class ManifestFetchTest : public enginetest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        Serve("/builtin.json", R"({"branches":[{"name":"plus","version":"builtin"}]})", &m_builtinHits);
        Serve("/direct.json", R"({"branches":[{"name":"plus","version":"direct"}]})", &m_directHits);
        Serve("/pointer", m_server.Url("/direct.json") + "\r\nignored", nullptr);
        Serve("/not-a-pointer", " " + m_server.Url("/direct.json"), nullptr);
        Serve("/page.json", "<html>error</html>", nullptr);
    }
    void Serve(const std::string& path, const std::string& body, std::atomic<int>* hits) {
        m_server.Routes().Get(path, [body, hits](const httplib::Request&, httplib::Response& response) {
            if (hits) {
                ++*hits;
            }
            response.set_content(body, "application/json");
        });
    }
    std::string Resolve() { return ResolveManifest(m_server.Url("/builtin.json").c_str()); }
    std::string Unreachable() const {
        return "http://127.0.0.1:" + std::to_string(enginetest::ClosedPort()) + "/m.json";
    }
    void Override(const std::string& line) { WriteFile(m_game.File("qlm.uri"), line + "\n"); }

    TempDir m_game{true};
    enginetest::TestHttpServer m_server;
    std::atomic<int> m_builtinHits{0};
    std::atomic<int> m_directHits{0};
};

TEST_F(ManifestFetchTest, WithoutOverrideTheBuiltInAddressIsUsed) {
    EXPECT_NE(Resolve().find("builtin"), std::string::npos);
    Override("not a url");
    EXPECT_NE(Resolve().find("builtin"), std::string::npos);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ManifestFetchTest, DirectOverrideIsFinalEvenWhenItFails) {
    Override(m_server.Url("/direct.json"));
    EXPECT_NE(Resolve().find("direct"), std::string::npos);
    Override(Unreachable());
    EXPECT_EQ(Resolve(), "");
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(m_builtinHits.load(), 0);
}

TEST_F(ManifestFetchTest, PointerNamesTheManifestOnItsFirstLine) {
    Override(m_server.Url("/pointer"));
    EXPECT_NE(Resolve().find("direct"), std::string::npos);
    EXPECT_EQ(m_builtinHits.load(), 0);
}

TEST_F(ManifestFetchTest, PointerWithoutUrlOrFailingFallsBackToBuiltIn) {
    Override(m_server.Url("/not-a-pointer"));
    EXPECT_NE(Resolve().find("builtin"), std::string::npos);
    EXPECT_TRUE(Boxes().empty());
    Override(Unreachable().replace(Unreachable().size() - 5, 5, ".txt"));
    EXPECT_NE(Resolve().find("builtin"), std::string::npos);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].rfind("Updater|DownloadString error: ", 0), 0u);
}

TEST_F(ManifestFetchTest, FailureTextsAreCollectedInOrderInsteadOfShown) {
    std::vector<std::string> failures;
    Override(Unreachable().replace(Unreachable().size() - 5, 5, ".txt"));
    EXPECT_NE(ResolveManifest(m_server.Url("/builtin.json").c_str(), &failures).find("builtin"), std::string::npos);
    EXPECT_EQ(failures.size(), 1u);
    EXPECT_EQ(ResolveManifest(Unreachable().c_str(), &failures), "");
    ASSERT_EQ(failures.size(), 3u) << "pointer and built-in address both failed";
    for (const std::string& failure : failures) {
        EXPECT_EQ(failure.rfind("DownloadString error: ", 0), 0u) << failure;
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ManifestFetchTest, EngineInitSelectsFlagsAndHandsTheListToTheWindowOnce) {
    enginetest::RecordingPublisher window;
    Override(m_server.Url("/direct.json"));
    WriteFile(m_game.File("qlm.branch"), "plus\r\n");
    EngineInit();
    EXPECT_TRUE(g_updateState.engineInitialised);
    EXPECT_STREQ(g_updateState.installedVersion, "NONE");
    EXPECT_EQ(g_updateState.selectedBranch.version, "direct");
    EXPECT_TRUE(g_updateState.updateAvailable.load());
    EXPECT_EQ(window.BranchListReadyCount(), 1);
    EXPECT_EQ(m_directHits.load(), 1);

    EngineInit();
    EXPECT_EQ(m_directHits.load(), 1);
    EXPECT_EQ(window.BranchListReadyCount(), 1);
}

TEST_F(ManifestFetchTest, EngineInitLeavesTheFlagWhenTheVersionIsInstalled) {
    Serve("/none.json", R"({"branches":[{"name":"plus","version":"NONE"}]})", nullptr);
    Override(m_server.Url("/none.json"));
    EngineInit();
    EXPECT_TRUE(g_updateState.engineInitialised);
    EXPECT_FALSE(g_updateState.updateAvailable.load());
}

// A failed initialisation reports the failed requests as boxes, hands the
// fatal text back instead of ending the process, and is not tried again.
TEST_F(ManifestFetchTest, ManifestThatCannotBeUsedFailsTheInitialisationForGood) {
    struct Case {
        const char* what;
        std::string override;
        std::size_t requestBoxes;
        const char* fatalText;
    };
    const Case cases[] = {
        {"unreachable", Unreachable(), 1, kFetchFailedText},
        {"not JSON", m_server.Url("/page.json"), 0, kParseFailedText},
    };
    for (const Case& c : cases) {
        enginetest::ResetUpdateState();
        m_reporter.Clear();
        Override(c.override);
        EngineInitResult result = EngineInit();
        EXPECT_EQ(result.status, EngineInitStatus::Failed) << c.what;
        EXPECT_STREQ(result.fatalText, c.fatalText) << c.what;
        EXPECT_FALSE(result) << c.what;
        EXPECT_FALSE(g_updateState.engineInitialised) << c.what;
        ASSERT_EQ(Boxes().size(), c.requestBoxes) << c.what;
        for (const std::string& box : Boxes()) {
            EXPECT_EQ(box.rfind("Updater|DownloadString error: ", 0), 0u) << box;
        }

        Override(m_server.Url("/direct.json"));
        EXPECT_EQ(EngineInit().status, EngineInitStatus::Failed) << c.what;
        EXPECT_STREQ(PollEngineInit().fatalText, c.fatalText) << c.what;
        EXPECT_EQ(m_directHits.load(), 0) << c.what;
    }
}

}  // namespace
