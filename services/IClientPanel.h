// The interface through which the panel service calls back into a panel's
// client object (the toolkit's Panel). The services never see toolkit
// classes; everything they need from a panel goes through these operations,
// always on the GUI thread.
#pragma once

#include "services/VGuiTypes.h"

class KeyValues;

namespace vgui2 {

class Panel;

class IClientPanel {
public:
    virtual VPANEL GetVPanel() = 0;

    virtual void Think() = 0;
    virtual void PerformApplySchemeSettings() = 0;
    virtual void PaintTraverse(bool repaint, bool allowForce) = 0;
    virtual void Repaint() = 0;
    // Screen coordinates; the id of the panel under the point, or kNoPanel.
    virtual VPANEL IsWithinTraverse(int x, int y, bool traversePopups) = 0;
    virtual void GetInset(int& left, int& top, int& right, int& bottom) = 0;
    virtual void GetClipRect(int& x0, int& y0, int& x1, int& y1) = 0;
    virtual void OnChildAdded(VPANEL child) = 0;
    virtual void OnSizeChanged(int newWide, int newTall) = 0;
    virtual void InternalFocusChanged(bool lost) = 0;
    virtual bool RequestInfo(KeyValues* outputData) = 0;
    virtual void RequestFocus(int direction) = 0;
    virtual bool RequestFocusPrev(VPANEL existingPanel) = 0;
    virtual bool RequestFocusNext(VPANEL existingPanel) = 0;
    // Returns whether a handler matched; the caller keeps the message.
    virtual bool OnMessage(KeyValues* params, VPANEL fromPanel) = 0;
    virtual VPANEL GetCurrentKeyFocus() = 0;
    virtual int GetTabPosition() = 0;
    virtual const char* GetName() = 0;
    virtual const char* GetClassName() = 0;
    virtual HScheme GetScheme() = 0;
    virtual bool IsProportional() = 0;
    virtual bool IsAutoDeleteSet() = 0;
    virtual void DeletePanel() = 0;
    virtual void* QueryInterface(int id) = 0;
    virtual Panel* GetPanel() = 0;
    virtual const char* GetModuleName() = 0;

protected:
    ~IClientPanel() = default;
};

}  // namespace vgui2
