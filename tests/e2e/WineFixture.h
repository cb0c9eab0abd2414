// The Windows build's updater under Wine, worked from the build machine as
// the Linux one is: the same demo folder laid out from the Windows build,
// in a game folder on drive C: whose name holds letters outside ASCII and
// spaces, as a Windows person's does.
#pragma once

#include "tests/e2e/WindowFixture.h"

namespace e2e {

const TargetSystem& WindowsSystem();

class WineWindowTest : public WindowTest {
protected:
    WineWindowTest() { m_system = &WindowsSystem(); }
    void SetUp() override;
    void TearDown() override;
    std::string DemoRoot() override { return m_demoRoot; }

    // A copy of the stand-in game, started at a path below the demo folder.
    void StartGame(const std::string& relative);
    // The message box of a program from the game folder, answered with OK:
    // its caption, a line feed and its text; empty when none came.
    std::string AnswerBox(int seconds);
    // Runs a Windows program to its end; its exit status.
    int RunWindows(const std::vector<std::string>& argv, std::string* output = nullptr);
    // The Windows name of a path of the build machine.
    std::string WindowsPath(const std::string& path) const;

    std::string m_demoRoot;
};

}  // namespace e2e
