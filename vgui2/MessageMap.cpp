#include "vgui2/MessageMap.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>

#include "platform/Text.h"
#include "services/IVGui.h"
#include "services/ServicePointers.h"
#include "vgui2/KeyValues.h"
#include "vgui2/Panel.h"
#include "vgui2/TextConvert.h"

namespace vgui2 {

namespace {

std::string DictionaryKey(const char* className) {
    if (!className) {
        className = "";
    }
    for (const char* prefix : {"vgui::", "vgui2::"}) {
        std::size_t length = std::char_traits<char>::length(prefix);
        if (platform::CompareNoCaseN(className, prefix, length) == 0) {
            className += length;
            break;
        }
    }
    std::string key(className);
    for (char& c : key) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return key;
}

std::map<std::string, std::unique_ptr<PanelMessageMap>>& Dictionary() {
    static std::map<std::string, std::unique_ptr<PanelMessageMap>> dictionary;
    return dictionary;
}

HKeySymbol Symbol(const char* name) {
    IKeyValuesSystem* system = KeyValuesSystem();
    return name && system ? system->GetSymbolForString(name) : kInvalidKeySymbol;
}

void ResolveSymbols(MessageMapItem& item) {
    item.nameSymbol = Symbol(item.name);
    item.firstParamSymbol = Symbol(item.firstParamName);
    item.secondParamSymbol = Symbol(item.secondParamName);
}

std::uint64_t ReadUint64(KeyValues* node) {
    switch (node->GetDataType()) {
        case KeyValues::TYPE_STRING: return std::strtoull(node->GetString(), nullptr, 10);
        case KeyValues::TYPE_WSTRING: return static_cast<std::uint64_t>(WideToInt64(node->GetWString()));
        case KeyValues::TYPE_UINT64: return node->GetUint64();
        case KeyValues::TYPE_FLOAT: {
            // Truncated towards zero; values no 64-bit integer can hold give 0
            // rather than undefined behaviour.
            double value = std::trunc(static_cast<double>(node->GetFloat()));
            if (!(value > -9.2233720368547758e18 && value < 1.8446744073709552e19)) {
                return 0;
            }
            return value < 0 ? static_cast<std::uint64_t>(static_cast<std::int64_t>(value))
                             : static_cast<std::uint64_t>(value);
        }
        default: return static_cast<std::uint64_t>(static_cast<std::int64_t>(node->GetInt()));
    }
}

// A missing key falls back to the message node itself, so a message whose
// own value is the parameter works too.
MessageArgument Fetch(KeyValues* message, int kind, const char* keyName, HKeySymbol symbol) {
    MessageArgument argument;
    KeyValues* node = message->FindKey(symbol);
    if (!node) {
        node = message;
    }
    switch (kind) {
        case DATATYPE_CONSTCHARPTR: argument.text = node->GetString(nullptr, ""); break;
        case DATATYPE_INT:
        case DATATYPE_BOOL: argument.integer = node->GetInt(nullptr, 0); break;
        case DATATYPE_FLOAT: argument.real = node->GetFloat(nullptr, 0.0f); break;
        case DATATYPE_PTR: argument.pointer = node->GetPtr(nullptr, nullptr); break;
        case DATATYPE_KEYVALUES:
            argument.keyValues = keyName ? static_cast<KeyValues*>(node->GetPtr(nullptr, nullptr)) : message;
            break;
        case DATATYPE_CONSTWCHARPTR: argument.wideText = node->GetWString(nullptr, u""); break;
        case DATATYPE_UINT64: argument.u64 = ReadUint64(node); break;
        default: break;
    }
    return argument;
}

bool IsSingleKindSupported(int kind, bool acceptBool) {
    switch (kind) {
        case DATATYPE_CONSTCHARPTR:
        case DATATYPE_INT:
        case DATATYPE_FLOAT:
        case DATATYPE_PTR:
        case DATATYPE_KEYVALUES:
        case DATATYPE_CONSTWCHARPTR:
        case DATATYPE_UINT64: return true;
        case DATATYPE_BOOL: return acceptBool;
        default: return false;
    }
}

bool IsPairSupported(int first, int second) {
    constexpr std::pair<int, int> kPairs[] = {
        {DATATYPE_INT, DATATYPE_INT},          {DATATYPE_INT, DATATYPE_CONSTCHARPTR},
        {DATATYPE_PTR, DATATYPE_INT},          {DATATYPE_PTR, DATATYPE_CONSTCHARPTR},
        {DATATYPE_PTR, DATATYPE_CONSTWCHARPTR}, {DATATYPE_CONSTCHARPTR, DATATYPE_INT},
        {DATATYPE_CONSTCHARPTR, DATATYPE_CONSTCHARPTR},
    };
    for (const auto& pair : kPairs) {
        if (pair.first == first && pair.second == second) {
            return true;
        }
    }
    return false;
}

void Report(const char* format, KeyValues* message, Panel* target) {
    if (IVGui* vgui = ivgui()) {
        vgui->DPrintf(format, message->GetName(), target->GetName());
    }
}

// Runs one matched entry. The fixed table reads a bool parameter as an int;
// the dictionary has no bool parameters.
void Invoke(const MessageMapItem& item, Panel* target, KeyValues* message, bool acceptBool) {
    MessageArgument arguments[2];
    switch (item.numParams) {
        case 0: item.invoke(target, arguments); return;
        case 1:
            if (!IsSingleKindSupported(item.firstParamType, acceptBool)) {
                Report("Message '%s', sent to '%s', has an invalid parameter type\n", message, target);
                return;
            }
            arguments[0] = Fetch(message, item.firstParamType, item.firstParamName, item.firstParamSymbol);
            item.invoke(target, arguments);
            return;
        default: {
            int first = acceptBool && item.firstParamType == DATATYPE_BOOL ? DATATYPE_INT : item.firstParamType;
            int second = acceptBool && item.secondParamType == DATATYPE_BOOL ? DATATYPE_INT : item.secondParamType;
            if (item.numParams != 2 || !IsPairSupported(first, second)) {
                Report("Message '%s', sent to '%s', has invalid parameter types\n", message, target);
                return;
            }
            arguments[0] = Fetch(message, first, item.firstParamName, item.firstParamSymbol);
            arguments[1] = Fetch(message, second, item.secondParamName, item.secondParamSymbol);
            item.invoke(target, arguments);
            return;
        }
    }
}

}  // namespace

void PanelMessageMap::AddItem(const MessageMapItem& item) {
    m_entries.push_back(item);
    // A record that has been dispatched through already resolves new
    // entries at once; the others wait for their first dispatch.
    if (m_symbolsResolved) {
        ResolveSymbols(m_entries.back());
    }
}

PanelMessageMap& FindOrAddPanelMessageMap(const char* className) {
    std::string key = DictionaryKey(className);
    auto& slot = Dictionary()[key];
    if (!slot) {
        slot = std::make_unique<PanelMessageMap>(className ? className : "");
    }
    return *slot;
}

PanelMessageMap& RegisterMessageMap(const char* className, const char* baseClassName,
                                    void (*addHandlers)(PanelMessageMap& map)) {
    PanelMessageMap& map = FindOrAddPanelMessageMap(className);
    if (!map.m_registered) {
        map.m_registered = true;
        if (baseClassName) {
            PanelMessageMap& base = FindOrAddPanelMessageMap(baseClassName);
            // A class named after its own base would make the chain a loop.
            map.m_baseMap = &base == &map ? nullptr : &base;
        }
        if (addHandlers) {
            addHandlers(map);
        }
    }
    return map;
}

bool DispatchMessageMap(PanelMessageMap& map, Panel* target, KeyValues* message) {
    if (!message || !target) {
        return false;
    }
    for (PanelMessageMap* record = &map; record; record = record->m_baseMap) {
        if (!record->m_symbolsResolved) {
            for (MessageMapItem& item : record->m_entries) {
                ResolveSymbols(item);
            }
            record->m_symbolsResolved = true;
        }
    }
    HKeySymbol messageSymbol = message->GetNameSymbol();
    for (PanelMessageMap* record = &map; record; record = record->m_baseMap) {
        for (const MessageMapItem& item : record->m_entries) {
            if (item.nameSymbol == messageSymbol) {
                Invoke(item, target, message, false);
                return true;
            }
        }
    }
    return false;
}

bool DispatchMessageTable(MessageMapItem* items, int count, Panel* target, KeyValues* message) {
    if (!message || !target || !items) {
        return false;
    }
    HKeySymbol messageSymbol = message->GetNameSymbol();
    for (int i = 0; i < count; ++i) {
        MessageMapItem& item = items[i];
        if (item.nameSymbol == kUnresolvedSymbol) {
            ResolveSymbols(item);
        }
        if (item.nameSymbol == messageSymbol) {
            Invoke(item, target, message, true);
            return true;
        }
    }
    return false;
}

}  // namespace vgui2
