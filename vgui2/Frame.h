// Frame: the toolkit's top-level window. It is an EditablePanel that is its
// own popup (a native window), and draws its own chrome: a title bar with
// the title and title buttons (minimize, maximize, minimize to tray,
// close), a system-menu button, a border, eight resize grips and a caption
// strip that drags the window. It activates, closes (hiding, and deleting
// itself when asked to), becomes application-modal with a one-deep memory
// of the modal panel it displaced, flashes through delayed messages,
// centres itself and keeps its position and size in the user config.
//
// What it leaves out: maximizing (the button is hidden and has no
// handler), minimizing to the tray (the command is accepted and does
// nothing) and the window system's own decorations.
#pragma once

#include <string>

#include "vgui2/EditablePanel.h"

namespace vgui2 {

class CaptionGripPanel;
class FrameButton;
class FrameSystemButton;
class GripPanel;
class Menu;
class TextImage;

class Frame : public EditablePanel {
    VGUI2_PANEL_CLASS(Frame, EditablePanel);

public:
    // The bottom-right grip's square, which children in that corner leave
    // free so the grip does not cover them.
    static constexpr int kResizeGripSize = 18;

    static constexpr int kMinimumWide = 128;
    static constexpr int kMinimumTall = 66;
    static constexpr float kFlashIntervalSeconds = 1.8f;

    Frame(Panel* parent, const char* panelName, bool showTaskbarIcon = true);
    ~Frame() override;

    // Hides the frame (releasing modality first), writes its user config and
    // deletes it when delete-on-close is set.
    virtual void OnClose();
    // A "#" title is a token; the desktop title is the native window's.
    virtual void SetTitle(const wchar* title, bool surfaceTitle);
    virtual void SetTitle(const char* title, bool surfaceTitle);
    // To the front, focused, shown, enabled and restored from minimized.
    virtual void Activate();
    // Moves the frame back inside the desktop's work area when it lies
    // partly or wholly outside; activation does this before showing it.
    void KeepInsideWorkArea();
    virtual void CloseModal();
    virtual void SetDeleteSelfOnClose(bool state);
    virtual void MoveToCenterOfScreen();
    virtual void SetMoveable(bool state);
    virtual bool IsMoveable();
    virtual void SetSizeable(bool state);
    virtual bool IsSizeable();
    virtual void SetMenuButtonVisible(bool state);
    virtual void SetMinimizeButtonVisible(bool state);
    virtual void SetMaximizeButtonVisible(bool state);
    virtual void SetMinimizeToSysTrayButtonVisible(bool state);
    virtual void SetCloseButtonVisible(bool state);
    virtual bool IsMinimized();
    virtual void FlashWindow();
    virtual void FlashWindowStop();
    bool IsFlashing() const { return m_flashing; }
    virtual Menu* GetSysMenu();
    // The old menu is deleted; the frame's system-menu button shows the new
    // one.
    virtual void SetSysMenu(Menu* menu);
    // Hiding the title bar hides the system-menu, minimize, maximize and
    // close buttons; showing it again brings back those the frame wants.
    virtual void SetTitleBarVisible(bool state);
    bool IsTitleBarVisible() const { return m_titleBarVisible; }
    // Centred, activated and made the application-modal panel; the panel
    // that was modal before gets modality back when this frame closes.
    virtual void DoModal();
    virtual void GetDefaultScreenPosition(int& x, int& y, int& wide, int& tall);
    // The area inside the border and below the title bar.
    virtual void GetClientArea(int& x, int& y, int& wide, int& tall);

    void GetTitle(wchar* buffer, int bufferBytes);
    FrameButton* GetCloseButton() { return m_closeButton; }
    FrameButton* GetMinimizeButton() { return m_minimizeButton; }
    FrameButton* GetMaximizeButton() { return m_maximizeButton; }
    FrameButton* GetMinimizeToSysTrayButton() { return m_minimizeToTrayButton; }
    FrameSystemButton* GetSystemButton() { return m_systemButton; }
    GripPanel* GetGrip(int index);
    static constexpr int kGripCount = 8;
    CaptionGripPanel* GetCaptionGrip() { return m_captionGrip; }

    bool LoadLayoutFile(const char* fileName, const char* pathId = nullptr) override;
    void ReadUserConfig(const char* configName, int dialogId = 0) override;
    void WriteUserConfig() override;
    void ApplySettings(KeyValues* inResourceData) override;
    void GetSettings(KeyValues* outResourceData) override;
    const char* GetDescription() override;
    void ApplyUserConfigSettings(KeyValues* userConfig) override;
    void GetUserConfigSettings(KeyValues* userConfig) override;
    bool HasUserConfigSettings() override;
    void OnCommand(const char* command) override;

protected:
    void ApplySchemeSettings(IScheme* scheme) override;
    void PerformLayout() override;
    void PaintBackground() override;
    void OnKeyCodePressed(KeyCode code) override;
    void OnKeyCodeTyped(KeyCode code) override;
    void OnKeyTyped(wchar unichar) override;
    void OnMousePressed(MouseCode code) override;

    virtual void OnMinimize();
    virtual void OnMinimizeToSysTray();
    virtual void OnCloseFrameButtonPressed();
    virtual void OnSetTitle(const char* text);
    virtual void OnFlashWindow();
    virtual void OnDialogVariablesChanged(KeyValues* variables);

    // Makes this frame the application-modal panel, remembering the one it
    // displaces.
    void BecomeAppModal();
    // The first half of closing, shared with boxes that delete themselves
    // in their own order: modality released, hidden, user config written.
    void HideForClose();
    // True when the key focus is this frame or one of its children.
    bool FocusIsInside();

private:
    void ShowTitle();
    void ReleaseAppModal();
    void SetupResizeCursors();
    void UpdateTitleButtonVisibility();
    void UpdateSystemMenuItems();
    double LayoutScale();
    int TitleFontTall();

    TextImage* m_title = nullptr;
    Color m_titleBarBg, m_titleBarDisabledBg;
    Color m_titleBarFg, m_titleBarDisabledFg;
    bool m_sizeable = true;
    bool m_moveable = true;
    bool m_hasFocus = false;
    bool m_flashing = false;
    bool m_titleBarVisible = true;
    bool m_deleteSelfOnClose = false;
    // What the frame's owner asked for each title-bar control; the title
    // bar's own visibility is applied on top.
    bool m_wantMenuButton = true;
    bool m_wantMinimize = true;
    bool m_wantMaximize = false;
    bool m_wantClose = true;
    GripPanel* m_grips[kGripCount] = {};
    CaptionGripPanel* m_captionGrip = nullptr;
    FrameButton* m_minimizeButton = nullptr;
    FrameButton* m_maximizeButton = nullptr;
    FrameButton* m_minimizeToTrayButton = nullptr;
    FrameButton* m_closeButton = nullptr;
    FrameSystemButton* m_systemButton = nullptr;
    HPanel m_systemMenu = kNoHandle;
    HPanel m_previousModal = kNoHandle;
    std::string m_userConfigName;
    bool m_hasUserConfigName = false;
    int m_userConfigId = 0;
};

}  // namespace vgui2
