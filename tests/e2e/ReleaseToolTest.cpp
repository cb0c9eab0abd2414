// The publisher's round trip with the real programs, as the README gives it:
// qlm-release writes the branch, minisign signs, qlm-release checks. Run as
// processes because the exit status and the lines printed are what a
// publisher's release script relies on.
#include <gtest/gtest.h>

#include <functional>

#include <nlohmann/json.hpp>

#include "tests/e2e/ProcessHarness.h"
#include "tests/support/FolderListing.h"
#include "tests/support/TestSupport.h"

using testsupport::ReadFile;
using testsupport::WriteFile;
using Json = nlohmann::ordered_json;

namespace {

// SHA-256 of "abc" (FIPS 180-2, appendix B.1).
constexpr const char* kAbcSha256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

class ReleaseToolTest : public ::testing::Test {
protected:
    int Tool(const std::vector<std::string>& arguments, std::string* output = nullptr) {
        std::vector<std::string> argv{UPD_QLM_RELEASE};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return e2e::Run(argv, output);
    }

    int Minisign(const std::vector<std::string>& arguments) {
        std::vector<std::string> argv{"/usr/bin/minisign"};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        std::string ignored;
        return e2e::Run(argv, &ignored);
    }

    int Branch(const std::string& name, const std::string& version, const std::string& archive) {
        return Tool({"branch", "--manifest", File("manifest.json"), "--name", name, "--version", version, "--url",
                     "https://example.invalid/files/" + archive, "--archive", File(archive)});
    }

    // A key pair of that name, the manifest signed with it.
    void Sign(const std::string& key) {
        ASSERT_EQ(Minisign({"-G", "-f", "-W", "-p", File(key + ".pub"), "-s", File(key + ".key")}), 0);
        ASSERT_EQ(Minisign({"-S", "-s", File(key + ".key"), "-m", File("manifest.json")}), 0);
    }

    int Check(std::string* output) {
        return Tool({"check", "--manifest", File("manifest.json"), "--pub", File("publisher.pub")}, output);
    }

    std::string File(const std::string& name) const { return m_folder.File(name); }

    testsupport::TempDir m_folder;
};

TEST_F(ReleaseToolTest, BranchKeepsWhatItDoesNotKnowAndCheckPassesOnceSigned) {
    WriteFile(File("plus.zip"), "abc");
    WriteFile(File("beta.zip"), "beta archive");
    // A new manifest first, then one a publisher wrote by hand.
    ASSERT_EQ(Branch("beta", "2.0", "beta.zip"), 0);
    Json created = Json::parse(ReadFile(File("manifest.json")));
    ASSERT_EQ(created["branches"].size(), 1u);
    EXPECT_EQ(created["branches"][0]["size"], 12);

    WriteFile(File("manifest.json"), R"({"zeta": 1, "branches": [
        {"name": "plus", "mirror": "m", "version": "0.9", "sha256": "00"},
        {"name": "legacy", "version": "1.0", "browser_download_url": "https://example.invalid/files/beta.zip",
         "size": 12, "sha256": "F5F7617BD95AE9B79991C51D4D1E63867A29CAA42EB0FC4F058B1D9531054DBE"}],
        "alpha": [true]})");
    ASSERT_EQ(Branch("plus", "1.5.0", "plus.zip"), 0);
    Json manifest = Json::parse(ReadFile(File("manifest.json")));
    std::vector<std::string> keys;
    for (const auto& item : manifest.items()) {
        keys.push_back(item.key());
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"zeta", "branches", "alpha"}));
    ASSERT_EQ(manifest["branches"].size(), 2u);
    const Json& plus = manifest["branches"][0];
    EXPECT_EQ(plus, Json::parse(std::string(R"({"name": "plus", "mirror": "m", "version": "1.5.0", "sha256": ")") +
                                kAbcSha256 +
                                R"(", "browser_download_url": "https://example.invalid/files/plus.zip", "size": 3})"));
    EXPECT_EQ(plus.begin().key(), "name");
    EXPECT_EQ(std::next(plus.begin()).key(), "mirror") << "the branch's keys keep their order";
    EXPECT_EQ(manifest["branches"][1]["name"], "legacy");
    std::vector<std::string> files;
    for (const auto& entry : testsupport::ListFolder(m_folder.Path())) {
        files.push_back(entry.first);
    }
    EXPECT_EQ(files, (std::vector<std::string>{"beta.zip", "manifest.json", "plus.zip"}))
        << "the manifest is replaced without a file left beside it";

    // The hand-written hash in capitals is the beta archive's, as the
    // updater accepts it.
    Sign("publisher");
    std::string output;
    EXPECT_EQ(Check(&output), 0) << output;
    EXPECT_NE(output.find("trusted comment: timestamp:"), std::string::npos) << output;
}

// Each change after signing is listed, and the check fails.
TEST_F(ReleaseToolTest, CheckListsWhatChangedAfterSigning) {
    struct Case {
        const char* name;
        std::function<void()> change;
        const char* listed;
    };
    const Case cases[] = {
        {"an archive byte", [this] { WriteFile(File("plus.zip"), "abd"); }, "branch \"plus\": "},
        {"a manifest byte",
         [this] {
             std::string text = ReadFile(File("manifest.json"));
             text[text.find("1.5.0") + 4] = '1';
             WriteFile(File("manifest.json"), text);
         },
         "manifest.json.minisig: does not match the manifest"},
        {"another publisher's signature", [this] { Sign("other"); },
         "manifest.json.minisig: was made with another key"},
    };
    for (const Case& change : cases) {
        SCOPED_TRACE(change.name);
        WriteFile(File("plus.zip"), "abc");
        ASSERT_EQ(Branch("plus", "1.5.0", "plus.zip"), 0);
        Sign("publisher");
        change.change();
        std::string output;
        EXPECT_EQ(Check(&output), 1);
        EXPECT_NE(output.find(change.listed), std::string::npos) << output;
    }
    std::string output;
    EXPECT_EQ(Tool({"check", "--manifest"}, &output), 2) << "a missing value is a usage error";
    EXPECT_EQ(Tool({"branch", "--manifest", File("manifest.json"), "--nme", "plus"}, &output), 2) << output;
}

}  // namespace
