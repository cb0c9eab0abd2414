// Feeds arbitrary text to the KeyValues reader and writer. Every input must
// be read and written without memory errors; a tree that stays inside the
// format's limits must also read back to the same text it was written as.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "modules/updvgui2/KeyValuesSystem.h"
#include "vgui2/KeyValues.h"

namespace {

constexpr std::size_t kLongestToken = 511;

std::size_t EscapedLength(const char* text) {
    std::size_t length = 0;
    for (const char* c = text; *c; ++c) {
        length += (*c == '"' || *c == '\\') ? 2 : 1;
    }
    return length;
}

bool IsCarriedToken(const char* text) {
    return *text && std::strcmp(text, "{") != 0 && std::strcmp(text, "}") != 0 && EscapedLength(text) <= kLongestToken;
}

// The text form cannot carry an empty name, a key with neither value nor
// subkeys or with an empty text (neither is written, which can empty its
// section), a name or value that reads as a brace, or a token longer than
// the reader's buffer once escaped.
bool FitsTheFormat(KeyValues* key) {
    for (KeyValues* child = key->GetFirstSubKey(); child; child = child->GetNextKey()) {
        if (!IsCarriedToken(child->GetName())) {
            return false;
        }
        if (child->GetFirstSubKey()) {
            if (!FitsTheFormat(child)) {
                return false;
            }
        } else if (child->GetDataType() == KeyValues::TYPE_NONE) {
            return false;
        } else if (child->GetDataType() == KeyValues::TYPE_STRING) {
            const char* value = child->GetString();
            if (!IsCarriedToken(value)) {
                return false;
            }
        }
    }
    return true;
}

std::string WriteText(KeyValues* tree) {
    KeyValues::TextBuffer buffer;
    tree->WriteToBuffer(buffer, 0);
    return std::string(buffer.data, buffer.size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SetKeyValuesSystem(&TheKeyValuesSystem());
    std::string text(reinterpret_cast<const char*>(data), size);

    KeyValues* first = new KeyValues("fuzz");
    first->LoadFromBuffer(text.c_str());
    std::string written = WriteText(first);
    bool checkRoundTrip = IsCarriedToken(first->GetName()) && FitsTheFormat(first);
    first->deleteThis();

    KeyValues* second = new KeyValues("fuzz");
    second->LoadFromBuffer(written.c_str());
    std::string rewritten = WriteText(second);
    second->deleteThis();

    if (checkRoundTrip && rewritten != written) {
        std::abort();
    }
    return 0;
}
