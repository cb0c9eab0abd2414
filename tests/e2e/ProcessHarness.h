// What the end-to-end tests run besides the updater: the loopback release
// server and a demo game folder with its releases. Servers are ended by
// their process ids when their owner goes away; every wait has a deadline.
#pragma once

#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"

namespace e2e {

using testproc::Clock;
using testproc::Process;
using testproc::XServer;

// The environment of this process with the given changes, as the updater
// and the tools around it get it (see ProcessHarness.cpp).
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& changes);

// testproc::Run with that environment.
int Run(const std::vector<std::string>& argv, std::string* output = nullptr,
        Clock::duration timeout = std::chrono::seconds(30), const std::vector<std::string>& env = {});

// The release server serving a folder on 127.0.0.1.
class ReleaseServer {
public:
    // rate 0 serves at full speed, otherwise that many bytes a second.
    bool Start(const std::string& root, const std::string& logFile, unsigned rate = 0);
    int Port() const { return m_port; }
    std::string Url(const std::string& path) const;

private:
    Process m_process;
    int m_port = 0;
};

// The build whose updater a test drives: this machine's own, or the Windows
// build run through Wine on the same X server.
struct TargetSystem {
    std::string buildDir;       // a build the demo's folder script takes
    std::string updater;        // the updater's file name in a game folder
    std::string module;         // the game module's file name
    std::string versionReader;  // the demo's version reader of that build
    // What runs a program of that system here ("wine" or nothing), and the
    // environment it needs.
    std::vector<std::string> launcher;
    std::vector<std::string> environment;

    std::vector<std::string> Command(std::vector<std::string> argv) const;
};
const TargetSystem& ThisSystem();

// A demo game folder and its signed releases under one folder, laid out by
// the demo's own script, so the tests check what the person sees. The
// publisher's tool is always this build's: a Windows build has none.
struct DemoFolder {
    std::string root;
    std::string Game() const { return root + "/game"; }
    std::string Releases() const { return root + "/releases"; }
};
bool MakeDemoFolder(const std::string& root, int port, DemoFolder& demo, const TargetSystem& system = ThisSystem());

// After a test changed the demo's releases: every branch's size and hash
// taken afresh from its archive and the manifest signed again, so that only
// the change a test means to make reaches the updater.
bool SignDemoReleases(const DemoFolder& demo);

// What the game folder's module reports, read by a separate process so that
// no copy of a replaced module stays loaded here.
std::string ReportedVersion(const std::string& gameFolder, const TargetSystem& system = ThisSystem());

}  // namespace e2e
