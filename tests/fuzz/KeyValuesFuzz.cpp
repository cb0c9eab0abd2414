// Feeds arbitrary text to the KeyValues reader and writer. Every input must
// be read and written without memory errors; a tree that stays inside the
// format's limits must also read back to the same text it was written as.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/fuzz/FuzzSupport.h"
#include "vgui2/KeyValues.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzsupport::ConnectKeyValues();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);

    KeyValues* first = new KeyValues("fuzz");
    first->LoadFromBuffer(text.c_str());
    std::string written = fuzzsupport::WriteText(first);
    bool checkRoundTrip = fuzzsupport::FitsTheTextFormat(first);
    first->deleteThis();

    KeyValues* second = new KeyValues("fuzz");
    second->LoadFromBuffer(written.c_str());
    std::string rewritten = fuzzsupport::WriteText(second);
    second->deleteThis();

    if (checkRoundTrip && rewritten != written) {
        std::abort();
    }
    return 0;
}
