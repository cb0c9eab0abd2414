// The control gallery on a real X server of its own (Xvfb), worked from
// outside with xdotool as a person would: select and copy rich text,
// double-click a word, open and confirm a query box, drag a frame by its
// caption, open the combo box and pick an item, choose from a menu button's
// menu. The program reports on
// standard output where its windows and controls are and what changed
// ("--report"); every wait has a deadline, and the X server and the program
// are ended by their process ids whatever happens.
#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/ChildProcess.h"

namespace {

using testproc::Clock;
using namespace std::chrono_literals;

constexpr auto kEventTimeout = 10s;

// Where the gallery says a control is, in screen coordinates.
struct Rect {
    int x = 0;
    int y = 0;
    int wide = 0;
    int tall = 0;
    int CentreX() const { return x + wide / 2; }
    int CentreY() const { return y + tall / 2; }
};

std::vector<std::string> Words(const std::string& line) {
    std::istringstream stream(line);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    return words;
}

// "child <popup> <class> <name> x y w h"
bool ParseChild(const std::string& line, const std::string& popup, const std::string& name, Rect& rect) {
    std::vector<std::string> words = Words(line);
    if (words.size() != 8 || words[0] != "child" || words[1] != popup || words[3] != name) {
        return false;
    }
    rect = {std::atoi(words[4].c_str()), std::atoi(words[5].c_str()), std::atoi(words[6].c_str()),
            std::atoi(words[7].c_str())};
    return true;
}

class GalleryXvfbTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"/usr/bin/Xvfb", "/usr/bin/xdotool"}) {
            ASSERT_EQ(access(tool, X_OK), 0) << tool << " is needed (scripts install it)";
        }
        ASSERT_TRUE(server.Start()) << "Xvfb did not start";
        ASSERT_TRUE(gallery.StartReadingOutput({UPD_GALLERY_PROGRAM, "--report"}, Environment()))
            << "the gallery did not start";
        ASSERT_TRUE(WaitFor([](const std::string& line) { return line.rfind("popup GalleryWindow Gallery", 0) == 0; }))
            << "the gallery window was not reported";
    }

    void TearDown() override {
        gallery.Stop();
        server.Stop();
        if (HasFailure()) {
            std::string all;
            for (const std::string& line : lines) {
                all += "  " + line + "\n";
            }
            ADD_FAILURE() << "what the gallery reported:\n" << all;
        }
    }

    std::vector<std::string> Environment() const {
        return testproc::EnvironmentWith({"DISPLAY=" + server.Display(), "SDL_VIDEODRIVER=x11"});
    }

    // Reads report lines until one matches; false after the deadline or
    // when the program ended.
    bool WaitFor(const std::function<bool(const std::string&)>& match, std::string* found = nullptr,
                 Clock::duration timeout = kEventTimeout) {
        auto deadline = Clock::now() + timeout;
        for (;;) {
            for (; m_checked < lines.size(); ++m_checked) {
                if (match(lines[m_checked])) {
                    if (found) {
                        *found = lines[m_checked];
                    }
                    ++m_checked;
                    return true;
                }
            }
            if (Clock::now() >= deadline || !ReadLines()) {
                return false;
            }
        }
    }

    // Waits for a line reported at or after the given index, whether or not
    // an earlier wait has already passed it: events of one frame may be
    // reported in any order.
    bool WaitSince(std::size_t from, const std::function<bool(const std::string&)>& match) {
        auto deadline = Clock::now() + kEventTimeout;
        for (;;) {
            for (std::size_t i = from; i < lines.size(); ++i) {
                if (match(lines[i])) {
                    return true;
                }
            }
            if (Clock::now() >= deadline || !ReadLines()) {
                return false;
            }
        }
    }

    // Moves whatever the program wrote within a short while into lines;
    // false once its output has ended.
    bool ReadLines() {
        pollfd fd{gallery.Output(), POLLIN, 0};
        if (poll(&fd, 1, 100) <= 0) {
            return true;
        }
        char buffer[4096];
        ssize_t got = read(gallery.Output(), buffer, sizeof(buffer));
        if (got <= 0) {
            return false;
        }
        m_pending.append(buffer, static_cast<std::size_t>(got));
        for (std::size_t end; (end = m_pending.find('\n')) != std::string::npos;) {
            lines.push_back(m_pending.substr(0, end));
            m_pending.erase(0, end + 1);
        }
        return true;
    }

    bool WaitForLine(const std::string& expected) {
        return WaitFor([&](const std::string& line) { return line == expected; });
    }

    bool WaitForPrefix(const std::string& prefix, std::string* found = nullptr) {
        return WaitFor([&](const std::string& line) { return line.rfind(prefix, 0) == 0; }, found);
    }

    // The rectangle of a popup's child, reported already or soon.
    bool FindChild(const std::string& popup, const std::string& name, Rect& rect) {
        for (const std::string& line : lines) {
            if (ParseChild(line, popup, name, rect)) {
                return true;
            }
        }
        return WaitFor([&](const std::string& line) { return ParseChild(line, popup, name, rect); });
    }

    // Runs xdotool with the arguments; true when it succeeded in time.
    bool Xdotool(const std::vector<std::string>& arguments) { return server.Xdotool(arguments) == 0; }

    bool MoveTo(int x, int y) { return Xdotool({"mousemove", std::to_string(x), std::to_string(y)}); }

    bool ClickAt(int x, int y) { return MoveTo(x, y) && Xdotool({"click", "1"}); }

    // Presses at the start, moves there in steps as a hand would, releases.
    bool Drag(int fromX, int fromY, int toX, int toY) {
        if (!MoveTo(fromX, fromY) || !Xdotool({"mousedown", "1"})) {
            return false;
        }
        constexpr int kSteps = 5;
        for (int step = 1; step <= kSteps; ++step) {
            std::this_thread::sleep_for(30ms);
            if (!MoveTo(fromX + (toX - fromX) * step / kSteps, fromY + (toY - fromY) * step / kSteps)) {
                return false;
            }
        }
        std::this_thread::sleep_for(30ms);
        return Xdotool({"mouseup", "1"});
    }

    testproc::XServer server;
    testproc::Process gallery;
    std::vector<std::string> lines;

private:
    std::string m_pending;
    std::size_t m_checked = 0;
};

TEST_F(GalleryXvfbTest, DraggingOverRichTextAndCtrlCCopiesTheSelectionWithCarriageReturns) {
    Rect rich;
    ASSERT_TRUE(FindChild("Gallery", "Rich", rich));
    // From the first character of the first line ("Rich text view") into
    // the second ("Second line"; lines are 12 to 23 pixels apart): the copy
    // holds the whole first line and its line end as CR LF.
    ASSERT_TRUE(Drag(rich.x + 4, rich.y + 6, rich.x + 30, rich.y + 24));
    ASSERT_TRUE(Xdotool({"key", "ctrl+c"}));
    std::string copied;
    ASSERT_TRUE(WaitForPrefix("clipboard ", &copied));
    EXPECT_EQ(copied.rfind("clipboard Rich text view\\r\\nSe", 0), 0u) << copied;
    EXPECT_EQ(copied.find("line"), std::string::npos) << "the selection ends inside \"Second\": " << copied;

    // A double click selects the word under the pointer. It must not count
    // as the second click of the drag's press nearby, so it waits out the
    // double-click time first.
    std::this_thread::sleep_for(800ms);
    ASSERT_TRUE(MoveTo(rich.x + 8, rich.y + 6));
    ASSERT_TRUE(Xdotool({"click", "--repeat", "2", "--delay", "80", "1"}));
    ASSERT_TRUE(Xdotool({"key", "ctrl+c"}));
    EXPECT_TRUE(WaitForLine("clipboard Rich"));
}

TEST_F(GalleryXvfbTest, QueryBoxOpensModalAndOkConfirms) {
    Rect button;
    ASSERT_TRUE(FindChild("Gallery", "QueryButton", button));
    ASSERT_TRUE(ClickAt(button.CentreX(), button.CentreY()));
    ASSERT_TRUE(WaitForLine("command openquery"));
    ASSERT_TRUE(WaitForPrefix("popup QueryBox "));
    Rect ok;
    ASSERT_TRUE(FindChild("-", "OKButton", ok));

    // While the box is modal, a click on the gallery's button does nothing.
    ASSERT_TRUE(ClickAt(button.CentreX(), button.CentreY()));
    ASSERT_TRUE(ClickAt(ok.CentreX(), ok.CentreY()));
    ASSERT_TRUE(WaitForLine("command queryok"));
    for (const std::string& line : lines) {
        EXPECT_NE(line, "command querycancel");
    }
    std::size_t opened = 0;
    for (const std::string& line : lines) {
        opened += line == "command openquery";
    }
    EXPECT_EQ(opened, 1u) << "the modal box kept the click from the window";
    EXPECT_TRUE(WaitSince(0, [](const std::string& line) {
        return line == "gone" || line.rfind("hidden QueryBox", 0) == 0;
    })) << "the box closed";
}

TEST_F(GalleryXvfbTest, FrameFollowsItsCaptionWhenDragged) {
    std::string shown;
    ASSERT_TRUE(WaitForPrefix("popup Frame GalleryFrame ", &shown));
    std::vector<std::string> words = Words(shown);
    ASSERT_EQ(words.size(), 7u);
    int x = std::atoi(words[3].c_str());
    int y = std::atoi(words[4].c_str());
    int wide = std::atoi(words[5].c_str());
    // The middle of the title bar is caption: no button sits there.
    ASSERT_TRUE(Drag(x + wide / 2, y + 14, x + wide / 2 + 100, y + 14 + 60));
    EXPECT_TRUE(WaitForLine("moved Frame GalleryFrame " + std::to_string(x + 100) + " " + std::to_string(y + 60)));
}

TEST_F(GalleryXvfbTest, ComboBoxPicksAnItemAndReportsOnlyRealChanges) {
    Rect combo;
    ASSERT_TRUE(FindChild("Gallery", "Combo", combo));
    // The drop-down arrow sits at the right end of the field.
    auto openList = [&](std::string& menuName) {
        if (!ClickAt(combo.x + combo.wide - 8, combo.CentreY())) {
            return false;
        }
        std::string shown;
        if (!WaitForPrefix("popup Menu ", &shown)) {
            return false;
        }
        menuName = Words(shown)[2];
        return true;
    };
    std::string menu;
    ASSERT_TRUE(openList(menu));
    Rect gamma;
    ASSERT_TRUE(FindChild(menu, "Gamma", gamma));
    EXPECT_GE(gamma.y, combo.y + combo.tall) << "the list drops down below the field";
    std::size_t picked = lines.size();
    ASSERT_TRUE(ClickAt(gamma.CentreX(), gamma.CentreY()));
    ASSERT_TRUE(WaitSince(picked, [](const std::string& line) { return line == "TextChanged Gamma"; }));
    ASSERT_TRUE(WaitSince(picked, [&](const std::string& line) { return line == "hidden Menu " + menu; }));

    // Picking the item already shown changes nothing and says nothing.
    ASSERT_TRUE(openList(menu));
    ASSERT_TRUE(FindChild(menu, "Gamma", gamma));
    picked = lines.size();
    ASSERT_TRUE(ClickAt(gamma.CentreX(), gamma.CentreY()));
    ASSERT_TRUE(WaitSince(picked, [&](const std::string& line) { return line == "hidden Menu " + menu; }));
    std::this_thread::sleep_for(300ms);
    ReadLines();
    int changes = 0;
    for (const std::string& line : lines) {
        changes += line == "TextChanged Gamma";
    }
    EXPECT_EQ(changes, 1);
}

TEST_F(GalleryXvfbTest, MenuButtonDropsItsMenuAndAnItemSendsItsCommand) {
    Rect button;
    ASSERT_TRUE(FindChild("Gallery", "MenuButton", button));
    ASSERT_TRUE(ClickAt(button.CentreX(), button.CentreY()));
    ASSERT_TRUE(WaitForPrefix("popup Menu GalleryMenu "));
    Rect second;
    ASSERT_TRUE(FindChild("GalleryMenu", "Second", second));
    EXPECT_GT(second.y, button.y) << "the menu drops down";
    std::size_t chosen = lines.size();
    ASSERT_TRUE(ClickAt(second.CentreX(), second.CentreY()));
    EXPECT_TRUE(WaitSince(chosen, [](const std::string& line) { return line == "command menusecond"; }));
    EXPECT_TRUE(WaitSince(chosen, [](const std::string& line) { return line == "hidden Menu GalleryMenu"; }));
}

}  // namespace
