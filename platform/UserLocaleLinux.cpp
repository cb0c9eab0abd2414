#include "platform/UserLocale.h"

#include <cstdlib>

namespace platform {

// The variables in the order the C library weighs them for messages.
std::string UserLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            return value;
        }
    }
    return {};
}

}  // namespace platform
