// Message maps and dispatch: every parameter kind and the supported pairs,
// the refused combinations and their diagnostics, missing keys, unmatched
// messages, class-name lookup and the base chain.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/vgui2/PanelTestServices.h"
#include "vgui2/MessageMap.h"

namespace {

using paneltest::DebugLog;
using vgui2::Panel;
using vgui2::PanelMessageMap;

// Records what each handler got.
class ProbePanel : public Panel {
    VGUI2_PANEL_CLASS(ProbePanel, Panel);

    ProbePanel() : Panel(nullptr, "probe") {}

    std::string last;
    std::string text;
    std::u16string wide;
    int first = -1;
    int second = -1;
    float real = -1.0f;
    void* pointer = nullptr;
    KeyValues* tree = nullptr;
    std::uint64_t u64 = 0;
    int requestedDirection = 99;

    void OnText(const char* value) { Record("Text", value); }
    void OnInt(int value) {
        last = "Int";
        first = value;
    }
    void OnFloat(float value) {
        last = "Float";
        real = value;
    }
    void OnPointer(void* value) {
        last = "Pointer";
        pointer = value;
    }
    void OnTree(KeyValues* value) {
        last = "Tree";
        tree = value;
    }
    void OnWide(const vgui2::wchar* value) {
        last = "Wide";
        wide = value;
    }
    void OnU64(std::uint64_t value) {
        last = "U64";
        u64 = value;
    }
    void OnIntInt(int a, int b) {
        last = "IntInt";
        first = a;
        second = b;
    }
    void OnIntText(int a, const char* b) {
        first = a;
        Record("IntText", b);
    }
    void OnPointerInt(Panel* a, int b) {
        last = "PointerInt";
        pointer = a;
        first = b;
    }
    void OnPointerText(void* a, const char* b) {
        pointer = a;
        Record("PointerText", b);
    }
    void OnPointerWide(void* a, const vgui2::wchar* b) {
        last = "PointerWide";
        pointer = a;
        wide = b;
    }
    void OnTextInt(const char* a, int b) {
        second = b;
        Record("TextInt", a);
    }
    void OnTextText(const char* a, const char* b) {
        Record("TextText", std::string(a) + "|" + b);
    }
    void OnFloatInt(float, int) { last = "FloatInt"; }
    void OnBool(bool) { last = "Bool"; }
    void OnCommand(const char* command) override { Record("Command", command); }
    void RequestFocus(int direction) override { requestedDirection = direction; }

private:
    void Record(const char* handler, const std::string& value) {
        last = handler;
        text = value;
    }
};

void ProbePanel::AddMessageHandlers(PanelMessageMap& map) {
    map.Add<&ProbePanel::OnText>("Text", "value");
    map.Add<&ProbePanel::OnInt>("Int", "value");
    map.Add<&ProbePanel::OnFloat>("Float", "value");
    map.Add<&ProbePanel::OnPointer>("Pointer", "value");
    map.Add<&ProbePanel::OnTree>("Tree", "value");
    map.Add<&ProbePanel::OnTree>("WholeTree");
    map.Add<&ProbePanel::OnWide>("Wide", "value");
    map.Add<&ProbePanel::OnU64>("U64", "value");
    map.Add<&ProbePanel::OnIntInt>("IntInt", "a", "b");
    map.Add<&ProbePanel::OnIntText>("IntText", "a", "b");
    map.Add<&ProbePanel::OnPointerInt>("PointerInt", "a", "b");
    map.Add<&ProbePanel::OnPointerText>("PointerText", "a", "b");
    map.Add<&ProbePanel::OnPointerWide>("PointerWide", "a", "b");
    map.Add<&ProbePanel::OnTextInt>("TextInt", "a", "b");
    map.Add<&ProbePanel::OnTextText>("TextText", "a", "b");
    map.Add<&ProbePanel::OnFloatInt>("FloatInt", "a", "b");
    map.Add<&ProbePanel::OnBool>("Bool", "value");
}

// A derived class whose "Int" handler shadows its base's.
class DerivedProbe : public ProbePanel {
    VGUI2_PANEL_CLASS(DerivedProbe, ProbePanel);

    int derivedInts = 0;
    void OnDerivedInt(int) { ++derivedInts; }
};

void DerivedProbe::AddMessageHandlers(PanelMessageMap& map) { map.Add<&DerivedProbe::OnDerivedInt>("INT", "value"); }

// A panel whose fixed table holds an entry of a kind no handler can take.
class OddTablePanel : public Panel {
public:
    OddTablePanel() : Panel(nullptr, "odd") {}
    bool ran = false;
    void OnOdd(int) { ran = true; }
    vgui2::MessageMapItem* GetMessageTable(int& count) override {
        static vgui2::MessageMapItem table[] = {vgui2::MakeMessageMapItem<&OddTablePanel::OnOdd>("Odd", "x")};
        table[0].firstParamType = vgui2::DATATYPE_VOID;
        count = 1;
        return table;
    }
};

class MessageMapTest : public paneltest::ServicesTest {
protected:
    // Dispatches a message and deletes it; returns whether it matched.
    bool Send(Panel& panel, KeyValues* message) {
        bool handled = panel.OnMessage(message, vgui2::kNoPanel);
        message->deleteThis();
        return handled;
    }
};

TEST_F(MessageMapTest, SingleParametersArriveConverted) {
    ProbePanel probe;
    KeyValues* message = new KeyValues("Text");
    message->SetInt("value", 42);
    EXPECT_TRUE(Send(probe, message));
    EXPECT_EQ(probe.text, "42");

    message = new KeyValues("Int");
    message->SetString("value", "17");
    EXPECT_TRUE(Send(probe, message));
    EXPECT_EQ(probe.first, 17);

    message = new KeyValues("Float");
    message->SetFloat("value", 2.5f);
    EXPECT_TRUE(Send(probe, message));
    EXPECT_FLOAT_EQ(probe.real, 2.5f);

    int anything = 0;
    message = new KeyValues("Pointer");
    message->SetPtr("value", &anything);
    EXPECT_TRUE(Send(probe, message));
    EXPECT_EQ(probe.pointer, &anything);

    message = new KeyValues("Wide");
    message->SetWString("value", u"w\u00e9");
    EXPECT_TRUE(Send(probe, message));
    EXPECT_EQ(probe.wide, u"w\u00e9");
}

TEST_F(MessageMapTest, KeyValuesParameterIsThePointerUnderTheKeyOrTheWholeMessage) {
    ProbePanel probe;
    KeyValues* carried = new KeyValues("carried");
    KeyValues* message = new KeyValues("Tree");
    message->SetPtr("value", carried);
    EXPECT_TRUE(Send(probe, message));
    EXPECT_EQ(probe.tree, carried);
    carried->deleteThis();

    message = new KeyValues("WholeTree");
    EXPECT_TRUE(probe.OnMessage(message, vgui2::kNoPanel));
    EXPECT_EQ(probe.tree, message);
    message->deleteThis();
}

TEST_F(MessageMapTest, Unsigned64BitParameterReadsEveryValueType) {
    ProbePanel probe;
    struct Case {
        const char* description;
        void (*fill)(KeyValues*);
        std::uint64_t expected;
    };
    const Case cases[] = {
        {"decimal text", [](KeyValues* m) { m->SetString("value", "18446744073709551615"); }, UINT64_MAX},
        {"float truncated", [](KeyValues* m) { m->SetFloat("value", 7.9f); }, 7},
        {"wide decimal text", [](KeyValues* m) { m->SetWString("value", u"123456789012"); }, 123456789012ULL},
        {"64-bit unchanged", [](KeyValues* m) { m->SetUint64("value", 1ULL << 40); }, 1ULL << 40},
        {"int sign-extended", [](KeyValues* m) { m->SetInt("value", -1); }, UINT64_MAX},
        {"huge float gives 0", [](KeyValues* m) { m->SetFloat("value", 1e30f); }, 0},
    };
    for (const Case& c : cases) {
        KeyValues* message = new KeyValues("U64");
        c.fill(message);
        probe.u64 = 12345;
        EXPECT_TRUE(Send(probe, message)) << c.description;
        EXPECT_EQ(probe.u64, c.expected) << c.description;
    }
}

TEST_F(MessageMapTest, SupportedParameterPairsRunTheirHandlers) {
    ProbePanel probe;
    int target = 0;

    KeyValues* message = new KeyValues("IntInt", "a", 3, "b", 4);
    EXPECT_TRUE(Send(probe, message));
    EXPECT_EQ(probe.last, "IntInt");
    EXPECT_EQ(probe.first, 3);
    EXPECT_EQ(probe.second, 4);

    message = new KeyValues("IntText", "a", 5);
    message->SetString("b", "five");
    EXPECT_TRUE(Send(probe, message));
    EXPECT_EQ(probe.last, "IntText");
    EXPECT_EQ(probe.text, "five");

    message = new KeyValues("PointerInt");
    message->SetPtr("a", &probe);
    message->SetInt("b", 9);
    EXPECT_TRUE(Send(probe, message));
    EXPECT_EQ(probe.pointer, &probe);
    EXPECT_EQ(probe.first, 9);

    message = new KeyValues("PointerText");
    message->SetPtr("a", &target);
    message->SetString("b", "t");
    EXPECT_TRUE(Send(probe, message));
    EXPECT_EQ(probe.last, "PointerText");
    EXPECT_EQ(probe.pointer, &target);

    message = new KeyValues("PointerWide");
    message->SetPtr("a", &target);
    message->SetWString("b", u"wide");
    EXPECT_TRUE(Send(probe, message));
    EXPECT_EQ(probe.wide, u"wide");

    message = new KeyValues("TextInt");
    message->SetString("a", "name");
    message->SetInt("b", 11);
    EXPECT_TRUE(Send(probe, message));
    EXPECT_EQ(probe.text, "name");
    EXPECT_EQ(probe.second, 11);

    message = new KeyValues("TextText");
    message->SetString("a", "x");
    message->SetString("b", "y");
    EXPECT_TRUE(Send(probe, message));
    EXPECT_EQ(probe.text, "x|y");
    EXPECT_TRUE(DebugLog().empty()) << DebugLog();
}

TEST_F(MessageMapTest, RefusedTypesAreReportedAndCountAsHandled) {
    ProbePanel probe;
    probe.last = "none";
    EXPECT_TRUE(Send(probe, new KeyValues("FloatInt", "a", 1, "b", 2)));
    EXPECT_EQ(probe.last, "none");
    EXPECT_EQ(DebugLog(), "Message 'FloatInt', sent to 'probe', has invalid parameter types\n");

    DebugLog().clear();
    EXPECT_TRUE(Send(probe, new KeyValues("Bool", "value", 1)));
    EXPECT_EQ(probe.last, "none");
    EXPECT_EQ(DebugLog(), "Message 'Bool', sent to 'probe', has an invalid parameter type\n");

    OddTablePanel odd;
    DebugLog().clear();
    EXPECT_TRUE(Send(odd, new KeyValues("Odd", "x", 1)));
    EXPECT_FALSE(odd.ran);
    EXPECT_EQ(DebugLog(), "Message 'Odd', sent to 'odd', has an invalid parameter type\n");
}

TEST_F(MessageMapTest, MissingKeysGiveDefaultsOrTheMessagesOwnValue) {
    ProbePanel probe;
    EXPECT_TRUE(Send(probe, new KeyValues("Command")));
    EXPECT_EQ(probe.last, "Command");
    EXPECT_EQ(probe.text, "");

    KeyValues* command = new KeyValues("Command");
    command->SetString("command", "update");
    EXPECT_TRUE(Send(probe, command));
    EXPECT_EQ(probe.text, "update");

    probe.first = -1;
    EXPECT_TRUE(Send(probe, new KeyValues("Int")));
    EXPECT_EQ(probe.first, 0);

    // A message without subkeys that holds the value itself.
    KeyValues* bare = new KeyValues("Int");
    bare->SetInt(nullptr, 77);
    EXPECT_TRUE(Send(probe, bare));
    EXPECT_EQ(probe.first, 77);
}

TEST_F(MessageMapTest, UnmatchedMessagesAreNotHandled) {
    ProbePanel probe;
    EXPECT_FALSE(Send(probe, new KeyValues("NobodyListens")));
    EXPECT_TRUE(DebugLog().empty());
}

TEST_F(MessageMapTest, FixedTableIsSearchedAfterTheDictionary) {
    ProbePanel probe;
    EXPECT_TRUE(Send(probe, new KeyValues("RequestFocus", "direction", -1)));
    EXPECT_EQ(probe.requestedDirection, -1);
}

TEST_F(MessageMapTest, ClassNamesIgnoreCaseAndNamespacePrefixes) {
    ProbePanel probe;
    PanelMessageMap* map = probe.GetMessageMap();
    EXPECT_EQ(&vgui2::FindOrAddPanelMessageMap("vgui2::ProbePanel"), map);
    EXPECT_EQ(&vgui2::FindOrAddPanelMessageMap("VGUI::probepanel"), map);
    EXPECT_EQ(&vgui2::FindOrAddPanelMessageMap("PROBEPANEL"), map);
    EXPECT_NE(&vgui2::FindOrAddPanelMessageMap("SomeoneElse"), map);
    ASSERT_NE(map->BaseMap(), nullptr);
    EXPECT_EQ(map->BaseMap(), &Panel::ClassMessageMap());
}

TEST_F(MessageMapTest, DerivedEntriesComeFirstAndBaseEntriesStillWork) {
    DerivedProbe derived;
    EXPECT_STREQ(derived.GetClassName(), "DerivedProbe");
    EXPECT_TRUE(Send(derived, new KeyValues("int", "value", 5)));
    EXPECT_EQ(derived.derivedInts, 1);
    EXPECT_EQ(derived.first, -1);

    EXPECT_TRUE(Send(derived, new KeyValues("Text", "value", 8)));
    EXPECT_EQ(derived.text, "8");
    // Handlers registered for Panel reach the derived object too.
    EXPECT_TRUE(Send(derived, new KeyValues("Command")));
    EXPECT_EQ(derived.last, "Command");
}

}  // namespace
