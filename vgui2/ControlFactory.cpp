#include "vgui2/ControlFactory.h"

#include "platform/Text.h"
#include "vgui2/AnimatingImagePanel.h"
#include "vgui2/Button.h"
#include "vgui2/CBitmapImagePanel.h"
#include "vgui2/CheckButton.h"
#include "vgui2/ComboBox.h"
#include "vgui2/Divider.h"
#include "vgui2/EditablePanel.h"
#include "vgui2/ImagePanel.h"
#include "vgui2/Label.h"
#include "vgui2/Menu.h"
#include "vgui2/MenuItem.h"
#include "vgui2/MessageBox.h"
#include "vgui2/ProgressBar.h"
#include "vgui2/RadioButton.h"
#include "vgui2/RichText.h"
#include "vgui2/ScrollBar.h"
#include "vgui2/TextEntry.h"
#include "vgui2/ToggleButton.h"
#include "vgui2/URLLabel.h"

namespace vgui2 {

namespace {

struct FactoryEntry {
    const char* name;
    Panel* (*create)();
};

Panel* MakeBitmapImagePanel() {
    auto* panel = new CBitmapImagePanel(nullptr, "BitmapImagePanel");
    panel->SetBounds(0, 0, 100, 100);
    return panel;
}

constexpr FactoryEntry kFactory[] = {
    {"Label", []() -> Panel* { return new Label(nullptr, nullptr, "Label"); }},
    {"Button", []() -> Panel* { return new Button(nullptr, nullptr, "Button"); }},
    {"CheckButton", []() -> Panel* { return new CheckButton(nullptr, nullptr, "CheckButton"); }},
    {"ProgressBar", []() -> Panel* { return new ProgressBar(nullptr, nullptr); }},
    {"RadioButton", []() -> Panel* { return new RadioButton(nullptr, nullptr, nullptr); }},
    {"ScrollBar", []() -> Panel* { return new ScrollBar(nullptr, nullptr, false); }},
    {"ToggleButton", []() -> Panel* { return new ToggleButton(nullptr, nullptr, "ToggleButton"); }},
    {"ImagePanel", []() -> Panel* { return new ImagePanel(nullptr, "ResourceImagePanel"); }},
    {"AnimatingImagePanel", []() -> Panel* { return new AnimatingImagePanel(nullptr, nullptr); }},
    {"Panel", []() -> Panel* { return new Panel(nullptr, nullptr); }},
    {"Divider", []() -> Panel* { return new Divider(nullptr, "Divider"); }},
    {"URLLabel", []() -> Panel* { return new URLLabel(nullptr, nullptr, "URLLabel"); }},
    {"EditablePanel", []() -> Panel* { return new EditablePanel(nullptr, nullptr); }},
    {"BitmapImagePanel", &MakeBitmapImagePanel},
    {"ComboBox", []() -> Panel* { return new ComboBox(nullptr, nullptr, 5, true); }},
    {"Menu", []() -> Panel* { return new Menu(nullptr, "Menu"); }},
    {"MenuItem", []() -> Panel* { return new MenuItem(nullptr, nullptr, "MenuItem"); }},
    {"TextEntry", []() -> Panel* { return new TextEntry(nullptr, nullptr); }},
    {"MessageBox", []() -> Panel* { return new MessageBox("MessageBox", "MessageBoxText"); }},
    {"RichText", []() -> Panel* { return new RichText(nullptr, nullptr); }},
};

}  // namespace

Panel* CreateControlByName(const char* controlName) {
    if (!controlName) {
        return nullptr;
    }
    for (const FactoryEntry& entry : kFactory) {
        if (platform::CompareNoCase(entry.name, controlName) == 0) {
            return entry.create();
        }
    }
    return nullptr;
}

}  // namespace vgui2
