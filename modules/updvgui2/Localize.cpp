#include "modules/updvgui2/Localize.h"

#include <cstring>
#include <mutex>
#include <vector>

#include "modules/updvgui2/ModuleServices.h"
#include "modules/updvgui2/TokenFile.h"
#include "platform/UserLocale.h"
#include "vgui2/KeyValues.h"
#include "vgui2/TextConvert.h"

using vgui2::wchar;

namespace {

constexpr const char* kFallbackLanguage = "english";
// "%name%" variables longer than this are not variables but literal text.
constexpr std::size_t kMaxVariableName = 64;

// Token names are matched without their "#" and without regard to case.
std::string TokenKey(const char* tokenName) {
    if (!tokenName) {
        return {};
    }
    if (*tokenName == '#') {
        ++tokenName;
    }
    std::string key = tokenName;
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return key;
}

std::u16string Widen(const std::string& narrow) {
    std::vector<wchar> wide(narrow.size() + 1);
    int count = vgui2::Utf8ToWide(narrow.c_str(), wide.data(), static_cast<int>(wide.size() * sizeof(wchar)));
    return std::u16string(wide.data(), static_cast<std::size_t>(count));
}

// Appends into a caller's buffer of a byte size: always terminated, never
// past the end, and never ending on the first half of a surrogate pair.
class WideWriter {
public:
    WideWriter(wchar* output, int bufferBytes)
        : m_output(output), m_capacity(output && bufferBytes >= 2 ? bufferBytes / 2 - 1 : -1) {
        if (m_capacity >= 0) {
            m_output[0] = u'\0';
        }
    }

    void Append(const wchar* text, std::size_t length) {
        for (std::size_t i = 0; i < length && !m_full; ++i) {
            bool pairStart = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < length;
            int needed = pairStart ? 2 : 1;
            if (m_length + needed > m_capacity) {
                m_full = true;
                break;
            }
            m_output[m_length++] = text[i];
            if (pairStart) {
                m_output[m_length++] = text[++i];
            }
        }
        if (m_capacity >= 0) {
            m_output[m_length] = u'\0';
        }
    }
    // Appends the character at the text position, both halves of a pair at
    // once; returns how many wide characters it took.
    std::size_t AppendCharacterAt(const wchar* text, std::size_t remaining) {
        std::size_t length = remaining >= 2 && text[0] >= 0xD800 && text[0] <= 0xDBFF ? 2 : 1;
        Append(text, length);
        return length;
    }

private:
    wchar* m_output;
    int m_capacity;
    int m_length = 0;
    bool m_full = false;
};

bool IsArgumentDigit(wchar c) { return c >= u'1' && c <= u'3'; }

}  // namespace

CLocalize::CLocalize(vgui2::ISurface* surface) : m_surface(surface) {}

std::string CLocalize::CurrentLanguage() const {
    const char* language = m_surface ? m_surface->GetLanguage() : nullptr;
    if (language && *language) {
        return language;
    }
    return LanguageFromLocale(platform::UserLocaleName().c_str());
}

bool CLocalize::AddFile(IFileSystem* fileSystem, const char* fileName) {
    if (!fileName || !*fileName) {
        return false;
    }
    if (!fileSystem) {
        fileSystem = ModuleFileSystem();
    }
    if (!fileSystem) {
        return false;
    }
    std::string language = CurrentLanguage();
    // English goes in first and the user's language over it, so a token a
    // translation lacks, or a language nobody has translated yet, still
    // shows readable text.
    bool loadedFallback = language != kFallbackLanguage && std::strstr(fileName, "%language%") &&
                          LoadTokenFile(fileSystem, SubstituteLanguage(fileName, kFallbackLanguage));
    bool loaded = LoadTokenFile(fileSystem, SubstituteLanguage(fileName, language));
    return loaded || loadedFallback;
}

bool CLocalize::LoadTokenFile(IFileSystem* fileSystem, const std::string& fileName) {
    FileHandle_t file = fileSystem->Open(fileName.c_str(), "rb", nullptr);
    if (!file) {
        return false;
    }
    std::string text(fileSystem->Size(file), '\0');
    int read = fileSystem->Read(text.data(), static_cast<int>(text.size()), file);
    fileSystem->Close(file);
    text.resize(read > 0 ? static_cast<std::size_t>(read) : 0);

    TokenList tokens = ParseTokenFile(text.c_str());
    std::unique_lock lock(m_lock);
    for (const auto& [name, value] : tokens) {
        Entry& entry = m_tokens[TokenKey(name.c_str())];
        entry.text = Widen(value);
        entry.fileName = fileName;
    }
    return true;
}

void CLocalize::RemoveAll() {
    std::unique_lock lock(m_lock);
    m_tokens.clear();
}

const wchar* CLocalize::Find(const char* tokenName) {
    std::shared_lock lock(m_lock);
    auto found = m_tokens.find(TokenKey(tokenName));
    return found == m_tokens.end() ? nullptr : found->second.text.c_str();
}

std::optional<std::u16string> CLocalize::FindCopy(const char* tokenName) {
    std::shared_lock lock(m_lock);
    auto found = m_tokens.find(TokenKey(tokenName));
    if (found == m_tokens.end()) {
        return std::nullopt;
    }
    return found->second.text;
}

void CLocalize::AddString(const char* tokenName, const wchar* text, const char* fileName) {
    std::string key = TokenKey(tokenName);
    if (key.empty()) {
        return;
    }
    std::unique_lock lock(m_lock);
    Entry& entry = m_tokens[key];
    entry.text = text ? text : u"";
    entry.fileName = fileName ? fileName : "";
}

int CLocalize::ConvertANSIToUnicode(const char* ansi, wchar* unicode, int unicodeBufferSizeInBytes) {
    return vgui2::Utf8ToWide(ansi, unicode, unicodeBufferSizeInBytes);
}

int CLocalize::ConvertUnicodeToANSI(const wchar* unicode, char* ansi, int ansiBufferSize) {
    return vgui2::WideToUtf8(unicode, ansi, ansiBufferSize);
}

void CLocalize::ConstructString(wchar* unicodeOutput, int unicodeBufferSizeInBytes, const wchar* formatString,
                                int numFormatParameters, const wchar* arg1, const wchar* arg2, const wchar* arg3) {
    WideWriter out(unicodeOutput, unicodeBufferSizeInBytes);
    if (!formatString) {
        return;
    }
    const wchar* args[3] = {arg1, arg2, arg3};
    for (const wchar* p = formatString; *p;) {
        if (p[0] == u'%' && p[1] == u's' && IsArgumentDigit(p[2])) {
            int index = p[2] - u'1';
            // An argument the caller did not pass leaves an empty place.
            if (index < numFormatParameters && args[index]) {
                out.Append(args[index], vgui2::WideLength(args[index]));
            }
            p += 3;
            continue;
        }
        p += out.AppendCharacterAt(p, p[1] ? 2 : 1);
    }
}

void CLocalize::ConstructString(wchar* unicodeOutput, int unicodeBufferSizeInBytes, const char* tokenName,
                                KeyValues* localizationVariables) {
    WideWriter out(unicodeOutput, unicodeBufferSizeInBytes);
    if (!tokenName) {
        return;
    }
    // An unknown token shows its own name, so the gap is visible rather than
    // an empty control.
    std::u16string format = FindCopy(tokenName).value_or(Widen(tokenName));
    for (std::size_t i = 0; i < format.size();) {
        if (format[i] == u'%' && localizationVariables) {
            std::size_t close = format.find(u'%', i + 1);
            if (close != std::u16string::npos && close > i + 1 && close - i - 1 <= kMaxVariableName) {
                char name[kMaxVariableName * 3 + 1];
                std::u16string wideName = format.substr(i + 1, close - i - 1);
                vgui2::WideToUtf8(wideName.c_str(), name, sizeof(name));
                if (localizationVariables->FindKey(name)) {
                    const wchar* value = localizationVariables->GetWString(name);
                    out.Append(value, vgui2::WideLength(value));
                    i = close + 1;
                    continue;
                }
            }
        }
        i += out.AppendCharacterAt(format.data() + i, format.size() - i);
    }
}

vgui2::ILocalize& TheLocalize() {
    static CLocalize instance(&TheSurface());
    return instance;
}
