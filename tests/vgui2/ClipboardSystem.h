// A system service for text-editing tests: the control-test clock and a
// clipboard held in memory, counted and copied the way the real service
// does (counts include the terminator, sizes are in bytes).
#pragma once

#include <algorithm>
#include <string>

#include "services/ISystem.h"
#include "tests/vgui2/ToolkitTestServices.h"
#include "vgui2/WideText.h"

namespace toolkittest {

class ClipboardSystem final : public vgui2::ISystem {
public:
    explicit ClipboardSystem(FakeSystem& clock) : m_clock(clock) {}

    std::u16string clipboard;

    void Shutdown() override {}
    void RunFrame() override {}
    void ShellExecute(const char* command, const char* file) override { m_clock.ShellExecute(command, file); }
    double GetFrameTime() override { return m_clock.GetFrameTime(); }
    double GetCurrentTime() override { return m_clock.GetCurrentTime(); }
    long GetTimeMillis() override { return m_clock.GetTimeMillis(); }
    bool GetRegistryString(const char*, char*, int) override { return false; }
    bool SetRegistryString(const char*, const char*) override { return false; }
    bool GetRegistryInteger(const char*, int&) override { return false; }
    bool SetRegistryInteger(const char*, int) override { return false; }
    KeyValues* GetUserConfigFileData(const char*, int) override { return nullptr; }
    void SetUserConfigFile(const char*, const char*) override {}
    void SaveUserConfigFile() override {}
    int GetClipboardTextCount() override {
        return clipboard.empty() ? 0 : static_cast<int>(clipboard.size()) + 1;
    }
    void SetClipboardText(const char* text, int textLength) override {
        clipboard = vgui2::ToWide(std::string(text, static_cast<std::size_t>(textLength)).c_str());
    }
    void SetClipboardText(const vgui2::wchar* text, int textLength) override {
        clipboard.assign(text, static_cast<std::size_t>(textLength));
    }
    int GetClipboardText(int offset, char* buffer, int bufferSize) override {
        std::string narrow = vgui2::ToNarrow(clipboard.substr(static_cast<std::size_t>(offset)));
        int count = std::min(static_cast<int>(narrow.size()), bufferSize - 1);
        std::copy_n(narrow.begin(), count, buffer);
        buffer[count] = 0;
        return count;
    }
    int GetClipboardText(int offset, vgui2::wchar* buffer, int bufferSize) override {
        std::u16string rest = clipboard.substr(static_cast<std::size_t>(offset));
        int count = std::min(static_cast<int>(rest.size()), bufferSize / 2 - 1);
        std::copy_n(rest.begin(), count, buffer);
        buffer[count] = 0;
        return count;
    }

private:
    FakeSystem& m_clock;
};

}  // namespace toolkittest
