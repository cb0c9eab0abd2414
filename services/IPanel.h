// The panel service "VGUI_Panel007": per-id geometry, visibility, z order,
// parent and children, popups, enabling and input flags, and the forwarding
// of calls to a panel's client object.
#pragma once

#include "services/VGuiTypes.h"

class KeyValues;

namespace vgui2 {

class IClientPanel;
class Panel;

inline constexpr const char* VGUI_PANEL_INTERFACE_VERSION = "VGUI_Panel007";

class IPanel {
public:
    virtual void Init(VPANEL panel, IClientPanel* clientPanel) = 0;

    // Geometry, relative to the parent.
    virtual void SetPos(VPANEL panel, int x, int y) = 0;
    virtual void GetPos(VPANEL panel, int& x, int& y) = 0;
    virtual void SetSize(VPANEL panel, int wide, int tall) = 0;
    virtual void GetSize(VPANEL panel, int& wide, int& tall) = 0;
    virtual void SetMinimumSize(VPANEL panel, int wide, int tall) = 0;
    virtual void GetMinimumSize(VPANEL panel, int& wide, int& tall) = 0;
    virtual void SetZPos(VPANEL panel, int z) = 0;
    virtual int GetZPos(VPANEL panel) = 0;

    // Screen-space geometry, valid after the frame's solve step.
    virtual void GetAbsPos(VPANEL panel, int& x, int& y) = 0;
    virtual void GetClipRect(VPANEL panel, int& x0, int& y0, int& x1, int& y1) = 0;
    virtual void SetInset(VPANEL panel, int left, int top, int right, int bottom) = 0;
    virtual void GetInset(VPANEL panel, int& left, int& top, int& right, int& bottom) = 0;

    virtual void SetVisible(VPANEL panel, bool state) = 0;
    virtual bool IsVisible(VPANEL panel) = 0;
    virtual void SetParent(VPANEL panel, VPANEL newParent) = 0;
    virtual int GetChildCount(VPANEL panel) = 0;
    virtual VPANEL GetChild(VPANEL panel, int index) = 0;
    virtual VPANEL GetParent(VPANEL panel) = 0;
    virtual void MoveToFront(VPANEL panel) = 0;
    virtual void MoveToBack(VPANEL panel) = 0;
    virtual bool HasParent(VPANEL panel, VPANEL potentialParent) = 0;
    virtual bool IsPopup(VPANEL panel) = 0;
    virtual void SetPopup(VPANEL panel, bool state) = 0;
    virtual bool IsFullyVisible(VPANEL panel) = 0;

    virtual void SetEnabled(VPANEL panel, bool state) = 0;
    virtual bool IsEnabled(VPANEL panel) = 0;
    virtual void SetKeyBoardInputEnabled(VPANEL panel, bool state) = 0;
    virtual void SetMouseInputEnabled(VPANEL panel, bool state) = 0;
    virtual bool IsKeyBoardInputEnabled(VPANEL panel) = 0;
    virtual bool IsMouseInputEnabled(VPANEL panel) = 0;
    virtual void SetTopmostPopup(VPANEL panel, bool state) = 0;
    virtual bool IsTopmostPopup(VPANEL panel) = 0;

    // Computes absolute positions and clip rectangles of the panel's tree.
    virtual void Solve(VPANEL panel) = 0;

    // Forwarded to the client object.
    virtual HScheme GetScheme(VPANEL panel) = 0;
    virtual bool IsProportional(VPANEL panel) = 0;
    virtual bool IsAutoDeleteSet(VPANEL panel) = 0;
    virtual void DeletePanel(VPANEL panel) = 0;
    virtual const char* GetName(VPANEL panel) = 0;
    virtual const char* GetClassName(VPANEL panel) = 0;
    virtual const char* GetModuleName(VPANEL panel) = 0;
    virtual void Think(VPANEL panel) = 0;
    virtual void PerformApplySchemeSettings(VPANEL panel) = 0;
    virtual void PaintTraverse(VPANEL panel, bool forceRepaint, bool allowForce = true) = 0;
    virtual void Repaint(VPANEL panel) = 0;
    virtual VPANEL IsWithinTraverse(VPANEL panel, int x, int y, bool traversePopups) = 0;
    virtual void OnChildAdded(VPANEL panel, VPANEL child) = 0;
    virtual void OnSizeChanged(VPANEL panel, int newWide, int newTall) = 0;
    virtual void InternalFocusChanged(VPANEL panel, bool lost) = 0;
    virtual bool RequestInfo(VPANEL panel, KeyValues* outputData) = 0;
    virtual void RequestFocus(VPANEL panel, int direction = 0) = 0;
    virtual bool RequestFocusPrev(VPANEL panel, VPANEL existingPanel) = 0;
    virtual bool RequestFocusNext(VPANEL panel, VPANEL existingPanel) = 0;
    virtual VPANEL GetCurrentKeyFocus(VPANEL panel) = 0;
    virtual int GetTabPosition(VPANEL panel) = 0;

    // Synchronous delivery; the sender keeps and deletes the message.
    virtual void SendMessage(VPANEL panel, KeyValues* params, VPANEL fromPanel) = 0;

    virtual IClientPanel* Client(VPANEL panel) = 0;
    // The toolkit panel behind an id, only when it was created by the module
    // of that name; null for other modules' panels and for unknown ids.
    virtual Panel* GetPanel(VPANEL panel, const char* destinationModule) = 0;

protected:
    ~IPanel() = default;
};

}  // namespace vgui2
