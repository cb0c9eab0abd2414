// The localization service: tokens loaded from token files (TokenFile.h) or
// registered at run time, looked up without regard to case and with or
// without their leading "#"; narrow/wide conversion into byte-sized
// buffers; and string construction with "%s1".."%s3" arguments or "%name%"
// variables. The language comes from the surface (the value start-up read
// from the registry), else from the user's locale, else "english"; English
// texts stand in for whatever a language's file lacks. There is no
// plural handling and no file watching.
#pragma once

#include <optional>
#include <shared_mutex>
#include <string>
#include <unordered_map>

#include "services/ILocalize.h"

namespace vgui2 {
class ISurface;
}

class CLocalize final : public vgui2::ILocalize {
public:
    // The surface tells the GUI language; without one the locale decides.
    explicit CLocalize(vgui2::ISurface* surface);

    bool AddFile(IFileSystem* fileSystem, const char* fileName) override;
    void RemoveAll() override;

    // The text stays valid until its token is replaced or RemoveAll runs.
    const vgui2::wchar* Find(const char* tokenName) override;
    void AddString(const char* tokenName, const vgui2::wchar* text, const char* fileName) override;

    int ConvertANSIToUnicode(const char* ansi, vgui2::wchar* unicode, int unicodeBufferSizeInBytes) override;
    int ConvertUnicodeToANSI(const vgui2::wchar* unicode, char* ansi, int ansiBufferSize) override;

    void ConstructString(vgui2::wchar* unicodeOutput, int unicodeBufferSizeInBytes, const vgui2::wchar* formatString,
                         int numFormatParameters, const vgui2::wchar* arg1, const vgui2::wchar* arg2,
                         const vgui2::wchar* arg3) override;
    void ConstructString(vgui2::wchar* unicodeOutput, int unicodeBufferSizeInBytes, const char* tokenName,
                         KeyValues* localizationVariables) override;

    // The language AddFile puts in place of "%language%".
    std::string CurrentLanguage() const;

private:
    struct Entry {
        std::u16string text;
        std::string fileName;
    };

    bool LoadTokenFile(IFileSystem* fileSystem, const std::string& fileName);
    std::optional<std::u16string> FindCopy(const char* tokenName);

    vgui2::ISurface* m_surface;
    // Worker threads build status texts while the GUI thread may register
    // tokens, so the table is guarded.
    std::shared_mutex m_lock;
    std::unordered_map<std::string, Entry> m_tokens;
};
