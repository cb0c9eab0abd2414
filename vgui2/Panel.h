// Panel: the base of every control. It is the client half of a panel whose
// other half (geometry, visibility, tree, input flags) lives in the panel
// service under the panel id. It holds the look (colours, border, scheme),
// layout and settings state, message dispatch through the class message
// maps, the messaging every control uses (post, send to parent, action
// signals), the default input routing, the layout-file keys every panel
// understands, painting and hit testing, and deletion. What it leaves out:
// the tooltip window (the Tooltip class), layout files themselves
// (EditablePanel) and native windows (the surface). GUI thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "services/IClientPanel.h"
#include "services/VGuiTypes.h"
#include "vgui2/MessageMap.h"

class KeyValues;

namespace vgui2 {

class BuildGroup;
class IBorder;
class IScheme;
class Tooltip;

// The module name of the executable; panels report it so that the panel
// service hands them back only to their own module. "Updater" by default.
void SetModuleName(const char* name);
const char* GetModuleName();

class Panel : public IClientPanel {
public:
    Panel();
    Panel(Panel* parent, const char* panelName);
    virtual ~Panel();

    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    // The client interface the services call.
    VPANEL GetVPanel() override;
    void Think() override;
    void PerformApplySchemeSettings() override;
    void PaintTraverse(bool repaint, bool allowForce = true) override;
    void Repaint() override;
    VPANEL IsWithinTraverse(int x, int y, bool traversePopups) override;
    void GetInset(int& left, int& top, int& right, int& bottom) override;
    void GetClipRect(int& x0, int& y0, int& x1, int& y1) override;
    void OnChildAdded(VPANEL child) override;
    void OnSizeChanged(int newWide, int newTall) override;
    void InternalFocusChanged(bool lost) override;
    bool RequestInfo(KeyValues* outputData) override;
    void RequestFocus(int direction = 0) override;
    bool RequestFocusPrev(VPANEL existingPanel = kNoPanel) override;
    bool RequestFocusNext(VPANEL existingPanel = kNoPanel) override;
    bool OnMessage(KeyValues* params, VPANEL fromPanel) override;
    VPANEL GetCurrentKeyFocus() override;
    int GetTabPosition() override;
    const char* GetName() override;
    const char* GetClassName() override { return "Panel"; }
    HScheme GetScheme() override;
    bool IsProportional() override;
    bool IsAutoDeleteSet() override;
    void DeletePanel() override;
    void* QueryInterface(int id) override;
    Panel* GetPanel() override;
    const char* GetModuleName() override;

    // The dictionary record of the object's class, and the fixed table
    // searched after the dictionary.
    virtual PanelMessageMap* GetMessageMap() { return &ClassMessageMap(); }
    virtual MessageMapItem* GetMessageTable(int& count);
    static PanelMessageMap& ClassMessageMap();

    virtual void SetVisible(bool state);
    virtual bool IsVisible();
    // The message belongs to the GUI loop from here on.
    virtual void PostMessage(Panel* target, KeyValues* message, float delaySeconds = 0.0f);
    virtual void PostMessage(VPANEL target, KeyValues* message, float delaySeconds = 0.0f);
    virtual void OnMove();
    virtual Panel* GetParent();
    virtual VPANEL GetVParent();
    virtual void SetParent(VPANEL newParent);
    virtual void SetParent(Panel* newParent);
    virtual bool HasParent(VPANEL potentialParent);
    virtual void SetAutoDelete(bool state);
    virtual void AddActionSignalTarget(VPANEL target);
    virtual void AddActionSignalTarget(Panel* target);
    virtual void RemoveActionSignalTarget(Panel* target);
    // Takes the message; every target gets it (or a copy) with "panel" set.
    virtual void PostActionSignal(KeyValues* message);
    virtual bool RequestInfoFromChild(const char* childName, KeyValues* outputData);
    virtual void PostMessageToChild(const char* childName, KeyValues* message);
    virtual bool SetInfo(KeyValues* inputData);
    virtual void SetEnabled(bool state);
    virtual bool IsEnabled();
    virtual bool IsPopup();
    virtual void MoveToFront();
    virtual void SetBgColor(Color color);
    virtual void SetFgColor(Color color);
    virtual Color GetBgColor();
    virtual Color GetFgColor();
    virtual void SetCursor(HCursor cursor);
    virtual HCursor GetCursor();
    virtual bool HasFocus();
    virtual void InvalidateLayout(bool layoutNow = false, bool reloadScheme = false);
    virtual void SetTabPosition(int position);
    virtual void SetBorder(IBorder* border);
    virtual IBorder* GetBorder();
    virtual void SetPaintBorderEnabled(bool state);
    virtual void SetPaintBackgroundEnabled(bool state);
    virtual void SetPaintEnabled(bool state);
    virtual void SetPostChildPaintEnabled(bool state);
    virtual void GetPaintSize(int& wide, int& tall);
    virtual void SetBuildGroup(BuildGroup* buildGroup);
    virtual bool IsBuildModeActive();
    virtual bool IsCursorNone();
    virtual bool IsCursorOver();
    virtual void MarkForDeletion();
    virtual bool IsLayoutInvalid();
    virtual Panel* HasHotkey(wchar key);
    virtual bool IsOpaque();
    virtual void SetScheme(HScheme scheme);
    virtual void SetScheme(const char* tag);
    virtual Color GetSchemeColor(const char* keyName, Color defaultColor, IScheme* scheme);
    virtual Color GetSchemeColor(const char* keyName, IScheme* scheme);
    virtual void ApplySchemeSettings(IScheme* scheme);
    virtual void ApplySettings(KeyValues* inResourceData);
    virtual void GetSettings(KeyValues* outResourceData);
    virtual const char* GetDescription();
    virtual void ApplyUserConfigSettings(KeyValues* userConfig);
    virtual void GetUserConfigSettings(KeyValues* userConfig);
    virtual bool HasUserConfigSettings();

    // Handlers of the messages every panel understands; controls override
    // them. The input ones pass unhandled input on to the parent.
    virtual void OnCommand(const char* command);
    virtual void OnMouseCaptureLost();
    virtual void OnSetFocus();
    virtual void OnKillFocus();
    virtual void OnDelete();
    virtual void OnThink();
    virtual void OnTick();
    virtual void OnCursorMoved(int x, int y);
    virtual void OnCursorEntered();
    virtual void OnCursorExited();
    virtual void OnMousePressed(MouseCode code);
    virtual void OnMouseDoublePressed(MouseCode code);
    virtual void OnMouseReleased(MouseCode code);
    virtual void OnMouseWheeled(int delta);
    virtual void OnKeyCodePressed(KeyCode code);
    virtual void OnKeyCodeTyped(KeyCode code);
    virtual void OnKeyTyped(wchar unichar);
    virtual void OnKeyCodeReleased(KeyCode code);
    virtual void OnKeyFocusTicked();
    virtual void OnMouseFocusTicked();

    virtual void PaintBackground();
    virtual void Paint();
    virtual void PaintBorder();
    virtual void PaintBuildOverlay();
    virtual void PostChildPaint();
    virtual void PerformLayout();

    virtual void SetProportional(bool state);
    virtual void SetMouseInputEnabled(bool state);
    virtual void SetKeyBoardInputEnabled(bool state);
    virtual bool IsMouseInputEnabled();
    virtual bool IsKeyBoardInputEnabled();
    virtual void OnRequestFocus(VPANEL subFocus, VPANEL defaultPanel);

    // Geometry and tree helpers over the panel service.
    void SetName(const char* panelName);
    void SetPos(int x, int y);
    void GetPos(int& x, int& y);
    void SetSize(int wide, int tall);
    void GetSize(int& wide, int& tall);
    void SetBounds(int x, int y, int wide, int tall);
    void GetBounds(int& x, int& y, int& wide, int& tall);
    int GetWide();
    int GetTall();
    void SetWide(int wide);
    void SetTall(int tall);
    void SetMinimumSize(int wide, int tall);
    void SetZPos(int z);
    int GetZPos();
    void LocalToScreen(int& x, int& y);
    void ScreenToLocal(int& x, int& y);
    // Whether the screen point lies inside the panel's clip rectangle.
    bool IsWithin(int x, int y);
    int GetChildCount();
    Panel* GetChild(int index);
    Panel* FindChildByName(const char* childName, bool recurseDown = false);
    // Sends the message synchronously to the parent and deletes it.
    void CallParentFunction(KeyValues* message);
    // Turns the panel into a top-level native window.
    void MakePopup(bool showTaskbarIcon = true, bool disabled = false);
    BuildGroup* GetBuildGroup() { return m_buildGroup; }
    bool IsInLayout() const { return m_inPerformLayout; }
    bool IsMarkedForDeletion() const { return m_markedForDeletion; }
    int GetPinCorner() const { return m_pinCorner; }
    int GetAutoResize() const { return m_autoResize; }
    const std::vector<HPanel>& GetActionSignalTargets() const { return m_actionSignalTargets; }

    // The tooltip text set by the layout key "tooltiptext".
    void SetTooltipText(const char* text);
    const char* GetTooltipText() const;
    // Made on first need.
    Tooltip* GetTooltip();

protected:
    static void AddMessageHandlers(PanelMessageMap& map);

private:
    void Construct();
    void InternalPerformLayout();
    void PaintLayer(bool useInsets, void (Panel::*layer)());
    void ApplyPosition(KeyValues* settings, const char* key, int screenSize, int& coordinate, bool& fromEnd,
                       bool& fromCentre);
    void WritePosition(KeyValues* settings, const char* key, int screenSize, int coordinate, bool fromEnd,
                       bool fromCentre);
    int Scaled(int value);
    int Normalized(int value);
    std::vector<VPANEL> Children();

    // The internal handlers of the raw input messages.
    void InternalCursorMoved(int xpos, int ypos);
    void InternalCursorEntered();
    void InternalCursorExited();
    void InternalMousePressed(int code);
    void InternalMouseDoublePressed(int code);
    void InternalMouseReleased(int code);
    void InternalMouseWheeled(int delta);
    void InternalKeyCodePressed(int code);
    void InternalKeyCodeTyped(int code);
    void InternalKeyTyped(int unichar);
    void InternalKeyCodeReleased(int code);
    void InternalKeyFocusTicked();
    void InternalMouseFocusTicked();
    void InternalRequestFocus(int subFocus, int defaultPanel);
    void InternalInvalidate();
    void InternalMove();
    bool ForwardKeyToParent(const char* messageName, const char* key, int value);

    VPANEL m_vpanel = kNoPanel;
    std::string m_name;
    HCursor m_cursor = dc_arrow;
    bool m_markedForDeletion = false;
    IBorder* m_border = nullptr;
    bool m_needsRepaint = false;
    BuildGroup* m_buildGroup = nullptr;
    Color m_fgColor;
    Color m_bgColor;
    bool m_paintBorderEnabled = true;
    bool m_paintBackgroundEnabled = true;
    bool m_paintEnabled = true;
    bool m_postChildPaintEnabled = false;
    bool m_needsLayout = true;
    bool m_inPerformLayout = false;
    bool m_needsSchemeSettings = true;
    bool m_autoDelete = true;
    int m_tabPosition = 0;
    std::vector<HPanel> m_actionSignalTargets;
    int m_pinCorner = 0;
    int m_autoResize = 0;
    HScheme m_scheme = 0;
    bool m_xFromRight = false;
    bool m_xFromCentre = false;
    bool m_yFromBottom = false;
    bool m_yFromCentre = false;
    bool m_proportional = false;
    std::unique_ptr<Tooltip> m_tooltip;
};

}  // namespace vgui2
