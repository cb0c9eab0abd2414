#include "tests/e2e/ProcessHarness.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

namespace e2e {

namespace {

using namespace std::chrono_literals;

constexpr auto kStartDeadline = 10s;

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

}  // namespace

std::vector<std::string> EnvironmentWith(const std::vector<std::string>& requested) {
    // The updater keeps its window, viewport and root panel until the
    // process ends, by design; in sanitizer builds the leak check would
    // report them and turn every clean exit into 1. Memory errors still fail.
    std::vector<std::string> changes{"ASAN_OPTIONS=detect_leaks=0"};
    changes.insert(changes.end(), requested.begin(), requested.end());
    return testproc::EnvironmentWith(changes);
}

int Run(const std::vector<std::string>& argv, std::string* output, Clock::duration timeout,
        const std::vector<std::string>& env) {
    std::vector<std::string> changes{"ASAN_OPTIONS=detect_leaks=0"};
    changes.insert(changes.end(), env.begin(), env.end());
    return testproc::Run(argv, output, timeout, changes);
}

bool ReleaseServer::Start(const std::string& root, const std::string& logFile, unsigned rate) {
    std::string portFile = logFile + ".port";
    unlink(portFile.c_str());
    std::vector<std::string> argv{UPD_RELEASE_SERVER, "--root", root, "--port-file", portFile};
    if (rate > 0) {
        argv.insert(argv.end(), {"--rate", std::to_string(rate)});
    }
    if (!m_process.Start(argv, EnvironmentWith({}), "", logFile)) {
        return false;
    }
    // The port file is complete once it ends with a line feed.
    auto deadline = Clock::now() + kStartDeadline;
    while (Clock::now() < deadline && m_process.Running()) {
        std::string text = ReadWhole(portFile);
        if (!text.empty() && text.back() == '\n') {
            m_port = std::atoi(text.c_str());
            return m_port > 0;
        }
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

std::string ReleaseServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::vector<std::string> TargetSystem::Command(std::vector<std::string> argv) const {
    argv.insert(argv.begin(), launcher.begin(), launcher.end());
    return argv;
}

const TargetSystem& ThisSystem() {
    static const TargetSystem system{
        UPD_BUILD_DIR, "updater", "FileSystem_Stdio.so", UPD_GAME_VERSION, {}, {"SDL_VIDEODRIVER=x11"}};
    return system;
}

namespace {

bool RunDemoScript(const std::vector<std::string>& argv) {
    std::string output;
    int status = Run(argv, &output, std::chrono::seconds(30), {"QLM_RELEASE=" UPD_QLM_RELEASE});
    if (status != 0) {
        std::fprintf(stderr, "%s failed (%d): %s\n", argv[1].c_str(), status, output.c_str());
    }
    return status == 0;
}

}  // namespace

bool MakeDemoFolder(const std::string& root, int port, DemoFolder& demo, const TargetSystem& system) {
    if (!RunDemoScript({"/bin/sh", UPD_SOURCE_DIR "/scripts/demo/make_demo.sh", system.buildDir, root,
                        std::to_string(port)})) {
        return false;
    }
    demo.root = root;
    return true;
}

bool SignDemoReleases(const DemoFolder& demo) {
    return RunDemoScript({"/bin/sh", UPD_SOURCE_DIR "/scripts/demo/sign_demo.sh", demo.root});
}

std::string ReportedVersion(const std::string& gameFolder, const TargetSystem& system) {
    std::string output;
    if (Run(system.Command({system.versionReader, gameFolder}), &output, std::chrono::seconds(30),
            system.environment) != 0) {
        return "(the version reader failed: " + output + ")";
    }
    return Trimmed(output);
}

}  // namespace e2e
