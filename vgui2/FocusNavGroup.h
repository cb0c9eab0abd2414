// FocusNavGroup: keyboard focus movement among the direct children of one
// container by tab position, and the container's default button (the one
// Enter presses) and current default button (the one that shows it will be
// pressed). Every panel is kept as a handle, so a deleted control is never
// reached. It leaves out hotkeys of grandchildren (containers answer for
// their own children) and any focus order other than tab positions.
#pragma once

#include "services/VGuiTypes.h"

namespace vgui2 {

class Panel;

class FocusNavGroup {
public:
    explicit FocusNavGroup(Panel* mainPanel);

    // The first child whose tab position is 1.
    Panel* GetDefaultPanel();
    void SetDefaultButton(Panel* panel);
    VPANEL GetDefaultButton();
    VPANEL GetCurrentDefaultButton();
    // The first child that reports the hotkey and is visible and enabled.
    Panel* FindPanelByHotkey(wchar key);
    // Move the focus from the given child (none: from the start) to the
    // previous or next tab position; false when nothing took the focus.
    bool RequestFocusPrev(VPANEL panel = kNoPanel);
    bool RequestFocusNext(VPANEL panel = kNoPanel);
    Panel* GetCurrentFocus();
    void SetCurrentFocus(VPANEL focus, VPANEL defaultPanel);
    // A top-level group never hands the focus on to its main panel's parent.
    void SetFocusTopLevel(bool state);
    void SetCurrentDefaultButton(VPANEL panel, bool notify = true);

private:
    // How many hand-offs to a parent are nested right now, over all groups;
    // a cycle of containers passing the focus to one another (in either
    // direction) stops at the limit instead of overflowing the stack.
    static int s_handOffDepth;
    static constexpr int kMaxHandOffDepth = 15;

    enum class Direction { Previous, Next };

    bool MoveFocus(VPANEL from, Direction direction);
    Panel* FindCandidate(int start, Direction direction);
    bool HandOffToParent(Direction direction);
    void ChooseCurrentDefaultButton(Panel* focus, bool askParent);
    static bool CanBeDefaultButton(Panel* panel);

    Panel* m_mainPanel;
    HPanel m_defaultButton = kNoHandle;
    HPanel m_currentDefaultButton = kNoHandle;
    HPanel m_currentFocus = kNoHandle;
    bool m_topLevel = false;
};

}  // namespace vgui2
