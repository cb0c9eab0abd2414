#include "vgui2/FocusNavGroup.h"

#include "services/ISurface.h"
#include "vgui2/KeyValues.h"
#include "vgui2/PanelHandles.h"

namespace vgui2 {

int FocusNavGroup::s_handOffDepth = 0;

namespace {

bool IsCandidate(Panel* child) {
    return child && child->IsVisible() && child->IsEnabled() && child->GetTabPosition() > 0;
}

// Positions at or below this have no previous panel to search for.
constexpr int kLowestPreviousStart = 2;
constexpr int kRestartPrevious = 9999999;

}  // namespace

FocusNavGroup::FocusNavGroup(Panel* mainPanel) : m_mainPanel(mainPanel) {}

Panel* FocusNavGroup::GetDefaultPanel() {
    for (int i = 0, count = m_mainPanel->GetChildCount(); i < count; ++i) {
        Panel* child = m_mainPanel->GetChild(i);
        if (child && child->GetTabPosition() == 1) {
            return child;
        }
    }
    return nullptr;
}

void FocusNavGroup::SetDefaultButton(Panel* panel) {
    HPanel handle = HandleOf(panel);
    if ((panel && handle == m_defaultButton) || (!panel && !PanelFromHandle(m_defaultButton))) {
        return;
    }
    m_defaultButton = handle;
    SetCurrentDefaultButton(panel ? panel->GetVPanel() : kNoPanel, true);
}

VPANEL FocusNavGroup::GetDefaultButton() {
    Panel* button = PanelFromHandle(m_defaultButton);
    return button ? button->GetVPanel() : kNoPanel;
}

VPANEL FocusNavGroup::GetCurrentDefaultButton() {
    Panel* button = PanelFromHandle(m_currentDefaultButton);
    return button ? button->GetVPanel() : kNoPanel;
}

Panel* FocusNavGroup::FindPanelByHotkey(wchar key) {
    for (int i = 0, count = m_mainPanel->GetChildCount(); i < count; ++i) {
        Panel* child = m_mainPanel->GetChild(i);
        if (!child) {
            continue;
        }
        Panel* hot = child->HasHotkey(key);
        if (hot && hot->IsVisible() && hot->IsEnabled()) {
            return hot;
        }
    }
    return nullptr;
}

Panel* FocusNavGroup::GetCurrentFocus() { return PanelFromHandle(m_currentFocus); }

void FocusNavGroup::SetFocusTopLevel(bool state) { m_topLevel = state; }

bool FocusNavGroup::RequestFocusPrev(VPANEL panel) { return MoveFocus(panel, Direction::Previous); }

bool FocusNavGroup::RequestFocusNext(VPANEL panel) { return MoveFocus(panel, Direction::Next); }

Panel* FocusNavGroup::FindCandidate(int start, Direction direction) {
    if (direction == Direction::Previous && start < kLowestPreviousStart) {
        return nullptr;
    }
    int exact = direction == Direction::Next ? start + 1 : start - 1;
    Panel* best = nullptr;
    for (int i = 0, count = m_mainPanel->GetChildCount(); i < count; ++i) {
        Panel* child = m_mainPanel->GetChild(i);
        if (!IsCandidate(child)) {
            continue;
        }
        int position = child->GetTabPosition();
        if (position == exact) {
            return child;
        }
        bool beyond = direction == Direction::Next ? position > start : position < start;
        bool closer = !best || (direction == Direction::Next ? position < best->GetTabPosition()
                                                             : position > best->GetTabPosition());
        if (beyond && closer) {
            best = child;
        }
    }
    return best;
}

bool FocusNavGroup::HandOffToParent(Direction direction) {
    VPANEL parent = m_mainPanel->GetVParent();
    if (m_topLevel || !parent || parent == surface()->GetEmbeddedPanel()) {
        return false;
    }
    if (s_handOffDepth >= kMaxHandOffDepth) {
        return false;
    }
    ++s_handOffDepth;
    bool moved = direction == Direction::Next ? ipanel()->RequestFocusNext(parent, m_mainPanel->GetVPanel())
                                              : ipanel()->RequestFocusPrev(parent, m_mainPanel->GetVPanel());
    --s_handOffDepth;
    if (moved) {
        SetCurrentDefaultButton(kNoPanel, true);
    }
    return moved;
}

bool FocusNavGroup::MoveFocus(VPANEL from, Direction direction) {
    Panel* asking = PanelFromId(from);
    // Without a panel that asked, a backward walk starts past the last
    // position, so that Shift+Tab into a container reaches its last child
    // instead of handing the focus straight back to the parent.
    int start = asking ? asking->GetTabPosition() : direction == Direction::Next ? 0 : kRestartPrevious;
    Panel* found = FindCandidate(start, direction);
    if (!found) {
        if (HandOffToParent(direction)) {
            return true;
        }
        found = FindCandidate(direction == Direction::Next ? 0 : kRestartPrevious, direction);
    }
    if (!found) {
        return false;
    }
    m_currentFocus = HandleOf(found);
    // A container found this way passes the focus on to its own first (or
    // last) child.
    found->RequestFocus(direction == Direction::Next ? 1 : -1);
    ChooseCurrentDefaultButton(found, true);
    return true;
}

bool FocusNavGroup::CanBeDefaultButton(Panel* panel) {
    KeyValues* request = new KeyValues("CanBeDefaultButton");
    bool can = panel->RequestInfo(request) && request->GetInt("result") == 1;
    request->deleteThis();
    return can;
}

void FocusNavGroup::ChooseCurrentDefaultButton(Panel* focus, bool askParent) {
    if (focus && CanBeDefaultButton(focus)) {
        SetCurrentDefaultButton(focus->GetVPanel(), true);
        return;
    }
    if (Panel* button = PanelFromHandle(m_defaultButton)) {
        SetCurrentDefaultButton(button->GetVPanel(), true);
        return;
    }
    SetCurrentDefaultButton(kNoPanel, true);
    if (askParent && m_mainPanel->GetVParent()) {
        m_mainPanel->PostMessage(m_mainPanel->GetVParent(), new KeyValues("FindDefaultButton"));
    }
}

void FocusNavGroup::SetCurrentFocus(VPANEL focus, VPANEL defaultPanel) {
    m_currentFocus = HandleOf(focus);
    if (defaultPanel) {
        SetCurrentDefaultButton(defaultPanel, true);
    } else {
        ChooseCurrentDefaultButton(PanelFromId(focus), false);
    }
}

void FocusNavGroup::SetCurrentDefaultButton(VPANEL panel, bool notify) {
    HPanel handle = HandleOf(panel);
    if (handle == m_currentDefaultButton) {
        return;
    }
    Panel* previous = PanelFromHandle(m_currentDefaultButton);
    m_currentDefaultButton = handle;
    if (!notify) {
        return;
    }
    if (previous) {
        m_mainPanel->PostMessage(previous, new KeyValues("SetAsCurrentDefaultButton", "state", 0));
    }
    if (panel) {
        m_mainPanel->PostMessage(panel, new KeyValues("SetAsCurrentDefaultButton", "state", 1));
    }
}

}  // namespace vgui2
