// KeyValues: the toolkit's named tree of typed values. Every message between
// panels, every layout file and every control's settings is one. Nodes and
// name symbols come from the key-values memory service; the text reader and
// writer handle the layout-file format (no include or conditional
// directives). A tree is used by one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "services/IFileSystem.h"
#include "services/IKeyValuesSystem.h"
#include "services/VGuiTypes.h"

// The memory service every node uses. Set once per module before the first
// node is made: start-up connects it in the executable, updvgui2 uses its own.
void SetKeyValuesSystem(IKeyValuesSystem* system);
IKeyValuesSystem* KeyValuesSystem();

class KeyValues {
public:
    enum types_t : std::int16_t {
        TYPE_NONE = 0,
        TYPE_STRING = 1,
        TYPE_INT = 2,
        TYPE_FLOAT = 3,
        TYPE_PTR = 4,
        TYPE_WSTRING = 5,
        TYPE_COLOR = 6,
        TYPE_UINT64 = 7,
    };

    explicit KeyValues(const char* name);
    KeyValues(const char* name, const vgui2::wchar* text);
    KeyValues(const char* name, const char* firstKey, int firstValue);
    KeyValues(const char* name, const char* firstKey, int firstValue, const char* secondKey, int secondValue);

    KeyValues(const KeyValues&) = delete;
    KeyValues& operator=(const KeyValues&) = delete;

    static void* operator new(std::size_t size);
    static void operator delete(void* memory);

    virtual const char* GetName() const;
    virtual vgui2::HKeySymbol GetNameSymbol() const;

    virtual bool LoadFromFile(IFileSystem* fileSystem, const char* resourceName, const char* pathID = nullptr);
    virtual bool SaveToFile(IFileSystem* fileSystem, const char* resourceName, const char* pathID = nullptr);

    virtual KeyValues* FindKey(vgui2::HKeySymbol symbol) const;
    virtual KeyValues* FindKey(const char* keyName, bool create = false);
    virtual KeyValues* CreateNewKey();
    virtual void RemoveSubKey(KeyValues* subKey);
    virtual KeyValues* GetFirstSubKey();
    virtual KeyValues* GetNextKey();

    virtual int GetInt(const char* keyName = nullptr, int defaultValue = 0);
    virtual float GetFloat(const char* keyName = nullptr, float defaultValue = 0.0f);
    virtual const char* GetString(const char* keyName = nullptr, const char* defaultValue = "");
    virtual const vgui2::wchar* GetWString(const char* keyName = nullptr, const vgui2::wchar* defaultValue = u"");
    virtual void* GetPtr(const char* keyName = nullptr, void* defaultValue = nullptr);
    virtual bool IsEmpty(const char* keyName = nullptr);

    virtual void SetWString(const char* keyName, const vgui2::wchar* value);
    virtual void SetString(const char* keyName, const char* value);
    virtual void SetInt(const char* keyName, int value);
    virtual void SetFloat(const char* keyName, float value);
    virtual void SetPtr(const char* keyName, void* value);

    virtual KeyValues* MakeCopy() const;
    virtual void Clear();
    virtual types_t GetDataType(const char* keyName = nullptr);
    // Deletes the node and its subkeys; callers detach it from a tree first.
    virtual void deleteThis();
    // The same, for a pointer that may be null.
    static void Destroy(KeyValues* keyValues);

    // The colour and 64-bit kinds have no text form; messages carry them.
    void SetColor(const char* keyName, vgui2::Color value);
    vgui2::Color GetColor(const char* keyName = nullptr, vgui2::Color defaultValue = {});
    void SetUint64(const char* keyName, std::uint64_t value);
    std::uint64_t GetUint64(const char* keyName = nullptr, std::uint64_t defaultValue = 0);

    void SetName(const char* name);

    // The text format on its own, for tests and fuzzers: reads a
    // zero-terminated text into this node, and writes the tree as text.
    void LoadFromBuffer(const char* text);
    // The writer grows its buffer, so nothing is cut.
    struct TextBuffer;
    void WriteToBuffer(TextBuffer& buffer, int depth) const;

protected:
    virtual ~KeyValues();

private:
    union Value {
        char* string;
        vgui2::wchar* wstring;
        int i;
        float f;
        void* ptr;
        std::uint8_t color[4];
        std::uint64_t* u64;
    };

    void Init();
    void ReleaseValue();
    void SetStringValue(const char* text);
    void SetWStringValue(const vgui2::wchar* text);
    void* AllocValue(std::size_t bytes);
    void ReadSection(struct TokenReader& reader, int depth);

    vgui2::HKeySymbol m_keyName;
    Value m_value;
    std::int16_t m_dataType;
    // Byte size of the owned value block, 0 when none. Wider than 16 bits so
    // that a long text can never wrap to a size that frees it wrongly.
    std::size_t m_valueSize;
    KeyValues* m_peer;
    KeyValues* m_sub;
};

// A growing text buffer the writer appends to.
struct KeyValues::TextBuffer {
    char* data = nullptr;
    std::size_t size = 0;
    std::size_t capacity = 0;

    TextBuffer();
    ~TextBuffer();
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;
    void Append(const char* text, std::size_t length);
    void Append(const char* text);
    void AppendEscaped(const char* text);
    void AppendTabs(int count);
};
