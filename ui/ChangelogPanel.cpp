#include "ui/ChangelogPanel.h"

#include <algorithm>

#include "services/IPanel.h"
#include "services/IScheme.h"
#include "services/ISurface.h"
#include "services/ServicePointers.h"
#include "update/UpdateState.h"
#include "vgui2/RichText.h"
#include "vgui2/WindowPlacement.h"

namespace {

constexpr int kWide = 460;
constexpr int kTall = 230;
constexpr int kMargin = 4;
constexpr vgui2::Color kChangelogGreen{0, 255, 0, 0};

}  // namespace

void CChangelogPanel::AddMessageHandlers(vgui2::PanelMessageMap&) {}

CChangelogPanel::CChangelogPanel(vgui2::Panel* parent) : Frame(parent, "ChangelogPanel", true) {
    SetTitle("#Updater_Changelog", false);
    SetSizeable(true);
    SetSize(kWide, kTall);
    SetDeleteSelfOnClose(true);
    m_text = new vgui2::RichText(this, "Text");
    if (vgui2::HScheme scheme = vgui2::scheme()->GetScheme("TrackerScheme")) {
        SetScheme(scheme);
    }
    InvalidateLayout();
    if (parent) {
        PlaceBesideFrame(parent->GetVPanel());
    }
}

// Right of the updater frame reads naturally, but on a narrow screen that
// would put the close button out of reach, so the window goes left of the
// frame instead, or is shifted inside the work area.
void CChangelogPanel::PlaceBesideFrame(vgui2::VPANEL frame) {
    vgui2::ScreenRect anchor;
    vgui2::ipanel()->GetPos(frame, anchor.x, anchor.y);
    vgui2::ipanel()->GetSize(frame, anchor.wide, anchor.tall);
    vgui2::ScreenRect area;
    vgui2::surface()->GetWorkspaceBounds(area.x, area.y, area.wide, area.tall);
    vgui2::ScreenRect placed = vgui2::PlaceBeside(anchor, GetWide(), GetTall(), area);
    SetPos(placed.x, placed.y);
}

CChangelogPanel::~CChangelogPanel() = default;

void CChangelogPanel::PerformLayout() {
    int x = 0;
    int y = 0;
    int wide = 0;
    int tall = 0;
    GetClientArea(x, y, wide, tall);
    m_text->SetPos(x + kMargin, y + kMargin);
    // The text view ends above the resize grip, which would otherwise cover
    // its scroll bar's down arrow.
    int bottom = std::min(y + tall - kMargin, GetTall() - kResizeGripSize);
    m_text->SetSize(wide - 2 * kMargin, bottom - y - kMargin);
    Frame::PerformLayout();
    m_text->SetFgColor(kChangelogGreen);
}

void CChangelogPanel::Activate() {
    Frame::Activate();
    // A new text takes the view's current colour; once the scheme has been
    // applied that is the scheme's, so green is set first as well as after.
    m_text->SetFgColor(kChangelogGreen);
    m_text->SetText(update::g_updateState.selectedBranch.changelog.c_str());
    m_text->SetFgColor(kChangelogGreen);
}
