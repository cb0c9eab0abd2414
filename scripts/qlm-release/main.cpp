// qlm-release: the publisher's side of verified releases. "branch" pins an
// archive's size and SHA-256 in the manifest, "rehash" renews them after
// archives were rebuilt; "check" confirms that a signed manifest and the
// archives beside it are what the updater will accept.
// Signing itself is minisign's.
#include <cstdio>
#include <string>
#include <vector>

#include <sodium.h>

#include "platform/Platform.h"
#include "scripts/qlm-release/CommandLine.h"
#include "scripts/qlm-release/Commands.h"

namespace {

const char kUsage[] =
    "usage:\n"
    "  qlm-release branch --manifest FILE --name NAME --version VERSION --url URL --archive FILE\n"
    "                     [--changelog-file FILE] [--expires YYYY-MM-DDTHH:MM:SSZ]\n"
    "  qlm-release rehash --manifest FILE [--base-dir DIR]\n"
    "  qlm-release check --manifest FILE [--pub KEY.pub] [--base-dir DIR]\n";

struct Command {
    const char* name;
    std::vector<std::string> required;
    std::vector<std::string> optional;
    int (*run)(const qlmrelease::Options&);
};

const Command kCommands[] = {
    {"branch",
     {"--manifest", "--name", "--version", "--url", "--archive"},
     {"--changelog-file", "--expires"},
     qlmrelease::RunBranch},
    {"rehash", {"--manifest"}, {"--base-dir"}, qlmrelease::RunRehash},
    {"check", {"--manifest"}, {"--pub", "--base-dir"}, qlmrelease::RunCheck},
};

int UsageError(const std::string& reason) {
    std::fprintf(stderr, "qlm-release: %s\n%s", reason.c_str(), kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments = platform::ProgramArguments(argc, argv);
    if (arguments.empty()) {
        return UsageError("no command");
    }
    if (arguments[0] == "--help" || arguments[0] == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (sodium_init() < 0) {
        std::fputs("qlm-release: libsodium cannot start\n", stderr);
        return 1;
    }
    for (const Command& command : kCommands) {
        if (arguments[0] != command.name) {
            continue;
        }
        qlmrelease::Options options;
        std::string reason;
        arguments.erase(arguments.begin());
        if (!qlmrelease::ParseOptions(arguments, command.required, command.optional, options, reason)) {
            return UsageError(reason);
        }
        return command.run(options);
    }
    return UsageError("unknown command " + arguments[0]);
}
