// The localization service "VGUI_Localize003": token files, token lookup,
// narrow/wide conversion into byte-sized buffers and string construction
// with "%s1".."%s3" arguments or "%name%" variables.
#pragma once

#include "services/VGuiTypes.h"

class KeyValues;
class IFileSystem;

namespace vgui2 {

inline constexpr const char* VGUI_LOCALIZE_INTERFACE_VERSION = "VGUI_Localize003";

class ILocalize {
public:
    // "%language%" in the name is replaced by the current language.
    virtual bool AddFile(IFileSystem* fileSystem, const char* fileName) = 0;
    virtual void RemoveAll() = 0;

    // The token's text without its leading "#", or null when unknown.
    virtual const wchar* Find(const char* tokenName) = 0;
    virtual void AddString(const char* tokenName, const wchar* text, const char* fileName) = 0;

    // Buffer sizes are in bytes; results are always terminated. Each returns
    // the number of characters written, without the terminator.
    virtual int ConvertANSIToUnicode(const char* ansi, wchar* unicode, int unicodeBufferSizeInBytes) = 0;
    virtual int ConvertUnicodeToANSI(const wchar* unicode, char* ansi, int ansiBufferSize) = 0;

    // Builds text from a format holding "%s1", "%s2", "%s3".
    virtual void ConstructString(wchar* unicodeOutput, int unicodeBufferSizeInBytes, const wchar* formatString,
                                 int numFormatParameters, const wchar* arg1 = nullptr, const wchar* arg2 = nullptr,
                                 const wchar* arg3 = nullptr) = 0;
    // Builds text from a token name ("#" optional) whose "%name%" places are
    // filled from the variables.
    virtual void ConstructString(wchar* unicodeOutput, int unicodeBufferSizeInBytes, const char* tokenName,
                                 KeyValues* localizationVariables) = 0;

protected:
    ~ILocalize() = default;
};

}  // namespace vgui2
