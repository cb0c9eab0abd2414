#include "vgui2/KeyValues.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "vgui2/TextConvert.h"

using vgui2::HKeySymbol;
using vgui2::wchar;

namespace {

IKeyValuesSystem* g_keyValuesSystem = nullptr;

// Value blocks up to this size come from the memory service's pool; longer
// ones from the heap. The value size recorded with the block decides where
// it goes back.
constexpr std::size_t kPooledValueBytes = 24;
// Path parts, as in "a/b/c", are held in a buffer of this size.
constexpr std::size_t kPathPartBuffer = 256;
// One token of the text format, including its terminator.
constexpr std::size_t kTokenBuffer = 512;
// Sections nested deeper than this are skipped, so hostile text cannot
// exhaust the stack of the recursive reader.
constexpr int kMaxSectionDepth = 256;

bool IsTextSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

void SetKeyValuesSystem(IKeyValuesSystem* system) { g_keyValuesSystem = system; }
IKeyValuesSystem* KeyValuesSystem() { return g_keyValuesSystem; }

// Reads the tokens of the text format from a zero-terminated text. The token
// lives in one buffer that the next read overwrites.
struct TokenReader {
    const char* p;
    char token[kTokenBuffer];

    explicit TokenReader(const char* text) : p(text) { token[0] = '\0'; }

    // Returns the token, or null at the end of the token stream.
    const char* Next() {
        for (;;) {
            while (*p && IsTextSpace(static_cast<unsigned char>(*p))) {
                ++p;
            }
            // Token files are UTF-8 and translators write comments in their
            // own language, so a comment runs to its line end whatever bytes
            // it holds.
            if (p[0] == '/' && p[1] == '/') {
                while (*p && *p != '\n') {
                    ++p;
                }
                continue;
            }
            break;
        }
        if (!*p) {
            return nullptr;
        }
        std::size_t length = 0;
        auto append = [&](char c) {
            if (length < kTokenBuffer - 1) {
                token[length++] = c;
            }
        };
        if (*p == '"') {
            ++p;
            while (*p && *p != '"') {
                if (*p == '\\' && p[1]) {
                    char escaped = p[1];
                    p += 2;
                    switch (escaped) {
                        case 'n': append('\n'); break;
                        case 't': append('\t'); break;
                        case '\\': append('\\'); break;
                        case '"': append('"'); break;
                        default:
                            append('\\');
                            append(escaped);
                            break;
                    }
                    continue;
                }
                append(*p++);
            }
            if (*p == '"') {
                ++p;
            }
            token[length] = '\0';
            return token;
        }
        // A bare token keeps its UTF-8 bytes whole: cutting it at a byte of
        // 128 or more would split a character and lose the rest of the file.
        std::size_t consumed = 0;
        while (*p && !IsTextSpace(static_cast<unsigned char>(*p))) {
            append(*p++);
            ++consumed;
        }
        if (!*p && consumed == 1) {
            length = 0;
        }
        token[length] = '\0';
        return token;
    }

    // Skips the rest of a section whose "{" was just read.
    void SkipSection() {
        int depth = 1;
        while (depth > 0) {
            const char* t = Next();
            if (!t) {
                return;
            }
            if (std::strcmp(t, "{") == 0) {
                ++depth;
            } else if (std::strcmp(t, "}") == 0) {
                --depth;
            }
        }
    }
};

KeyValues::TextBuffer::TextBuffer() : capacity(4096) {
    data = static_cast<char*>(std::malloc(capacity));
    if (!data) {
        throw std::bad_alloc();
    }
}

KeyValues::TextBuffer::~TextBuffer() { std::free(data); }

void KeyValues::TextBuffer::Append(const char* text, std::size_t length) {
    if (size + length + 1 > capacity) {
        std::size_t grown = capacity;
        while (size + length + 1 > grown) {
            grown *= 2;
        }
        char* moved = static_cast<char*>(std::realloc(data, grown));
        if (!moved) {
            throw std::bad_alloc();
        }
        data = moved;
        capacity = grown;
    }
    std::memcpy(data + size, text, length);
    size += length;
    data[size] = '\0';
}

void KeyValues::TextBuffer::Append(const char* text) { Append(text, std::strlen(text)); }

void KeyValues::TextBuffer::AppendEscaped(const char* text) {
    for (const char* c = text; *c; ++c) {
        if (*c == '"' || *c == '\\') {
            Append("\\", 1);
        }
        Append(c, 1);
    }
}

void KeyValues::TextBuffer::AppendTabs(int count) {
    for (int i = 0; i < count; ++i) {
        Append("\t", 1);
    }
}

void* KeyValues::operator new(std::size_t size) {
    void* memory = g_keyValuesSystem ? g_keyValuesSystem->AllocKeyValuesMemory(static_cast<int>(size)) : nullptr;
    if (!memory) {
        throw std::bad_alloc();
    }
    return memory;
}

void KeyValues::operator delete(void* memory) {
    if (memory) {
        g_keyValuesSystem->FreeKeyValuesMemory(memory);
    }
}

void KeyValues::Init() {
    m_keyName = vgui2::kInvalidKeySymbol;
    m_value.ptr = nullptr;
    m_dataType = TYPE_NONE;
    m_valueSize = 0;
    m_peer = nullptr;
    m_sub = nullptr;
}

KeyValues::KeyValues(const char* name) {
    Init();
    SetName(name);
}

KeyValues::KeyValues(const char* name, const wchar* text) : KeyValues(name) { SetWString("text", text); }

KeyValues::KeyValues(const char* name, const char* firstKey, int firstValue) : KeyValues(name) {
    SetInt(firstKey, firstValue);
}

KeyValues::KeyValues(const char* name, const char* firstKey, int firstValue, const char* secondKey, int secondValue)
    : KeyValues(name) {
    SetInt(firstKey, firstValue);
    SetInt(secondKey, secondValue);
}

KeyValues::~KeyValues() {
    while (KeyValues* child = m_sub) {
        m_sub = child->m_peer;
        child->m_peer = nullptr;
        child->deleteThis();
    }
    ReleaseValue();
}

void KeyValues::deleteThis() { delete this; }

void KeyValues::Destroy(KeyValues* keyValues) {
    if (keyValues) {
        keyValues->deleteThis();
    }
}

void KeyValues::SetName(const char* name) { m_keyName = g_keyValuesSystem->GetSymbolForString(name); }

const char* KeyValues::GetName() const {
    const char* name = m_keyName == vgui2::kInvalidKeySymbol ? nullptr : g_keyValuesSystem->GetStringForSymbol(m_keyName);
    return name ? name : "";
}

HKeySymbol KeyValues::GetNameSymbol() const { return m_keyName; }

void* KeyValues::AllocValue(std::size_t bytes) {
    void* memory = bytes <= kPooledValueBytes ? g_keyValuesSystem->AllocKeyValuesMemory(static_cast<int>(bytes))
                                              : std::malloc(bytes);
    if (!memory) {
        throw std::bad_alloc();
    }
    m_valueSize = bytes;
    return memory;
}

void KeyValues::ReleaseValue() {
    if (m_valueSize > 0 && m_valueSize <= kPooledValueBytes) {
        g_keyValuesSystem->FreeKeyValuesMemory(m_value.ptr);
    } else if (m_valueSize > kPooledValueBytes) {
        std::free(m_value.ptr);
    }
    m_valueSize = 0;
}

void KeyValues::SetStringValue(const char* text) {
    ReleaseValue();
    if (!text) {
        text = "";
    }
    std::size_t bytes = std::strlen(text) + 1;
    char* copy = static_cast<char*>(AllocValue(bytes));
    std::memcpy(copy, text, bytes);
    m_value.string = copy;
    m_dataType = TYPE_STRING;
}

void KeyValues::SetWStringValue(const wchar* text) {
    ReleaseValue();
    if (!text) {
        text = u"";
    }
    std::size_t bytes = (vgui2::WideLength(text) + 1) * sizeof(wchar);
    wchar* copy = static_cast<wchar*>(AllocValue(bytes));
    std::memcpy(copy, text, bytes);
    m_value.wstring = copy;
    m_dataType = TYPE_WSTRING;
}

KeyValues* KeyValues::FindKey(HKeySymbol symbol) const {
    for (KeyValues* child = m_sub; child; child = child->m_peer) {
        if (child->m_keyName == symbol) {
            return child;
        }
    }
    return nullptr;
}

KeyValues* KeyValues::FindKey(const char* keyName, bool create) {
    if (!keyName || !*keyName) {
        return this;
    }
    const char* slash = std::strchr(keyName, '/');
    std::size_t partLength = slash ? static_cast<std::size_t>(slash - keyName) : std::strlen(keyName);
    // A part that does not fit the part buffer is refused: cutting it would
    // silently address a different key.
    if (partLength >= kPathPartBuffer) {
        return nullptr;
    }
    char part[kPathPartBuffer];
    std::memcpy(part, keyName, partLength);
    part[partLength] = '\0';

    HKeySymbol symbol = g_keyValuesSystem->GetSymbolForString(part);
    if (symbol == vgui2::kInvalidKeySymbol) {
        return nullptr;
    }
    KeyValues* found = FindKey(symbol);
    if (!found) {
        if (!create) {
            return nullptr;
        }
        found = new KeyValues(part);
        KeyValues** tail = &m_sub;
        while (*tail) {
            tail = &(*tail)->m_peer;
        }
        *tail = found;
        m_dataType = TYPE_NONE;
    }
    return slash ? found->FindKey(slash + 1, create) : found;
}

KeyValues* KeyValues::CreateNewKey() {
    // Names come from files, so a number may sit at or beyond any integer's
    // limit: read wide and saturating, never step past the largest value.
    long long largest = 0;
    for (KeyValues* child = m_sub; child; child = child->m_peer) {
        long long number = std::strtoll(child->GetName(), nullptr, 10);
        if (number > largest) {
            largest = number;
        }
    }
    char name[32];
    std::snprintf(name, sizeof(name), "%lld", largest < LLONG_MAX ? largest + 1 : largest);
    // Only a name at the very limit can be taken already; the new key must
    // still be new, so the first free number stands in.
    for (long long free = 1; FindKey(name, false); ++free) {
        std::snprintf(name, sizeof(name), "%lld", free);
    }
    return FindKey(name, true);
}

void KeyValues::RemoveSubKey(KeyValues* subKey) {
    if (!subKey) {
        return;
    }
    if (m_sub == subKey) {
        m_sub = subKey->m_peer;
    } else {
        for (KeyValues* child = m_sub; child; child = child->m_peer) {
            if (child->m_peer == subKey) {
                child->m_peer = subKey->m_peer;
                break;
            }
        }
    }
    subKey->m_peer = nullptr;
}

KeyValues* KeyValues::GetFirstSubKey() { return m_sub; }
KeyValues* KeyValues::GetNextKey() { return m_peer; }

int KeyValues::GetInt(const char* keyName, int defaultValue) {
    KeyValues* key = FindKey(keyName, false);
    if (!key) {
        return defaultValue;
    }
    switch (key->m_dataType) {
        case TYPE_STRING: return std::atoi(key->m_value.string ? key->m_value.string : "");
        case TYPE_WSTRING: return vgui2::WideToInt(key->m_value.wstring);
        case TYPE_FLOAT: return static_cast<int>(key->m_value.f);
        case TYPE_PTR: return static_cast<int>(reinterpret_cast<std::intptr_t>(key->m_value.ptr));
        case TYPE_COLOR: {
            int bits;
            std::memcpy(&bits, key->m_value.color, sizeof(bits));
            return bits;
        }
        case TYPE_UINT64: return 0;
        default: return key->m_value.i;
    }
}

float KeyValues::GetFloat(const char* keyName, float defaultValue) {
    KeyValues* key = FindKey(keyName, false);
    if (!key) {
        return defaultValue;
    }
    switch (key->m_dataType) {
        case TYPE_STRING: return static_cast<float>(std::atof(key->m_value.string ? key->m_value.string : ""));
        case TYPE_INT: return static_cast<float>(key->m_value.i);
        case TYPE_FLOAT: return key->m_value.f;
        case TYPE_UINT64: return static_cast<float>(*key->m_value.u64);
        default: return 0.0f;
    }
}

const char* KeyValues::GetString(const char* keyName, const char* defaultValue) {
    KeyValues* key = FindKey(keyName, false);
    if (!key) {
        return defaultValue;
    }
    char text[64];
    switch (key->m_dataType) {
        case TYPE_STRING: return key->m_value.string ? key->m_value.string : "";
        case TYPE_INT:
        case TYPE_PTR:
            std::snprintf(text, sizeof(text), "%d", key->GetInt());
            break;
        case TYPE_FLOAT: std::snprintf(text, sizeof(text), "%f", key->m_value.f); break;
        case TYPE_UINT64:
            std::snprintf(text, sizeof(text), "%lld", static_cast<long long>(*key->m_value.u64));
            break;
        case TYPE_WSTRING: {
            char narrow[512];
            vgui2::WideToUtf8(key->m_value.wstring, narrow, sizeof(narrow));
            key->SetStringValue(narrow);
            return key->m_value.string;
        }
        default: return defaultValue;
    }
    key->SetStringValue(text);
    return key->m_value.string;
}

const wchar* KeyValues::GetWString(const char* keyName, const wchar* defaultValue) {
    KeyValues* key = FindKey(keyName, false);
    if (!key) {
        return defaultValue;
    }
    char text[64];
    switch (key->m_dataType) {
        case TYPE_WSTRING: return key->m_value.wstring ? key->m_value.wstring : u"";
        case TYPE_STRING: {
            wchar wide[1024 / sizeof(wchar)];
            vgui2::Utf8ToWide(key->m_value.string, wide, sizeof(wide));
            key->SetWStringValue(wide);
            return key->m_value.wstring;
        }
        case TYPE_INT:
        case TYPE_PTR:
            std::snprintf(text, sizeof(text), "%d", key->GetInt());
            break;
        case TYPE_FLOAT: std::snprintf(text, sizeof(text), "%f", key->m_value.f); break;
        case TYPE_UINT64:
            std::snprintf(text, sizeof(text), "%lld", static_cast<long long>(*key->m_value.u64));
            break;
        default: return defaultValue;
    }
    wchar wide[64];
    vgui2::Utf8ToWide(text, wide, sizeof(wide));
    key->SetWStringValue(wide);
    return key->m_value.wstring;
}

void* KeyValues::GetPtr(const char* keyName, void* defaultValue) {
    KeyValues* key = FindKey(keyName, false);
    if (!key) {
        return defaultValue;
    }
    return key->m_dataType == TYPE_PTR ? key->m_value.ptr : nullptr;
}

bool KeyValues::IsEmpty(const char* keyName) {
    KeyValues* key = FindKey(keyName, false);
    return !key || (key->m_dataType == TYPE_NONE && !key->m_sub);
}

KeyValues::types_t KeyValues::GetDataType(const char* keyName) {
    KeyValues* key = FindKey(keyName, false);
    return key ? static_cast<types_t>(key->m_dataType) : TYPE_NONE;
}

void KeyValues::SetWString(const char* keyName, const wchar* value) {
    if (KeyValues* key = FindKey(keyName, true)) {
        key->SetWStringValue(value);
    }
}

void KeyValues::SetString(const char* keyName, const char* value) {
    if (KeyValues* key = FindKey(keyName, true)) {
        key->SetStringValue(value);
    }
}

void KeyValues::SetInt(const char* keyName, int value) {
    if (KeyValues* key = FindKey(keyName, true)) {
        key->ReleaseValue();
        key->m_value.i = value;
        key->m_dataType = TYPE_INT;
    }
}

void KeyValues::SetFloat(const char* keyName, float value) {
    if (KeyValues* key = FindKey(keyName, true)) {
        key->ReleaseValue();
        key->m_value.f = value;
        key->m_dataType = TYPE_FLOAT;
    }
}

void KeyValues::SetPtr(const char* keyName, void* value) {
    if (KeyValues* key = FindKey(keyName, true)) {
        key->ReleaseValue();
        key->m_value.ptr = value;
        key->m_dataType = TYPE_PTR;
    }
}

void KeyValues::SetColor(const char* keyName, vgui2::Color value) {
    if (KeyValues* key = FindKey(keyName, true)) {
        key->ReleaseValue();
        key->m_value.color[0] = value.r;
        key->m_value.color[1] = value.g;
        key->m_value.color[2] = value.b;
        key->m_value.color[3] = value.a;
        key->m_dataType = TYPE_COLOR;
    }
}

vgui2::Color KeyValues::GetColor(const char* keyName, vgui2::Color defaultValue) {
    KeyValues* key = FindKey(keyName, false);
    if (!key || key->m_dataType != TYPE_COLOR) {
        return defaultValue;
    }
    return vgui2::Color(key->m_value.color[0], key->m_value.color[1], key->m_value.color[2], key->m_value.color[3]);
}

void KeyValues::SetUint64(const char* keyName, std::uint64_t value) {
    if (KeyValues* key = FindKey(keyName, true)) {
        key->ReleaseValue();
        auto* block = static_cast<std::uint64_t*>(key->AllocValue(sizeof(std::uint64_t)));
        *block = value;
        key->m_value.u64 = block;
        key->m_dataType = TYPE_UINT64;
    }
}

std::uint64_t KeyValues::GetUint64(const char* keyName, std::uint64_t defaultValue) {
    KeyValues* key = FindKey(keyName, false);
    if (!key || key->m_dataType != TYPE_UINT64) {
        return defaultValue;
    }
    return *key->m_value.u64;
}

KeyValues* KeyValues::MakeCopy() const {
    KeyValues* copy = new KeyValues(nullptr);
    copy->m_keyName = m_keyName;
    copy->m_dataType = m_dataType;
    switch (m_dataType) {
        case TYPE_STRING:
            if (m_value.string) {
                copy->SetStringValue(m_value.string);
            }
            break;
        case TYPE_WSTRING:
            if (m_value.wstring) {
                copy->SetWStringValue(m_value.wstring);
            }
            break;
        case TYPE_UINT64: {
            auto* block = static_cast<std::uint64_t*>(copy->AllocValue(sizeof(std::uint64_t)));
            *block = *m_value.u64;
            copy->m_value.u64 = block;
            break;
        }
        default:
            copy->m_value = m_value;
            break;
    }
    KeyValues** tail = &copy->m_sub;
    for (const KeyValues* child = m_sub; child; child = child->m_peer) {
        *tail = child->MakeCopy();
        tail = &(*tail)->m_peer;
    }
    return copy;
}

void KeyValues::Clear() {
    while (KeyValues* child = m_sub) {
        m_sub = child->m_peer;
        child->m_peer = nullptr;
        child->deleteThis();
    }
    m_dataType = TYPE_NONE;
    ReleaseValue();
}

bool KeyValues::LoadFromFile(IFileSystem* fileSystem, const char* resourceName, const char* pathID) {
    if (!fileSystem || !resourceName) {
        return false;
    }
    FileHandle_t file = fileSystem->Open(resourceName, "rb", pathID);
    if (!file) {
        return false;
    }
    unsigned int size = fileSystem->Size(file);
    char* buffer = static_cast<char*>(std::malloc(static_cast<std::size_t>(size) + 1));
    if (!buffer) {
        fileSystem->Close(file);
        return false;
    }
    int read = fileSystem->Read(buffer, static_cast<int>(size), file);
    buffer[read > 0 ? read : 0] = '\0';
    fileSystem->Close(file);
    LoadFromBuffer(buffer);
    std::free(buffer);
    return true;
}

void KeyValues::LoadFromBuffer(const char* text) {
    if (!text) {
        return;
    }
    TokenReader reader(text);
    const char* name = reader.Next();
    if (!name) {
        return;
    }
    SetName(name);
    if (m_keyName == vgui2::kInvalidKeySymbol) {
        return;
    }
    const char* open = reader.Next();
    if (open && std::strcmp(open, "{") == 0) {
        ReadSection(reader, 1);
    }
}

void KeyValues::ReadSection(TokenReader& reader, int depth) {
    for (;;) {
        const char* nameToken = reader.Next();
        if (!nameToken || !*nameToken || std::strcmp(nameToken, "}") == 0) {
            return;
        }
        KeyValues* key = FindKey(nameToken, true);
        const char* value = reader.Next();
        if (!value || std::strcmp(value, "}") == 0) {
            return;
        }
        if (std::strcmp(value, "{") == 0) {
            if (key && depth < kMaxSectionDepth) {
                key->ReadSection(reader, depth + 1);
            } else {
                reader.SkipSection();
            }
        } else if (key) {
            key->SetStringValue(value);
        }
    }
}

void KeyValues::WriteToBuffer(TextBuffer& buffer, int depth) const {
    buffer.AppendTabs(depth);
    buffer.Append("\"");
    buffer.AppendEscaped(GetName());
    buffer.Append("\"\n");
    buffer.AppendTabs(depth);
    buffer.Append("{\n");
    for (const KeyValues* child = m_sub; child; child = child->m_peer) {
        if (child->m_sub) {
            child->WriteToBuffer(buffer, depth + 1);
            continue;
        }
        char number[64];
        char narrow[1024];
        const char* value = nullptr;
        bool escape = true;
        switch (child->m_dataType) {
            case TYPE_STRING:
                if (child->m_value.string && *child->m_value.string) {
                    value = child->m_value.string;
                }
                break;
            case TYPE_INT:
                std::snprintf(number, sizeof(number), "%d", child->m_value.i);
                value = number;
                escape = false;
                break;
            case TYPE_FLOAT:
                std::snprintf(number, sizeof(number), "%f", child->m_value.f);
                value = number;
                escape = false;
                break;
            case TYPE_WSTRING:
                if (child->m_value.wstring) {
                    vgui2::WideToUtf8(child->m_value.wstring, narrow, sizeof(narrow));
                    value = narrow;
                }
                break;
            default:
                break;
        }
        if (!value) {
            continue;
        }
        buffer.AppendTabs(depth + 1);
        buffer.Append("\"");
        buffer.AppendEscaped(child->GetName());
        buffer.Append("\"\t\t\"");
        if (escape) {
            buffer.AppendEscaped(value);
        } else {
            buffer.Append(value);
        }
        buffer.Append("\"\n");
    }
    buffer.AppendTabs(depth);
    buffer.Append("}\n");
}

bool KeyValues::SaveToFile(IFileSystem* fileSystem, const char* resourceName, const char* pathID) {
    if (!fileSystem || !resourceName) {
        return false;
    }
    FileHandle_t file = fileSystem->Open(resourceName, "wb", pathID);
    if (!file) {
        std::string name(resourceName);
        for (std::size_t i = 0; i < name.size(); ++i) {
            if (name[i] == '\\' || name[i] == '/') {
                fileSystem->CreateDirHierarchy(name.substr(0, i).c_str(), pathID);
            }
        }
        file = fileSystem->Open(resourceName, "wb", pathID);
        if (!file) {
            return false;
        }
    }
    TextBuffer buffer;
    WriteToBuffer(buffer, 0);
    // The format ends with a zero byte, which also terminates the reader.
    bool written = fileSystem->Write(buffer.data, static_cast<int>(buffer.size + 1), file) ==
                   static_cast<int>(buffer.size + 1);
    fileSystem->Close(file);
    return written;
}
