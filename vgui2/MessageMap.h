// Message maps: for every panel class, a table from message name to handler
// with typed parameters, kept in one process-wide dictionary keyed by class
// name and chained to the base class's table. Dispatch finds the handler by
// name symbol, fetches its parameters from the message's keys, converts
// them to the handler's types and calls it. Handlers are registered with
// their parameter types deduced from the member function, so a table can
// never disagree with the code it calls; what the dispatcher still refuses
// (unsupported type combinations) is reported through the GUI loop's debug
// output. Symbols are resolved lazily, on the first dispatch. GUI thread
// only; the dictionary lives for the whole process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "services/VGuiTypes.h"

class KeyValues;

namespace vgui2 {

class Panel;

// Parameter kinds of a handler.
enum MessageDataType : int {
    DATATYPE_VOID = 0,
    DATATYPE_CONSTCHARPTR = 1,
    DATATYPE_INT = 2,
    DATATYPE_FLOAT = 3,
    DATATYPE_PTR = 4,
    DATATYPE_BOOL = 5,
    DATATYPE_KEYVALUES = 6,
    DATATYPE_CONSTWCHARPTR = 7,
    DATATYPE_UINT64 = 8,
};

// One fetched parameter; the handler's thunk reads the member of its type.
struct MessageArgument {
    const char* text = "";
    const wchar* wideText = u"";
    int integer = 0;
    float real = 0.0f;
    void* pointer = nullptr;
    KeyValues* keyValues = nullptr;
    std::uint64_t u64 = 0;
};

using MessageInvoker = void (*)(Panel* target, const MessageArgument* arguments);

// Symbol value meaning "not looked up yet".
inline constexpr HKeySymbol kUnresolvedSymbol = -2;

struct MessageMapItem {
    const char* name = nullptr;
    MessageInvoker invoke = nullptr;
    int numParams = 0;
    int firstParamType = DATATYPE_VOID;
    const char* firstParamName = nullptr;
    int secondParamType = DATATYPE_VOID;
    const char* secondParamName = nullptr;
    HKeySymbol nameSymbol = kUnresolvedSymbol;
    HKeySymbol firstParamSymbol = kUnresolvedSymbol;
    HKeySymbol secondParamSymbol = kUnresolvedSymbol;
};

// How a handler's parameter type maps onto a kind and reads its value.
template <typename T>
struct MessageParam;
template <>
struct MessageParam<const char*> {
    static constexpr int kKind = DATATYPE_CONSTCHARPTR;
    static const char* Get(const MessageArgument& argument) { return argument.text; }
};
template <>
struct MessageParam<int> {
    static constexpr int kKind = DATATYPE_INT;
    static int Get(const MessageArgument& argument) { return argument.integer; }
};
template <>
struct MessageParam<float> {
    static constexpr int kKind = DATATYPE_FLOAT;
    static float Get(const MessageArgument& argument) { return argument.real; }
};
template <>
struct MessageParam<bool> {
    static constexpr int kKind = DATATYPE_BOOL;
    static bool Get(const MessageArgument& argument) { return argument.integer != 0; }
};
template <>
struct MessageParam<KeyValues*> {
    static constexpr int kKind = DATATYPE_KEYVALUES;
    static KeyValues* Get(const MessageArgument& argument) { return argument.keyValues; }
};
template <>
struct MessageParam<const wchar*> {
    static constexpr int kKind = DATATYPE_CONSTWCHARPTR;
    static const wchar* Get(const MessageArgument& argument) { return argument.wideText; }
};
template <>
struct MessageParam<std::uint64_t> {
    static constexpr int kKind = DATATYPE_UINT64;
    static std::uint64_t Get(const MessageArgument& argument) { return argument.u64; }
};
// Any other pointer (a panel, a button, an opaque object) travels as a
// pointer value.
template <typename T>
struct MessageParam<T*> {
    static constexpr int kKind = DATATYPE_PTR;
    static T* Get(const MessageArgument& argument) { return static_cast<T*>(argument.pointer); }
};
// Key and mouse codes arrive as ints.
template <typename T>
    requires std::is_enum_v<T>
struct MessageParam<T> {
    static constexpr int kKind = DATATYPE_INT;
    static T Get(const MessageArgument& argument) { return static_cast<T>(argument.integer); }
};

template <typename Method>
struct HandlerTraits;
template <typename Return, typename Class, typename... Args>
struct HandlerTraits<Return (Class::*)(Args...)> {
    using ClassType = Class;
    static constexpr int kCount = sizeof...(Args);
};

template <auto Method, typename Return, typename Class, typename... Args, std::size_t... Index>
void InvokeHandler(Panel* target, const MessageArgument* arguments, Return (Class::*)(Args...),
                   std::index_sequence<Index...>) {
    (static_cast<Class*>(target)->*Method)(MessageParam<std::decay_t<Args>>::Get(arguments[Index])...);
}

template <auto Method>
void InvokeThunk(Panel* target, const MessageArgument* arguments) {
    using Traits = HandlerTraits<decltype(Method)>;
    InvokeHandler<Method>(target, arguments, Method, std::make_index_sequence<Traits::kCount>{});
}

template <typename Return, typename Class, typename... Args>
void DescribeParams(MessageMapItem& item, Return (Class::*)(Args...)) {
    static_assert(sizeof...(Args) <= 2, "message handlers take at most two parameters");
    constexpr int kinds[] = {MessageParam<std::decay_t<Args>>::kKind..., DATATYPE_VOID, DATATYPE_VOID};
    item.numParams = static_cast<int>(sizeof...(Args));
    item.firstParamType = kinds[0];
    item.secondParamType = kinds[1];
}

// Builds a table entry for a member function handler; the keys name the
// message values that become its parameters.
template <auto Method>
MessageMapItem MakeMessageMapItem(const char* message, const char* firstKey = nullptr,
                                  const char* secondKey = nullptr) {
    MessageMapItem item;
    item.name = message;
    item.invoke = &InvokeThunk<Method>;
    DescribeParams(item, Method);
    item.firstParamName = firstKey;
    item.secondParamName = secondKey;
    return item;
}

// One class's record in the dictionary.
class PanelMessageMap {
public:
    explicit PanelMessageMap(std::string className) : m_className(std::move(className)) {}

    template <auto Method>
    void Add(const char* message, const char* firstKey = nullptr, const char* secondKey = nullptr) {
        AddItem(MakeMessageMapItem<Method>(message, firstKey, secondKey));
    }
    void AddItem(const MessageMapItem& item);

    const std::string& ClassName() const { return m_className; }
    PanelMessageMap* BaseMap() const { return m_baseMap; }
    const std::vector<MessageMapItem>& Entries() const { return m_entries; }

private:
    friend PanelMessageMap& RegisterMessageMap(const char*, const char*, void (*)(PanelMessageMap&));
    friend bool DispatchMessageMap(PanelMessageMap&, Panel*, KeyValues*);

    std::string m_className;
    PanelMessageMap* m_baseMap = nullptr;
    bool m_registered = false;
    bool m_symbolsResolved = false;
    std::vector<MessageMapItem> m_entries;
};

// The record of a class name, created empty when missing. Names compare
// without regard to case, and a leading "vgui::" or "vgui2::" is ignored.
PanelMessageMap& FindOrAddPanelMessageMap(const char* className);

// Registers a class once: links it to its base record (by name; null for
// the root class) and lets it add its handlers. Later calls only return it.
PanelMessageMap& RegisterMessageMap(const char* className, const char* baseClassName,
                                    void (*addHandlers)(PanelMessageMap& map));

// Walks the class's chain; true when an entry matched (the handler ran, or
// its parameter types were refused and reported).
bool DispatchMessageMap(PanelMessageMap& map, Panel* target, KeyValues* message);
// The same over a fixed table of entries.
bool DispatchMessageTable(MessageMapItem* items, int count, Panel* target, KeyValues* message);

}  // namespace vgui2

// Declares a panel class's name, its message map and the function that fills
// it; the class defines AddMessageHandlers in its source file. The base
// class is registered first, so its handlers are there before the first
// dispatch through the derived class.
#define VGUI2_PANEL_CLASS(ClassName, BaseClassName)                                                         \
public:                                                                                                     \
    using ThisClass = ClassName;                                                                            \
    using BaseClass = BaseClassName;                                                                        \
    const char* GetClassName() override { return #ClassName; }                                              \
    ::vgui2::PanelMessageMap* GetMessageMap() override { return &ClassName::ClassMessageMap(); }            \
    static ::vgui2::PanelMessageMap& ClassMessageMap() {                                                    \
        static ::vgui2::PanelMessageMap& map = (BaseClassName::ClassMessageMap(),                           \
                                                ::vgui2::RegisterMessageMap(#ClassName, #BaseClassName,     \
                                                                            &ClassName::AddMessageHandlers)); \
        return map;                                                                                         \
    }                                                                                                       \
    static void AddMessageHandlers(::vgui2::PanelMessageMap& map)
