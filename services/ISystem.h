// The system service "VGUI_System009": registry strings (a KeyValues text
// file here), user-config data, opening documents, the clipboard and the
// millisecond clock.
#pragma once

#include "services/VGuiTypes.h"

class KeyValues;

namespace vgui2 {

inline constexpr const char* VGUI_SYSTEM_INTERFACE_VERSION = "VGUI_System009";

class ISystem {
public:
    virtual void Shutdown() = 0;
    virtual void RunFrame() = 0;

    // Opens a document or address with the desktop; verb "open".
    virtual void ShellExecute(const char* command, const char* file) = 0;

    virtual double GetFrameTime() = 0;
    virtual double GetCurrentTime() = 0;
    virtual long GetTimeMillis() = 0;

    // At most bufferSize - 1 bytes are written; false when the key is missing
    // or its value does not fit (a cut value would be a different value).
    virtual bool GetRegistryString(const char* key, char* value, int bufferSize) = 0;
    virtual bool SetRegistryString(const char* key, const char* value) = 0;
    virtual bool GetRegistryInteger(const char* key, int& value) = 0;
    virtual bool SetRegistryInteger(const char* key, int value) = 0;

    // The user-config subtree of a dialog; owned by the service.
    virtual KeyValues* GetUserConfigFileData(const char* dialogName, int dialogId) = 0;
    virtual void SetUserConfigFile(const char* fileName, const char* pathName) = 0;
    virtual void SaveUserConfigFile() = 0;

    // The count is the text's wide characters plus the terminator (0 when
    // empty); offsets count wide characters in both forms, buffer sizes are
    // in bytes, and the results are the characters (or bytes) written.
    virtual int GetClipboardTextCount() = 0;
    virtual void SetClipboardText(const char* text, int textLength) = 0;
    virtual void SetClipboardText(const wchar* text, int textLength) = 0;
    virtual int GetClipboardText(int offset, char* buffer, int bufferSize) = 0;
    virtual int GetClipboardText(int offset, wchar* buffer, int bufferSize) = 0;

protected:
    ~ISystem() = default;
};

}  // namespace vgui2
