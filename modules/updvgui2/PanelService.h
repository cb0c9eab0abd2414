// The panel service: the per-id half of every panel. It keeps geometry,
// visibility, parent and children in z order, popup and enabling flags, and
// forwards the remaining calls to the panel's client object. Positions and
// clip rectangles in screen space are derived on demand from the tree, so
// they are never stale. Ids come from the GUI loop, which adds and removes
// the records here; an unknown id reads as an empty, invisible panel and
// every write to it is ignored. GUI thread only.
#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "services/IPanel.h"

class CPanelService final : public vgui2::IPanel {
public:
    void Init(vgui2::VPANEL panel, vgui2::IClientPanel* clientPanel) override;

    void SetPos(vgui2::VPANEL panel, int x, int y) override;
    void GetPos(vgui2::VPANEL panel, int& x, int& y) override;
    void SetSize(vgui2::VPANEL panel, int wide, int tall) override;
    void GetSize(vgui2::VPANEL panel, int& wide, int& tall) override;
    void SetMinimumSize(vgui2::VPANEL panel, int wide, int tall) override;
    void GetMinimumSize(vgui2::VPANEL panel, int& wide, int& tall) override;
    void SetZPos(vgui2::VPANEL panel, int z) override;
    int GetZPos(vgui2::VPANEL panel) override;

    void GetAbsPos(vgui2::VPANEL panel, int& x, int& y) override;
    void GetClipRect(vgui2::VPANEL panel, int& x0, int& y0, int& x1, int& y1) override;
    void SetInset(vgui2::VPANEL panel, int left, int top, int right, int bottom) override;
    void GetInset(vgui2::VPANEL panel, int& left, int& top, int& right, int& bottom) override;

    void SetVisible(vgui2::VPANEL panel, bool state) override;
    bool IsVisible(vgui2::VPANEL panel) override;
    void SetParent(vgui2::VPANEL panel, vgui2::VPANEL newParent) override;
    int GetChildCount(vgui2::VPANEL panel) override;
    vgui2::VPANEL GetChild(vgui2::VPANEL panel, int index) override;
    vgui2::VPANEL GetParent(vgui2::VPANEL panel) override;
    void MoveToFront(vgui2::VPANEL panel) override;
    void MoveToBack(vgui2::VPANEL panel) override;
    bool HasParent(vgui2::VPANEL panel, vgui2::VPANEL potentialParent) override;
    bool IsPopup(vgui2::VPANEL panel) override;
    void SetPopup(vgui2::VPANEL panel, bool state) override;
    bool IsFullyVisible(vgui2::VPANEL panel) override;

    void SetEnabled(vgui2::VPANEL panel, bool state) override;
    bool IsEnabled(vgui2::VPANEL panel) override;
    void SetKeyBoardInputEnabled(vgui2::VPANEL panel, bool state) override;
    void SetMouseInputEnabled(vgui2::VPANEL panel, bool state) override;
    bool IsKeyBoardInputEnabled(vgui2::VPANEL panel) override;
    bool IsMouseInputEnabled(vgui2::VPANEL panel) override;
    void SetTopmostPopup(vgui2::VPANEL panel, bool state) override;
    bool IsTopmostPopup(vgui2::VPANEL panel) override;

    void Solve(vgui2::VPANEL panel) override;

    vgui2::HScheme GetScheme(vgui2::VPANEL panel) override;
    bool IsProportional(vgui2::VPANEL panel) override;
    bool IsAutoDeleteSet(vgui2::VPANEL panel) override;
    void DeletePanel(vgui2::VPANEL panel) override;
    const char* GetName(vgui2::VPANEL panel) override;
    const char* GetClassName(vgui2::VPANEL panel) override;
    const char* GetModuleName(vgui2::VPANEL panel) override;
    void Think(vgui2::VPANEL panel) override;
    void PerformApplySchemeSettings(vgui2::VPANEL panel) override;
    void PaintTraverse(vgui2::VPANEL panel, bool forceRepaint, bool allowForce = true) override;
    void Repaint(vgui2::VPANEL panel) override;
    vgui2::VPANEL IsWithinTraverse(vgui2::VPANEL panel, int x, int y, bool traversePopups) override;
    void OnChildAdded(vgui2::VPANEL panel, vgui2::VPANEL child) override;
    void OnSizeChanged(vgui2::VPANEL panel, int newWide, int newTall) override;
    void InternalFocusChanged(vgui2::VPANEL panel, bool lost) override;
    bool RequestInfo(vgui2::VPANEL panel, KeyValues* outputData) override;
    void RequestFocus(vgui2::VPANEL panel, int direction = 0) override;
    bool RequestFocusPrev(vgui2::VPANEL panel, vgui2::VPANEL existingPanel) override;
    bool RequestFocusNext(vgui2::VPANEL panel, vgui2::VPANEL existingPanel) override;
    vgui2::VPANEL GetCurrentKeyFocus(vgui2::VPANEL panel) override;
    int GetTabPosition(vgui2::VPANEL panel) override;

    void SendMessage(vgui2::VPANEL panel, KeyValues* params, vgui2::VPANEL fromPanel) override;

    vgui2::IClientPanel* Client(vgui2::VPANEL panel) override;
    vgui2::Panel* GetPanel(vgui2::VPANEL panel, const char* destinationModule) override;

    // The GUI loop's side: records come and go with the panel ids.
    void AddPanel(vgui2::VPANEL panel);
    void RemovePanel(vgui2::VPANEL panel);
    bool Exists(vgui2::VPANEL panel) const;
    // Panels without a parent, oldest first: the roots of every tree the
    // frame thinks, lays out and hit-tests.
    std::vector<vgui2::VPANEL> RootPanels() const;

private:
    struct Record;
    Record* Find(vgui2::VPANEL panel) const;
    vgui2::IClientPanel* ClientOf(vgui2::VPANEL panel) const;
    // The plain on/off flags of a record; an unknown id reads as off and
    // ignores the write.
    bool FlagOf(vgui2::VPANEL panel, bool Record::*flag) const;
    void SetFlag(vgui2::VPANEL panel, bool Record::*flag, bool state);
    void SortChildren(Record& parent);
    // Moves the panel to the front or the back of its siblings and, for a
    // popup, its window to the front or the back of the windows.
    void Restack(vgui2::VPANEL panel, bool toFront);

    std::unordered_map<vgui2::VPANEL, std::unique_ptr<Record>> m_records;
};

// The module's one instance, with the GUI loop's extra operations.
CPanelService& ThePanelServiceImpl();
