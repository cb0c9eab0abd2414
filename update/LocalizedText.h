// The engine's few localized texts, built through the localization service
// into caller-sized buffers (sizes in bytes, as the service takes them).
#pragma once

#include "services/VGuiTypes.h"

namespace update {

void ToWide(const char* narrow, vgui2::wchar* wide, int wideBufferBytes);

// The token's text, or, for a token the service does not know, its name
// written into the fallback buffer, so a missing entry never yields no text.
// The text stays valid while the service's tokens are not reloaded.
const vgui2::wchar* LocalizedFormat(const char* token, vgui2::wchar* fallback, int fallbackBufferBytes);

// The format with "%s1".."%s3" replaced by up to three wide arguments.
void ConstructFromFormat(vgui2::wchar* output, int outputBufferBytes, const vgui2::wchar* format, int argumentCount,
                         const vgui2::wchar* first = nullptr, const vgui2::wchar* second = nullptr,
                         const vgui2::wchar* third = nullptr);

}  // namespace update
