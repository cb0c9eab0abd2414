// The system service: registry strings and integers kept in the registry
// file (see RegistryFile.h), the millisecond clock, per-dialog user-config
// data saved as a KeyValues file, opening documents and the clipboard. The
// clipboard and the desktop's document opener come from the windowing layer
// (ModuleServices.h); this service only converts and slices the text.
// There are no other registry hives, no registry watching and no typed
// values beyond strings and integers.
#pragma once

#include <chrono>
#include <string>

#include "services/ISystem.h"

class CSystem final : public vgui2::ISystem {
public:
    CSystem();

    void Shutdown() override;
    void RunFrame() override;

    void ShellExecute(const char* command, const char* file) override;

    double GetFrameTime() override;
    double GetCurrentTime() override;
    long GetTimeMillis() override;

    bool GetRegistryString(const char* key, char* value, int bufferSize) override;
    bool SetRegistryString(const char* key, const char* value) override;
    bool GetRegistryInteger(const char* key, int& value) override;
    bool SetRegistryInteger(const char* key, int value) override;

    KeyValues* GetUserConfigFileData(const char* dialogName, int dialogId) override;
    void SetUserConfigFile(const char* fileName, const char* pathName) override;
    void SaveUserConfigFile() override;

    int GetClipboardTextCount() override;
    void SetClipboardText(const char* text, int textLength) override;
    void SetClipboardText(const vgui2::wchar* text, int textLength) override;
    int GetClipboardText(int offset, char* buffer, int bufferSize) override;
    int GetClipboardText(int offset, vgui2::wchar* buffer, int bufferSize) override;

private:
    std::chrono::steady_clock::time_point m_start;
    double m_frameTime = 0.0;

    // Released in Shutdown, never by a destructor: at process exit the
    // key-values memory service it came from may already be gone.
    KeyValues* m_userConfig = nullptr;
    std::string m_userConfigFile;
    std::string m_userConfigPath;
};
