#include "vgui2/BuildGroup.h"

#include <algorithm>
#include <cstdio>

#include "platform/Text.h"
#include "services/IFileSystem.h"
#include "services/IInput.h"
#include "services/IKeyValuesSystem.h"
#include "services/IPanel.h"
#include "services/ISurface.h"
#include "services/IVGui.h"
#include "services/ServicePointers.h"
#include "vgui2/EditablePanel.h"
#include "vgui2/KeyValues.h"
#include "vgui2/Label.h"
#include "vgui2/Panel.h"
#include "vgui2/PanelHandles.h"

namespace vgui2 {

namespace {

Panel* Resolve(HPanel handle) { return PanelFromHandle(handle); }

void DebugSaveError(const char* title, const char* text) { ivgui()->DPrintf("%s: %s\n", title, text); }

BuildGroup::SaveErrorHandler g_saveErrorHandler = &DebugSaveError;

bool ShiftDown() { return input()->IsKeyDown(KEY_LSHIFT) || input()->IsKeyDown(KEY_RSHIFT); }

bool ControlDown() { return input()->IsKeyDown(KEY_LCONTROL) || input()->IsKeyDown(KEY_RCONTROL); }

}  // namespace

void BuildGroup::SetSaveErrorHandler(SaveErrorHandler handler) {
    g_saveErrorHandler = handler ? handler : &DebugSaveError;
}

BuildGroup::BuildGroup(Panel* parentPanel, Panel* contextPanel)
    : m_parentPanel(parentPanel), m_contextPanel(contextPanel) {}

BuildGroup::~BuildGroup() {
    for (HPanel ruler : m_rulers) {
        if (Panel* label = Resolve(ruler)) {
            label->DeletePanel();
        }
    }
}

void BuildGroup::SetEnabled(bool state) {
    if (m_enabled == state) {
        return;
    }
    m_enabled = state;
    if (state && m_contextPanel) {
        KeyValues* request = new KeyValues("BuildDialog");
        request->SetPtr("BuildGroupPtr", this);
        if (m_contextPanel->RequestInfo(request)) {
            m_editorDialog = HandleOf(static_cast<Panel*>(request->GetPtr("PanelPtr")));
        }
        request->deleteThis();
    } else if (!state) {
        KeyValues* close = new KeyValues("Command");
        close->SetString("command", "Close");
        ivgui()->PostMessage(ivgui()->HandleToPanel(m_editorDialog), close, kNoPanel);
        m_editorDialog = kNoHandle;
        ClearSelection();
        m_dragging = false;
        if (m_parentPanel) {
            m_parentPanel->RequestFocus();
        }
    }
}

bool BuildGroup::IsEnabled() { return m_enabled; }

Panel* BuildGroup::GetCurrentPanel() { return Resolve(m_currentPanel); }

void BuildGroup::SetContextPanel(Panel* contextPanel) { m_contextPanel = contextPanel; }

Panel* BuildGroup::GetContextPanel() { return m_contextPanel; }

Panel* BuildGroup::GetParentPanel() { return m_parentPanel; }

void BuildGroup::PanelAdded(Panel* panel) { m_panelList.push_back(HandleOf(panel)); }

// Layout files -------------------------------------------------------------

void BuildGroup::RegisterControlSettingsFile(const char* fileName, const char*) {
    if (!fileName || !KeyValuesSystem()) {
        return;
    }
    HKeySymbol symbol = KeyValuesSystem()->GetSymbolForString(fileName);
    if (std::find(m_registeredFiles.begin(), m_registeredFiles.end(), symbol) == m_registeredFiles.end()) {
        m_registeredFiles.push_back(symbol);
    }
}

const char* BuildGroup::GetRegisteredControlSettingsFileByIndex(int index) {
    if (index < 0 || index >= GetRegisteredControlSettingsFileCount()) {
        return nullptr;
    }
    return KeyValuesSystem()->GetStringForSymbol(m_registeredFiles[static_cast<std::size_t>(index)]);
}

bool BuildGroup::LoadLayoutFile(const char* fileName, const char* pathId) {
    if (!fileName) {
        return false;
    }
    RegisterControlSettingsFile(fileName, pathId);
    KeyValues* layout = new KeyValues(fileName);
    bool loaded = false;
    if (pathId) {
        loaded = layout->LoadFromFile(filesystem(), fileName, pathId);
    } else {
        loaded = layout->LoadFromFile(filesystem(), fileName, "SKIN") || layout->LoadFromFile(filesystem(), fileName);
    }
    // Copied before anything else may change: the name may be our own.
    m_resourceName = std::string(fileName);
    m_hasPathId = pathId != nullptr;
    m_resourcePathId = pathId ? pathId : "";

    RemoveCreatedControls();
    // A file that could not be read left the tree empty, which changes
    // nothing.
    ApplySettings(layout);
    if (m_parentPanel) {
        m_parentPanel->InvalidateLayout();
        m_parentPanel->Repaint();
    }
    layout->deleteThis();
    return loaded;
}

bool BuildGroup::IsCreatedControl(Panel* panel) {
    HPanel handle = HandleOf(panel);
    return handle != kNoHandle &&
           std::find(m_createdControls.begin(), m_createdControls.end(), handle) != m_createdControls.end();
}

void BuildGroup::RemoveCreatedControls() {
    std::vector<HPanel> created;
    created.swap(m_createdControls);
    for (HPanel handle : created) {
        std::erase(m_panelList, handle);
        std::erase_if(m_selection, [handle](const SelectedPanel& s) { return s.handle == handle; });
        if (Panel* panel = Resolve(handle)) {
            panel->DeletePanel();
        }
    }
    std::erase_if(m_panelList, [](HPanel handle) { return !Resolve(handle); });
    m_currentPanel = HandleOf(m_parentPanel);
    if (m_parentPanel) {
        m_parentPanel->InvalidateLayout();
        m_parentPanel->Repaint();
    }
}

Panel* BuildGroup::CreateControl(KeyValues* section) {
    if (!m_contextPanel || !m_parentPanel) {
        return nullptr;
    }
    KeyValues* request = new KeyValues("ControlFactory");
    request->SetString("ControlName", section->GetString("ControlName", ""));
    Panel* panel = m_contextPanel->RequestInfo(request) ? static_cast<Panel*>(request->GetPtr("PanelPtr")) : nullptr;
    request->deleteThis();
    if (!panel) {
        return nullptr;
    }
    panel->SetParent(m_parentPanel);
    if (panel->GetBuildGroup() != this) {
        panel->SetBuildGroup(this);
    }
    panel->SetPos(0, 0);
    panel->SetName(section->GetName());
    panel->ApplySettings(section);
    panel->AddActionSignalTarget(m_parentPanel);
    panel->SetAutoDelete(true);
    m_createdControls.push_back(HandleOf(panel));
    return panel;
}

void BuildGroup::ApplySettings(KeyValues* layout) {
    if (!layout) {
        return;
    }
    for (KeyValues* section = layout->GetFirstSubKey(); section; section = section->GetNextKey()) {
        if (section->GetDataType() != KeyValues::TYPE_NONE) {
            continue;
        }
        bool applied = false;
        // Applying settings may add panels to the list, so it is walked by
        // index and re-read on every step.
        for (std::size_t i = 0; i < m_panelList.size();) {
            Panel* panel = Resolve(m_panelList[i]);
            if (!panel) {
                m_panelList.erase(m_panelList.begin() + static_cast<std::ptrdiff_t>(i));
                continue;
            }
            if (platform::CompareNoCase(panel->GetName(), section->GetName()) == 0) {
                panel->ApplySettings(section);
                applied = true;
                break;
            }
            ++i;
        }
        if (!applied && *section->GetName()) {
            CreateControl(section);
        }
    }
}

void BuildGroup::GetSettings(KeyValues* layout) {
    for (HPanel handle : m_panelList) {
        Panel* panel = Resolve(handle);
        if (!panel || !*panel->GetName() || platform::CompareNoCase(panel->GetName(), "BuildDialog") == 0) {
            continue;
        }
        panel->GetSettings(layout->FindKey(panel->GetName(), true));
    }
}

bool BuildGroup::SaveLayoutFile() {
    if (m_resourceName.empty()) {
        return false;
    }
    KeyValues* layout = new KeyValues(m_resourceName.c_str());
    GetSettings(layout);
    bool saved = layout->SaveToFile(filesystem(), m_resourceName.c_str(), GetResourcePathId());
    layout->deleteThis();
    if (!saved) {
        g_saveErrorHandler(kSaveErrorTitle, kSaveErrorText);
    }
    return saved;
}

void BuildGroup::ReloadLayout() {
    if (Panel* dialog = Resolve(m_editorDialog)) {
        dialog->DeletePanel();
    }
    m_editorDialog = kNoHandle;
    RemoveCreatedControls();
    if (m_resourceName.empty()) {
        return;
    }
    std::string name = m_resourceName;
    std::string pathId = m_resourcePathId;
    const char* path = m_hasPathId ? pathId.c_str() : nullptr;
    // The container's own load also re-sends its dialog variables.
    if (auto* container = dynamic_cast<EditablePanel*>(m_contextPanel)) {
        container->LoadLayoutFile(name.c_str(), path);
        return;
    }
    LoadLayoutFile(name.c_str(), path);
}

// Rulers -----------------------------------------------------------------------

void BuildGroup::ToggleRulerDisplay() {
    if (!m_parentPanel) {
        return;
    }
    if (m_rulers[0] == kNoHandle) {
        // Unnamed, so they are never selected and never saved.
        for (HPanel& ruler : m_rulers) {
            ruler = HandleOf(new Label(m_parentPanel, nullptr, ""));
        }
    }
    m_showRulers = !m_showRulers;
    m_parentPanel->SetPostChildPaintEnabled(true);
    UpdateRulers();
    m_parentPanel->Repaint();
}

bool BuildGroup::HasRulersOn() { return m_showRulers; }

void BuildGroup::SetRulerNumbersVisible(bool state) {
    for (HPanel ruler : m_rulers) {
        if (Panel* label = Resolve(ruler)) {
            label->SetVisible(state);
        }
    }
}

bool BuildGroup::RulerTarget(int& x, int& y, int& wide, int& tall) {
    Panel* current = GetCurrentPanel();
    if (!m_showRulers || !current || !m_parentPanel || current == m_parentPanel) {
        return false;
    }
    int currentX = 0, currentY = 0, parentX = 0, parentY = 0;
    ipanel()->GetAbsPos(current->GetVPanel(), currentX, currentY);
    ipanel()->GetAbsPos(m_parentPanel->GetVPanel(), parentX, parentY);
    x = currentX - parentX;
    y = currentY - parentY;
    current->GetSize(wide, tall);
    return true;
}

void BuildGroup::UpdateRulers() {
    int x = 0, y = 0, wide = 0, tall = 0;
    bool shown = RulerTarget(x, y, wide, tall);
    SetRulerNumbersVisible(shown);
    if (!shown) {
        return;
    }
    int parentWide = m_parentPanel->GetWide();
    int parentTall = m_parentPanel->GetTall();
    const int distances[4] = {x, parentWide - (x + wide), y, parentTall - (y + tall)};
    // Each number sits beside the middle of its line.
    const int positions[4][2] = {{x / 2, y + tall / 2},
                                 {x + wide + distances[1] / 2, y + tall / 2},
                                 {x + wide / 2 + 2, y / 2},
                                 {x + wide / 2 + 2, y + tall + distances[3] / 2}};
    for (int i = 0; i < 4; ++i) {
        auto* label = static_cast<Label*>(Resolve(m_rulers[i]));
        if (!label) {
            continue;
        }
        char text[16];
        std::snprintf(text, sizeof(text), "%d", distances[i]);
        label->SetText(text);
        label->SizeToContents();
        label->SetPos(positions[i][0], positions[i][1]);
    }
}

void BuildGroup::DrawRulers() {
    int x = 0, y = 0, wide = 0, tall = 0;
    if (!RulerTarget(x, y, wide, tall)) {
        return;
    }
    int parentWide = m_parentPanel->GetWide();
    int parentTall = m_parentPanel->GetTall();
    int middleX = x + wide / 2;
    int middleY = y + tall / 2;
    surface()->DrawSetColor(Color(255, 255, 255, 255));
    surface()->DrawFilledRect(0, middleY, x, middleY + 1);
    surface()->DrawFilledRect(x + wide, middleY, parentWide, middleY + 1);
    surface()->DrawFilledRect(middleX, 0, middleX + 1, y);
    surface()->DrawFilledRect(middleX, y + tall, middleX + 1, parentTall);
}

const std::vector<HPanel>& BuildGroup::GetSelectionList() {
    m_selectionHandles.clear();
    for (const SelectedPanel& selected : m_selection) {
        if (Resolve(selected.handle)) {
            m_selectionHandles.push_back(selected.handle);
        }
    }
    return m_selectionHandles;
}

bool BuildGroup::IsSelected(Panel* panel) {
    HPanel handle = HandleOf(panel);
    return handle != kNoHandle && std::any_of(m_selection.begin(), m_selection.end(),
                                              [handle](const SelectedPanel& s) { return s.handle == handle; });
}

void BuildGroup::SetSnapGrid(int x, int y) {
    m_snapX = std::max(x, 1);
    m_snapY = std::max(y, 1);
}

void BuildGroup::PostToDialog(const char* messageName, const char* pointerKey, Panel* pointer) {
    VPANEL dialog = ivgui()->HandleToPanel(m_editorDialog);
    if (!dialog) {
        return;
    }
    KeyValues* message = new KeyValues(messageName);
    if (pointerKey) {
        message->SetPtr(pointerKey, pointer);
    }
    ivgui()->PostMessage(dialog, message, m_parentPanel ? m_parentPanel->GetVPanel() : kNoPanel);
}

bool BuildGroup::IsEditorDialog(Panel* panel) {
    return m_editorDialog != kNoHandle && HandleOf(panel) == m_editorDialog;
}

void BuildGroup::ClearSelection() { m_selection.clear(); }

void BuildGroup::Select(Panel* panel, int pointerX, int pointerY) {
    if (!IsSelected(panel)) {
        m_selection.push_back(SelectedPanel{HandleOf(panel), 0, 0});
    }
    // Every selected panel keeps its distance to the pointer while dragged.
    for (SelectedPanel& selected : m_selection) {
        if (Panel* member = Resolve(selected.handle)) {
            int x = 0;
            int y = 0;
            ipanel()->GetAbsPos(member->GetVPanel(), x, y);
            selected.offsetX = pointerX - x;
            selected.offsetY = pointerY - y;
        }
    }
}

void BuildGroup::MoveSelection(int pointerX, int pointerY) {
    Panel* moved = nullptr;
    for (const SelectedPanel& selected : m_selection) {
        Panel* member = Resolve(selected.handle);
        if (!member) {
            continue;
        }
        int parentX = 0;
        int parentY = 0;
        if (VPANEL parent = member->GetVParent()) {
            ipanel()->GetAbsPos(parent, parentX, parentY);
        }
        int x = pointerX - selected.offsetX - parentX;
        int y = pointerY - selected.offsetY - parentY;
        member->SetPos(x - x % m_snapX, y - y % m_snapY);
        moved = member;
    }
    if (!moved) {
        return;
    }
    UpdateRulers();
    PostToDialog("UpdateControlData", "panel", GetCurrentPanel());
    PostToDialog("EnableSaveButton");
    if (m_parentPanel) {
        m_parentPanel->Repaint();
    }
    PostToDialog("Repaint");
}

void BuildGroup::CursorMoved(int x, int y, Panel*) {
    if (m_dragging) {
        MoveSelection(x, y);
    }
}

void BuildGroup::MousePressed(MouseCode code, Panel* panel) {
    if (!panel) {
        return;
    }
    if (IsEditorDialog(panel)) {
        PostToDialog("HideNewControlMenu");
        return;
    }
    if (code == MOUSE_RIGHT) {
        PostToDialog("ShowNewControlMenu", "panel", panel);
        return;
    }
    if (code != MOUSE_LEFT || !*panel->GetName()) {
        return;
    }
    if (!ShiftDown()) {
        ClearSelection();
    }
    PostToDialog("HideNewControlMenu");
    int x = 0;
    int y = 0;
    input()->GetCursorPos(x, y);
    input()->SetMouseCapture(panel->GetVPanel());
    m_dragging = true;
    Select(panel, x, y);
    if (GetCurrentPanel() != panel) {
        m_currentPanel = HandleOf(panel);
        PostToDialog("SetActiveControl", "PanelPtr", panel);
        UpdateRulers();
    }
    PostToDialog("StoreUndo");
}

void BuildGroup::MouseDoublePressed(MouseCode code, Panel* panel) { MousePressed(code, panel); }

void BuildGroup::MouseReleased(MouseCode code, Panel*) {
    if (code == MOUSE_LEFT && m_dragging) {
        m_dragging = false;
        input()->SetMouseCapture(kNoPanel);
    }
}

void BuildGroup::KeyCodeTyped(KeyCode code, Panel*) {
    if (code == KEY_DELETE) {
        PostToDialog("DeletePanel");
        return;
    }
    if (ControlDown()) {
        switch (code) {
            case KEY_C: PostToDialog("Copy"); return;
            case KEY_V: PostToDialog("Paste"); return;
            case KEY_Z: PostToDialog("Undo"); return;
            default: return;
        }
    }
    Panel* current = GetCurrentPanel();
    if (!current) {
        return;
    }
    int dx = 0;
    int dy = 0;
    switch (code) {
        case KEY_UP: dy = -m_snapY; break;
        case KEY_DOWN: dy = m_snapY; break;
        case KEY_LEFT: dx = -m_snapX; break;
        case KEY_RIGHT: dx = m_snapX; break;
        default: return;
    }
    int x = 0, y = 0, wide = 0, tall = 0;
    current->GetBounds(x, y, wide, tall);
    if (ShiftDown()) {
        current->SetSize(wide + dx, tall + dy);
    } else {
        current->SetPos(x + dx, y + dy);
    }
    UpdateRulers();
    PostToDialog("PanelMoved");
}

HCursor BuildGroup::GetCursor(Panel* panel) {
    if (!panel) {
        return m_cursors[4];
    }
    int x = 0;
    int y = 0;
    input()->GetCursorPos(x, y);
    panel->ScreenToLocal(x, y);
    int wide = 0;
    int tall = 0;
    panel->GetSize(wide, tall);
    if (x <= 1) {
        if (y <= 1) {
            return m_cursors[0];
        }
        return y >= tall - 2 ? m_cursors[1] : m_cursors[2];
    }
    return m_cursors[4];
}

bool BuildGroup::WantsRepaint(Panel* panel) { return m_dragging && IsSelected(panel); }

}  // namespace vgui2
