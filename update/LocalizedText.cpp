#include "update/LocalizedText.h"

#include <algorithm>

#include "services/ILocalize.h"
#include "services/ServicePointers.h"
#include "vgui2/TextConvert.h"

namespace update {

void ToWide(const char* narrow, vgui2::wchar* wide, int wideBufferBytes) {
    if (vgui2::ILocalize* localize = vgui2::localize()) {
        localize->ConvertANSIToUnicode(narrow, wide, wideBufferBytes);
    } else {
        vgui2::Utf8ToWide(narrow, wide, wideBufferBytes);
    }
}

const vgui2::wchar* LocalizedFormat(const char* token, vgui2::wchar* fallback, int fallbackBufferBytes) {
    vgui2::ILocalize* localize = vgui2::localize();
    if (const vgui2::wchar* text = localize ? localize->Find(token) : nullptr) {
        return text;
    }
    ToWide(token, fallback, fallbackBufferBytes);
    return fallback;
}

void ConstructFromFormat(vgui2::wchar* output, int outputBufferBytes, const vgui2::wchar* format, int argumentCount,
                         const vgui2::wchar* first, const vgui2::wchar* second, const vgui2::wchar* third) {
    if (vgui2::ILocalize* localize = vgui2::localize()) {
        localize->ConstructString(output, outputBufferBytes, format, argumentCount, first, second, third);
        return;
    }
    // Without the service (no window yet) the format is shown as it stands.
    std::size_t length = std::min(vgui2::WideLength(format), static_cast<std::size_t>(outputBufferBytes / 2 - 1));
    std::copy(format, format + length, output);
    output[length] = 0;
}

}  // namespace update
