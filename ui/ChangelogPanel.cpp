#include "ui/ChangelogPanel.h"

#include "services/IPanel.h"
#include "services/IScheme.h"
#include "services/ServicePointers.h"
#include "update/UpdateState.h"
#include "vgui2/RichText.h"

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
        int x = 0;
        int y = 0;
        int wide = 0;
        int tall = 0;
        vgui2::ipanel()->GetPos(parent->GetVPanel(), x, y);
        vgui2::ipanel()->GetSize(parent->GetVPanel(), wide, tall);
        SetPos(x + wide, y);
    }
}

CChangelogPanel::~CChangelogPanel() = default;

void CChangelogPanel::PerformLayout() {
    int x = 0;
    int y = 0;
    int wide = 0;
    int tall = 0;
    GetClientArea(x, y, wide, tall);
    m_text->SetPos(x + kMargin, y + kMargin);
    m_text->SetSize(wide - 2 * kMargin, tall - 2 * kMargin);
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
