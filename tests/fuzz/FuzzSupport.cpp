#include "tests/fuzz/FuzzSupport.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "modules/updvgui2/KeyValuesSystem.h"
#include "vgui2/KeyValues.h"

namespace fuzzsupport {

namespace {

std::size_t EscapedLength(const char* text) {
    std::size_t length = 0;
    for (const char* c = text; *c; ++c) {
        length += (*c == '"' || *c == '\\') ? 2 : 1;
    }
    return length;
}

}  // namespace

void ConnectKeyValues() { SetKeyValuesSystem(&TheKeyValuesSystem()); }

bool IsCarriedToken(const char* text) {
    return *text && std::strcmp(text, "{") != 0 && std::strcmp(text, "}") != 0 && EscapedLength(text) <= kLongestToken;
}

bool FitsTheTextFormat(KeyValues* tree) {
    if (!IsCarriedToken(tree->GetName())) {
        return false;
    }
    for (KeyValues* child = tree->GetFirstSubKey(); child; child = child->GetNextKey()) {
        if (child->GetFirstSubKey()) {
            if (!FitsTheTextFormat(child)) {
                return false;
            }
        } else if (!IsCarriedToken(child->GetName()) || child->GetDataType() == KeyValues::TYPE_NONE) {
            return false;
        } else if (child->GetDataType() == KeyValues::TYPE_STRING && !IsCarriedToken(child->GetString())) {
            return false;
        }
    }
    return true;
}

std::string WriteText(KeyValues* tree) {
    KeyValues::TextBuffer buffer;
    tree->WriteToBuffer(buffer, 0);
    return std::string(buffer.data, buffer.size);
}

void SilenceStandardOutput() {
    std::fflush(stdout);
    int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null >= 0) {
        dup2(null, STDOUT_FILENO);
        close(null);
    }
}

}  // namespace fuzzsupport
