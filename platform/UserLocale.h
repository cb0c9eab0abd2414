// The language the person uses the system in, as a POSIX-style locale name
// ("de_DE", "pt_BR.UTF-8", "zh_TW", "zh_Hant_TW"): language first, then
// script or territory parts after "_". Empty when the system tells none.
#pragma once

#include <string>

namespace platform {

std::string UserLocaleName();

}  // namespace platform
