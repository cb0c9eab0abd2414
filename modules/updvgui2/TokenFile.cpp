#include "modules/updvgui2/TokenFile.h"

#include <cstring>

#include "platform/Text.h"
#include "vgui2/KeyValues.h"

namespace {

constexpr const char* kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* kLanguagePlaceholder = "%language%";

struct LocaleLanguage {
    const char* prefix;  // language, or language and territory
    const char* name;
};

// Territory- and script-specific entries come first so that they win over
// the bare language. Chinese is traditional where the script says so
// ("zh_Hant_TW") or the territory writes it (Taiwan, Hong Kong, Macao);
// everything else, "zh_Hans_HK" too, is simplified.
constexpr LocaleLanguage kLocaleLanguages[] = {
    {"pt_BR", "brazilian"}, {"zh_Hant", "tchinese"}, {"zh_TW", "tchinese"},  {"zh_HK", "tchinese"},
    {"zh_MO", "tchinese"},  {"zh", "schinese"},      {"en", "english"},      {"de", "german"},
    {"fr", "french"},       {"es", "spanish"},       {"it", "italian"},      {"pt", "portuguese"},
    {"ru", "russian"},      {"pl", "polish"},        {"ja", "japanese"},     {"ko", "koreana"},
    {"nl", "dutch"},        {"sv", "swedish"},       {"da", "danish"},       {"fi", "finnish"},
    {"nb", "norwegian"},    {"nn", "norwegian"},     {"no", "norwegian"},    {"tr", "turkish"},
    {"cs", "czech"},        {"hu", "hungarian"},     {"uk", "ukrainian"},    {"el", "greek"},
    {"ro", "romanian"},     {"bg", "bulgarian"},     {"th", "thai"},
};

// A prefix matches only whole parts (language, script, territory), so
// "de" does not match a language called "dexyz".
bool MatchesLocale(const std::string& locale, const char* prefix) {
    std::size_t length = std::strlen(prefix);
    if (locale.compare(0, length, prefix) != 0) {
        return false;
    }
    if (locale.size() == length) {
        return true;
    }
    char next = locale[length];
    return next == '_' || next == '.' || next == '@';
}

}  // namespace

TokenList ParseTokenFile(const char* text) {
    TokenList tokens;
    if (!text) {
        return tokens;
    }
    if (std::strncmp(text, kUtf8ByteOrderMark, 3) == 0) {
        text += 3;
    }
    KeyValues* root = new KeyValues("lang");
    root->LoadFromBuffer(text);
    KeyValues* section = nullptr;
    for (KeyValues* key = root->GetFirstSubKey(); key; key = key->GetNextKey()) {
        if (key->GetFirstSubKey() && platform::CompareNoCase(key->GetName(), "Tokens") == 0) {
            section = key;
            break;
        }
    }
    if (section) {
        for (KeyValues* token = section->GetFirstSubKey(); token; token = token->GetNextKey()) {
            if (!token->GetFirstSubKey() && token->GetDataType() == KeyValues::TYPE_STRING) {
                tokens.emplace_back(token->GetName(), token->GetString());
            }
        }
    }
    root->deleteThis();
    return tokens;
}

std::string LanguageFromLocale(const char* localeName) {
    std::string locale = localeName ? localeName : "";
    for (const LocaleLanguage& entry : kLocaleLanguages) {
        if (MatchesLocale(locale, entry.prefix)) {
            return entry.name;
        }
    }
    return "english";
}

std::string SubstituteLanguage(const char* fileName, const std::string& language) {
    std::string result = fileName ? fileName : "";
    std::size_t placeholderLength = std::strlen(kLanguagePlaceholder);
    for (std::size_t at = result.find(kLanguagePlaceholder); at != std::string::npos;
         at = result.find(kLanguagePlaceholder, at + language.size())) {
        result.replace(at, placeholderLength, language);
    }
    return result;
}
