// Token files and language names, as plain functions over text. A token file
// is KeyValues text in UTF-8:
//   "lang" { "Language" "English" "Tokens" { "Updater_Title" "Quill Updater" } }
// Token names are given without their leading "#". A byte-order mark at the
// start is allowed. Nothing here touches the disk.
#pragma once

#include <string>
#include <utility>
#include <vector>

using TokenList = std::vector<std::pair<std::string, std::string>>;

// The tokens of the "Tokens" section in file order; empty for text that is
// not a token file.
TokenList ParseTokenFile(const char* text);

// The language name used in token file names ("english", "german", ...)
// for a POSIX locale name such as "de_DE.UTF-8", or a Windows one with "_"
// for "-" such as "zh_Hant_TW"; "english" for "C", "POSIX", empty and
// unknown locales.
std::string LanguageFromLocale(const char* localeName);

// The file name with every "%language%" replaced by the language.
std::string SubstituteLanguage(const char* fileName, const std::string& language);
