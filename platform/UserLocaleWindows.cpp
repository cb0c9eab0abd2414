#include "platform/UserLocale.h"

#include <windows.h>

#include <algorithm>

#include "platform/WideText.h"

namespace platform {

// The display language, not the regional format of GetUserDefaultLocaleName:
// an English Windows with German dates shows English menus, and so should
// the updater. Asked by its LANGID, it comes in one call into a buffer of
// the longest locale name, where the preferred-languages list takes two.
std::string UserLocaleName() {
    wchar_t name[LOCALE_NAME_MAX_LENGTH];
    LCID display = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
    if (LCIDToLocaleName(display, name, LOCALE_NAME_MAX_LENGTH, 0) == 0) {
        return {};
    }
    std::string locale = Narrow(name).value_or(std::string());
    std::replace(locale.begin(), locale.end(), '-', '_');
    return locale;
}

}  // namespace platform
