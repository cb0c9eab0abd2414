// EditablePanel: the toolkit's container. Its children are positioned,
// configured and, when missing, created by a layout file through its build
// group; it moves the keyboard focus among them by tab position, presses
// its default button on Enter, keeps dialog variables that labels show in
// their texts, pins and stretches children when it is resized, and offers
// a small by-name API over its children. It leaves out the layout editor
// dialog: build mode runs without one.
#pragma once

#include <string>

#include "vgui2/BuildGroup.h"
#include "vgui2/FocusNavGroup.h"
#include "vgui2/Panel.h"

namespace vgui2 {

class EditablePanel : public Panel {
    VGUI2_PANEL_CLASS(EditablePanel, Panel);

public:
    EditablePanel(Panel* parent, const char* panelName);
    ~EditablePanel() override;

    // Loads the file through the build group, then re-sends the dialog
    // variables. True when the file was read.
    virtual bool LoadLayoutFile(const char* fileName, const char* pathId = nullptr);
    virtual void ReadUserConfig(const char* configName, int dialogId = 0);
    virtual void WriteUserConfig();
    virtual void LoadLayoutAndUserConfig(const char* fileName, int dialogId = 0);
    virtual void EnterBuildMode();
    BuildGroup* GetContainedBuildGroup() { return &m_buildGroup; }
    // A new unparented control of the named class, or null.
    virtual Panel* CreateControl(const char* controlName);

    void SetChildText(const char* childName, const char* text);
    void SetChildState(const char* childName, int state);
    int GetChildState(const char* childName, int defaultState = 0);
    // At most size - 1 characters, always terminated.
    void GetChildText(const char* childName, char* buffer, int size, const char* defaultText = "");
    // The same into one shared buffer, valid until the next call.
    const char* GetChildText(const char* childName, const char* defaultText = "");
    void EnableChild(const char* childName, bool enabled);
    void ShowChild(const char* childName, bool visible);

    void SetVariable(const char* name, float value);
    void SetVariable(const char* name, int value);
    void SetVariable(const char* name, const wchar* value);
    void SetVariable(const char* name, const char* value);
    KeyValues* GetDialogVariables();

    void RegisterLayoutFile(const char* fileName, const char* pathId = nullptr);
    FocusNavGroup& GetFocusNavGroup() { return m_navGroup; }

    // Panel behaviour a container changes.
    void OnChildAdded(VPANEL child) override;
    void ApplySettings(KeyValues* inResourceData) override;
    void OnKeyCodeTyped(KeyCode code) override;
    void OnSizeChanged(int newWide, int newTall) override;
    void OnRequestFocus(VPANEL subFocus, VPANEL defaultPanel) override;
    void OnSetFocus() override;
    void RequestFocus(int direction = 0) override;
    bool RequestFocusPrev(VPANEL existingPanel = kNoPanel) override;
    bool RequestFocusNext(VPANEL existingPanel = kNoPanel) override;
    VPANEL GetCurrentKeyFocus() override;
    Panel* HasHotkey(wchar key) override;
    bool RequestInfo(KeyValues* outputData) override;

protected:
    virtual void OnDefaultButtonSet(Panel* button);
    virtual void OnCurrentDefaultButtonSet(Panel* button);
    virtual void OnFindDefaultButton();
    // The build group's rulers lie over the children.
    void PostChildPaint() override;

private:
    void SendDialogVariables();
    void PinChildren(int newWide, int newTall);
    void ForEachUserConfigChild(KeyValues* data, bool apply);

    BuildGroup m_buildGroup;
    FocusNavGroup m_navGroup;
    int m_baseWide = 0;
    int m_baseTall = 0;
    KeyValues* m_dialogVariables = nullptr;
    std::string m_configName;
    bool m_hasConfigName = false;
    int m_configId = 0;
};

}  // namespace vgui2
