// BuildGroup: the companion of a container panel that knows the panels
// placed in it. It loads layout files (applying each section to the child of
// that name, creating missing children through the container's control
// factory and removing them again at the next load), reads the layout back
// and saves it. In build mode it takes over the panels' pointer and key
// input so that they can be selected, dragged, nudged and resized by hand;
// the editor dialog, when the context panel provides one, is kept informed
// through messages, and rulers show the current control's distances to the
// container's edges. The editor dialog itself is not here. GUI thread only.
#pragma once

#include <string>
#include <vector>

#include "services/VGuiTypes.h"

class KeyValues;

namespace vgui2 {

class Panel;

class BuildGroup {
public:
    // How a failed save is shown; the default writes to the debug output.
    // The container's window installs a modal message box.
    using SaveErrorHandler = void (*)(const char* title, const char* text);
    static void SetSaveErrorHandler(SaveErrorHandler handler);
    static constexpr const char* kSaveErrorTitle = "BuildMode - Error saving file";
    static constexpr const char* kSaveErrorText = "Error: Could not save changes.  File is most likely read only.";

    BuildGroup(Panel* parentPanel, Panel* contextPanel);
    virtual ~BuildGroup();

    BuildGroup(const BuildGroup&) = delete;
    BuildGroup& operator=(const BuildGroup&) = delete;

    // Entering build mode asks the context panel for the editor dialog
    // ("BuildDialog"); leaving it tells that dialog to close.
    virtual void SetEnabled(bool state);
    virtual bool IsEnabled();

    virtual Panel* GetCurrentPanel();
    virtual void SetContextPanel(Panel* contextPanel);
    virtual Panel* GetContextPanel();
    virtual Panel* GetParentPanel();

    // Panels that joined the group, in joining order; null joins as -1.
    virtual void PanelAdded(Panel* panel);
    const std::vector<HPanel>& GetPanelList() const { return m_panelList; }

    // Without a path id the "SKIN" path is tried first, then every search
    // path. True when the file was read; an unreadable file still removes
    // the controls the previous file created.
    virtual bool LoadLayoutFile(const char* fileName, const char* pathId = nullptr);
    // Writes the layout read back from the panels to the last loaded file.
    virtual bool SaveLayoutFile();
    // Each section configures the panel of its name, or creates one.
    virtual void ApplySettings(KeyValues* layout);
    virtual void GetSettings(KeyValues* layout);
    // Deletes every control that a layout file created.
    virtual void RemoveCreatedControls();
    // Loads the stored layout file again through the context panel.
    virtual void ReloadLayout();
    virtual void RegisterControlSettingsFile(const char* fileName, const char* pathId = nullptr);
    int GetRegisteredControlSettingsFileCount() const { return static_cast<int>(m_registeredFiles.size()); }
    const char* GetRegisteredControlSettingsFileByIndex(int index);
    const char* GetResourcePathId() const { return m_hasPathId ? m_resourcePathId.c_str() : nullptr; }
    bool IsCreatedControl(Panel* panel);

    // Rulers: lines from each edge of the current control to the
    // container's edges, with the four distances as numbers. The container
    // draws them after its children.
    virtual void ToggleRulerDisplay();
    virtual void SetRulerNumbersVisible(bool state);
    virtual bool HasRulersOn();
    virtual void DrawRulers();

    virtual const std::vector<HPanel>& GetSelectionList();
    virtual bool IsSelected(Panel* panel);
    virtual void SetSnapGrid(int x, int y);

    // Input of a panel of the group while build mode is on. Pointer
    // positions are in screen coordinates.
    virtual void CursorMoved(int x, int y, Panel* panel);
    virtual void MousePressed(MouseCode code, Panel* panel);
    virtual void MouseDoublePressed(MouseCode code, Panel* panel);
    virtual void MouseReleased(MouseCode code, Panel* panel);
    virtual void KeyCodeTyped(KeyCode code, Panel* panel);
    // The pointer shape over the panel at the current pointer position.
    virtual HCursor GetCursor(Panel* panel);
    // True while a drag moves the panel, so that it redraws as it moves.
    virtual bool WantsRepaint(Panel* panel);

private:
    struct SelectedPanel {
        HPanel handle;
        int offsetX;
        int offsetY;
    };

    Panel* CreateControl(KeyValues* section);
    void PostToDialog(const char* messageName, const char* pointerKey = nullptr, Panel* pointer = nullptr);
    void Select(Panel* panel, int pointerX, int pointerY);
    void ClearSelection();
    void MoveSelection(int pointerX, int pointerY);
    bool IsEditorDialog(Panel* panel);
    // The current control's bounds in the container, false when there is
    // nothing to measure.
    bool RulerTarget(int& x, int& y, int& wide, int& tall);
    void UpdateRulers();

    bool m_enabled = false;
    int m_snapX = 1;
    int m_snapY = 1;
    // Top-left corner, bottom-left corner, left edge, top edge, moving.
    HCursor m_cursors[5] = {dc_sizenwse, dc_sizenesw, dc_sizewe, dc_sizens, dc_sizeall};
    HPanel m_currentPanel = kNoHandle;
    Panel* m_parentPanel;
    Panel* m_contextPanel;
    std::vector<HPanel> m_panelList;
    std::vector<HPanel> m_selectionHandles;
    std::vector<SelectedPanel> m_selection;
    HPanel m_editorDialog = kNoHandle;
    bool m_dragging = false;
    bool m_showRulers = false;
    // Left, right, top and bottom distance labels, made on first use.
    HPanel m_rulers[4] = {kNoHandle, kNoHandle, kNoHandle, kNoHandle};
    // Handles of the controls the layout files made; only these are ever
    // removed, so a panel made in code survives every reload.
    std::vector<HPanel> m_createdControls;
    std::vector<HKeySymbol> m_registeredFiles;
    std::string m_resourceName;
    std::string m_resourcePathId;
    bool m_hasPathId = false;
};

}  // namespace vgui2
