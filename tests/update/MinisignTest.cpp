#include <gtest/gtest.h>

#include <string>

#include "tests/support/MinisignFiles.h"
#include "update/Minisign.h"

using namespace update;

namespace {

// Made by the minisign tool (0.11): a key pair without a password, a
// prehashed signature with a trusted comment of our own and a legacy one
// ("-l") with the tool's default comment, both over kToolMessage.
constexpr const char* kToolPublicKey =
    "untrusted comment: minisign public key 6392FFA861431F52\n"
    "RWRSH0NhqP+SY++WOSulbjbQk/htd0RJLj/cu1/FLNxhAm790CHoIfhG\n";
constexpr const char* kToolMessage = "{\"branches\":[{\"name\":\"plus\",\"version\":\"1.0\"}]}\n";
constexpr const char* kToolPrehashed =
    "untrusted comment: signature from minisign secret key\n"
    "RURSH0NhqP+SYwa2ACvVWIUO+NpmT1uy9gkwkk5f2uI/mgvn1cT29VCe4WUyiEHW3QpOF/EClY60CenpNJLobA45D06rJGe5rgc=\n"
    "trusted comment: timestamp:1700000000\tfile:manifest.json\thashed\n"
    "8R1XXZ/Ixhf9AU30nuI20kIlUpTJ8tXgKlTmMQhCkDyJ13xI6VbOSfz9CEIL4jgdRk+nLCO9bkurs/Yuv1boCA==\n";
constexpr const char* kToolLegacy =
    "untrusted comment: signature from minisign secret key\n"
    "RWRSH0NhqP+SYxEV3lH5nq5kn58NIjFLujgx/Xq35jTVKw4amsfVhWqEgtZ8ccUssjIHRItDbKefrl+Q2i1cjE2dddRmfbT2jg4=\n"
    "trusted comment: timestamp:1796889033\tfile:msg\n"
    "8AcO5vH5nAiQUkPurPW5KgiC7tikb6KjbAAnZ9Cvty5ytLXZ3w1sdKuOjJaK3TRcEjn1+6nUadeNpdAPbm51CA==\n";

constexpr const char* kMessage = "{\"branches\":[]}";
constexpr const char* kComment = "timestamp:1700000000\tfile:manifest.json";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c == '\n' ? "\r\n" : std::string(1, c);
    }
    return out;
}

// The nth line (from 0) of a file, without its end.
std::string Line(const std::string& text, int index) {
    std::size_t begin = 0;
    for (int i = 0; i < index; ++i) {
        begin = text.find('\n', begin) + 1;
    }
    return text.substr(begin, text.find('\n', begin) - begin);
}

MinisignKey Key(const std::string& fileText) {
    MinisignKey key;
    EXPECT_TRUE(ParseMinisignPublicKey(fileText, key)) << fileText;
    return key;
}

TEST(Minisign, PublicKeyFiles) {
    const testsupport::MinisignSigner signer;
    struct Case {
        const char* what;
        std::string text;
        bool parses;
    };
    const std::string made = signer.PublicKeyFile();
    const Case cases[] = {
        {"the tool's", kToolPublicKey, true},
        {"made here", made, true},
        {"CRLF, no final line end", WithCrLf(made).substr(0, WithCrLf(made).size() - 2), true},
        {"comment line missing", Line(made, 1) + "\n", false},
        {"another first line", "comment: x\n" + Line(made, 1) + "\n", false},
        {"a line more", made + "\n", false},
        {"key cut short", Replaced(made, Line(made, 1), Line(made, 1).substr(0, 40)), false},
        {"blank inside the base64", Replaced(made, Line(made, 1), Line(made, 1).insert(0, 1, ' ')), false},
        {"algorithm other than Ed", Replaced(made, "\nRW", "\nRU"), false},
        {"a signature file", kToolPrehashed, false},
        {"empty", "", false},
    };
    for (const Case& c : cases) {
        MinisignKey key;
        EXPECT_EQ(ParseMinisignPublicKey(c.text, key), c.parses) << c.what;
    }
    EXPECT_EQ(Key(kToolPublicKey).keyId[0], 0x52) << "the key id is stored little end first";
}

TEST(Minisign, SignatureFiles) {
    const testsupport::MinisignSigner signer;
    const std::string prehashed = signer.SignatureFile(kMessage, kComment);
    const std::string legacy = signer.SignatureFile(kMessage, kComment, false);
    struct Case {
        const char* what;
        std::string key;
        std::string signature;
        std::string message;
        SignatureCheck expected;
    };
    const std::string tampered = Replaced(kMessage, "[]", "[ ]");
    const Case cases[] = {
        {"prehashed", signer.PublicKeyFile(), prehashed, kMessage, SignatureCheck::Valid},
        {"legacy", signer.PublicKeyFile(), legacy, kMessage, SignatureCheck::Valid},
        {"CRLF line ends", signer.PublicKeyFile(), WithCrLf(prehashed), kMessage, SignatureCheck::Valid},
        {"the tool's prehashed", kToolPublicKey, kToolPrehashed, kToolMessage, SignatureCheck::Valid},
        {"the tool's legacy", kToolPublicKey, kToolLegacy, kToolMessage, SignatureCheck::Valid},
        {"message byte changed, prehashed", signer.PublicKeyFile(), prehashed, tampered, SignatureCheck::Mismatch},
        {"message byte changed, legacy", signer.PublicKeyFile(), legacy, tampered, SignatureCheck::Mismatch},
        {"message byte changed, the tool's", kToolPublicKey, kToolPrehashed,
         Replaced(kToolMessage, "1.0", "1.1"), SignatureCheck::Mismatch},
        {"message cut short", signer.PublicKeyFile(), prehashed, std::string(kMessage).substr(1),
         SignatureCheck::Mismatch},
        {"trusted comment changed", signer.PublicKeyFile(), Replaced(prehashed, "1700000000", "1800000000"),
         kMessage, SignatureCheck::Mismatch},
        {"the tool's trusted comment changed", kToolPublicKey, Replaced(kToolPrehashed, "\thashed", ""),
         kToolMessage, SignatureCheck::Mismatch},
        {"another key", kToolPublicKey, prehashed, kMessage, SignatureCheck::OtherKey},
        {"another key id", signer.PublicKeyFile(), signer.WithKeyId(0xee).SignatureFile(kMessage, kComment),
         kMessage, SignatureCheck::OtherKey},
        {"last line missing", signer.PublicKeyFile(), prehashed.substr(0, prehashed.rfind('\n', prehashed.size() - 2)),
         kMessage, SignatureCheck::Malformed},
        {"cut inside the last line", signer.PublicKeyFile(), prehashed.substr(0, prehashed.size() - 10), kMessage,
         SignatureCheck::Malformed},
        {"a line more", signer.PublicKeyFile(), prehashed + "x\n", kMessage, SignatureCheck::Malformed},
        {"bad base64", signer.PublicKeyFile(), Replaced(prehashed, Line(prehashed, 1).substr(0, 4), "RUR*"),
         kMessage, SignatureCheck::Malformed},
        {"unknown algorithm", signer.PublicKeyFile(), Replaced(prehashed, "\nRU", "\nRX"), kMessage,
         SignatureCheck::Malformed},
        {"no trusted comment prefix", signer.PublicKeyFile(), Replaced(prehashed, "trusted comment: ", "trusted: "),
         kMessage, SignatureCheck::Malformed},
        {"a public key file", signer.PublicKeyFile(), signer.PublicKeyFile(), kMessage, SignatureCheck::Malformed},
        {"empty", signer.PublicKeyFile(), "", kMessage, SignatureCheck::Malformed},
    };
    for (const Case& c : cases) {
        std::string comment = "unchanged";
        EXPECT_EQ(VerifyMinisign(Key(c.key), c.signature, c.message, &comment), c.expected) << c.what;
        if (c.expected == SignatureCheck::Valid) {
            std::string line = Line(c.signature, 2);
            EXPECT_EQ(comment + (line.back() == '\r' ? "\r" : ""), line.substr(line.find(": ") + 2)) << c.what;
        } else {
            EXPECT_EQ(comment, "unchanged") << c.what;
        }
    }
}

TEST(Minisign, TrustedTimestamp) {
    struct Case {
        const char* comment;
        std::optional<std::int64_t> expected;
    };
    const Case cases[] = {
        {"timestamp:1700000000\tfile:manifest.json\thashed", 1700000000},
        {"file:manifest.json\ttimestamp:5", 5},
        {"timestamp:0", 0},
        {"file:manifest.json", std::nullopt},
        {"", std::nullopt},
        {"timestamp:", std::nullopt},
        {"timestamp:-5", std::nullopt},
        {"timestamp:+5", std::nullopt},
        {"timestamp:12a", std::nullopt},
        {"timestamp: 12", std::nullopt},
        {"timestamp:99999999999999999999", std::nullopt},
        {"mytimestamp:12", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TrustedTimestamp(c.comment), c.expected) << c.comment;
    }
}

}  // namespace
