// What control tests run on, beyond the panel tests' services: a system
// service with a clock the test moves and a record of opened documents, the
// real localization service, measurable text (every character 6 pixels
// wide, every line 10 high), message delivery, and a panel that records
// the commands and other action signals it receives.
#pragma once

#include <gtest/gtest.h>
#include <strings.h>

#include <string>
#include <vector>

#include "modules/updvgui2/ModuleServices.h"
#include "services/ISystem.h"
#include "tests/vgui2/PanelTestServices.h"
#include "vgui2/EditablePanel.h"
#include "vgui2/KeyValues.h"

namespace toolkittest {

class FakeSystem final : public vgui2::ISystem {
public:
    long now = 1000;
    std::vector<std::string> opened;
    KeyValues* userConfig = nullptr;

    ~FakeSystem() { KeyValues::Destroy(userConfig); }

    void Shutdown() override {}
    void RunFrame() override {}
    void ShellExecute(const char* command, const char* file) override {
        opened.push_back(std::string(command) + " " + file);
    }
    double GetFrameTime() override { return static_cast<double>(now) / 1000.0; }
    double GetCurrentTime() override { return static_cast<double>(now) / 1000.0; }
    long GetTimeMillis() override { return now; }
    bool GetRegistryString(const char*, char*, int) override { return false; }
    bool SetRegistryString(const char*, const char*) override { return false; }
    bool GetRegistryInteger(const char*, int&) override { return false; }
    bool SetRegistryInteger(const char*, int) override { return false; }
    KeyValues* GetUserConfigFileData(const char*, int) override { return userConfig; }
    void SetUserConfigFile(const char*, const char*) override {}
    void SaveUserConfigFile() override {}
    int GetClipboardTextCount() override { return 0; }
    void SetClipboardText(const char*, int) override {}
    // Wide clipboard writes are recorded: the text and how often it was set.
    std::u16string clipboard;
    int clipboardWrites = 0;
    void SetClipboardText(const vgui2::wchar* text, int textLength) override {
        clipboard.assign(text, static_cast<std::size_t>(textLength));
        ++clipboardWrites;
    }
    int GetClipboardText(int, char*, int) override { return 0; }
    int GetClipboardText(int, vgui2::wchar*, int) override { return 0; }
};

// A container that writes down the action signals of its children.
class RecordingContainer : public vgui2::EditablePanel {
public:
    RecordingContainer(vgui2::Panel* parent, const char* name) : EditablePanel(parent, name) {}

    bool OnMessage(KeyValues* params, vgui2::VPANEL fromPanel) override {
        // Names share symbols without regard to case, so the spelling that
        // comes back may be another one's.
        const char* name = params->GetName();
        if (strcasecmp(name, "Command") == 0) {
            commands.push_back(params->GetString("command"));
        } else if (strcasecmp(name, "ScrollBarSliderMoved") == 0) {
            moves.push_back(params->GetInt("position"));
        }
        return EditablePanel::OnMessage(params, fromPanel);
    }

    std::vector<std::string> commands;
    std::vector<int> moves;
};

class ToolkitTest : public paneltest::ServicesTest {
protected:
    static constexpr int kCharWidth = 6;
    static constexpr int kFontTall = 10;

    void SetUp() override {
        ServicesTest::SetUp();
        vgui2::g_services.system = &system;
        vgui2::g_services.localize = &TheLocalize();
        TheLocalize().RemoveAll();
        surface.charWidth = kCharWidth;
        surface.fontTall = kFontTall;
        TheVGui().Start();
    }

    // One keystroke as the platform reports it: pressed, typed and released,
    // inside a press and release of the modifier when one is given.
    static void TypeKey(vgui2::KeyCode code, vgui2::KeyCode modifier = vgui2::KEY_NONE) {
        if (modifier != vgui2::KEY_NONE) {
            TheInput().InternalKeyCodePressed(modifier);
        }
        TheInput().InternalKeyCodePressed(code);
        TheInput().InternalKeyCodeTyped(code);
        TheInput().InternalKeyCodeReleased(code);
        if (modifier != vgui2::KEY_NONE) {
            TheInput().InternalKeyCodeReleased(modifier);
        }
    }

    // Runs frames until every posted message has been delivered.
    void Deliver() {
        RunFramesUntil([] { return TheVGuiImpl().PendingMessageCount() == 0; });
    }

    FakeSystem system;
};

// Controls under test are children of a root container that records what
// they signal; deleting the root deletes them.
class ContainerTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        root = new RecordingContainer(nullptr, "root");
        root->SetSize(400, 300);
    }

    void TearDown() override {
        delete root;
        ToolkitTest::TearDown();
    }

    RecordingContainer* root = nullptr;
};

}  // namespace toolkittest
