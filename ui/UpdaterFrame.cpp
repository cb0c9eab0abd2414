#include "ui/UpdaterFrame.h"

#include <cstring>
#include <iterator>
#include <string>

#include "platform/Text.h"
#include "services/ILocalize.h"
#include "services/IScheme.h"
#include "services/ISurface.h"
#include "services/IVGui.h"
#include "services/ServicePointers.h"
#include "ui/ChangelogPanel.h"
#include "ui/UpdatePublisher.h"
#include "ui/UpdateTick.h"
#include "update/EngineInit.h"
#include "update/UpdateJob.h"
#include "update/UpdateState.h"
#include "vgui2/Button.h"
#include "vgui2/ComboBox.h"
#include "vgui2/KeyValues.h"
#include "vgui2/Label.h"
#include "vgui2/Menu.h"
#include "vgui2/MenuItem.h"
#include "vgui2/PanelHandles.h"
#include "vgui2/ProgressBar.h"
#include "vgui2/QueryBox.h"
#include "vgui2/Utf16.h"

namespace {

constexpr const char* kLayoutFile = "Updater\\UpdaterFrame.res";
constexpr int kBranchLines = 3;
constexpr int kVersionBytes = 64;
constexpr int kVersionLabelBytes = 256;
constexpr int kItemTextBytes = 256;
// While an update runs the loop wakes every frame, so worker reports show
// without waiting for the idle wake-up.
constexpr int kUpdateTickMilliseconds = 16;
// Opaque: the surface blends by alpha, and a fully transparent red would
// leave a failed update's bar looking empty instead of red.
constexpr vgui2::Color kErrorRed{160, 0, 0, 255};

constexpr vgui2::wchar kEllipsis = u'\u2026';

// A version too long for its buffer ends with an ellipsis, so the person
// sees that it was cut; a surrogate pair is never split.
void ConvertVersion(const char* version, vgui2::wchar* wide, int wideCount) {
    std::u16string whole(std::strlen(version) + 1, u'\0');
    int bytes = static_cast<int>(whole.size() * sizeof(vgui2::wchar));
    vgui2::localize()->ConvertANSIToUnicode(version, whole.data(), bytes);
    whole.resize(std::char_traits<char16_t>::length(whole.c_str()));
    if (static_cast<int>(whole.size()) >= wideCount) {
        whole.resize(static_cast<std::size_t>(vgui2::WholeCodePointPrefix(whole, wideCount - 2)));
        whole.push_back(kEllipsis);
    }
    std::char_traits<char16_t>::copy(wide, whole.c_str(), whole.size() + 1);
}

// The token's text with the version as its one argument.
void SetVersionText(vgui2::Label* label, const char* token, const char* version) {
    vgui2::wchar wideVersion[kVersionBytes / sizeof(vgui2::wchar)] = {};
    ConvertVersion(version, wideVersion, static_cast<int>(std::size(wideVersion)));
    const vgui2::wchar* format = vgui2::localize()->Find(token);
    vgui2::wchar text[kVersionLabelBytes / sizeof(vgui2::wchar)] = {};
    vgui2::localize()->ConstructString(text, sizeof(text), format ? format : u"", 1, wideVersion);
    label->SetText(text);
}

}  // namespace

void CUpdaterFrame::AddMessageHandlers(vgui2::PanelMessageMap& map) {
    map.Add<&CUpdaterFrame::OnTextChanged>("TextChanged", "panel", "text");
}

CUpdaterFrame::CUpdaterFrame(vgui2::Panel* parent) : Frame(parent, "CUpdaterFrame", true) {
    SetTitle("#Updater_Title", false);
    SetParent(vgui2::surface()->GetEmbeddedPanel());
    SetSizeable(false);

    m_progressBar = new vgui2::ProgressBar(this, "UpdateProgress");
    m_branchComboBox = new vgui2::ComboBox(this, "BranchComboBox", kBranchLines, false);
    m_branchComboBox->AddActionSignalTarget(this);
    m_updateButton = new vgui2::Button(this, "UpdateButton", "#Updater_Button");
    m_updateButton->SetCommand("update");
    m_changelogButton = new vgui2::Button(this, "ChangelogButton", "#Updater_Changelog");
    m_changelogButton->SetCommand("changelog");
    m_branchLabel = new vgui2::Label(this, "BranchLabel", "#Updater_Branch");
    m_updateStatusLabel = new vgui2::Label(this, "UpdateStatusLabel", "...");
    m_currentVersionLabel = new vgui2::Label(this, "CurrentVersionLabel", "#Updater_CurrentVersion");
    m_remoteVersionLabel = new vgui2::Label(this, "RemoteVersionLabel", "#Updater_RemoteVersion");
    m_statusLabel = new vgui2::Label(this, "StatusLabel", "#Updater_StatusLabel");

    if (vgui2::HScheme scheme = vgui2::scheme()->GetScheme("TrackerScheme")) {
        SetScheme(scheme);
    }
    LoadLayoutFile(kLayoutFile);
    // Nothing to choose or install until the manifest has arrived.
    m_branchComboBox->SetEnabled(false);
    m_updateButton->SetEnabled(false);
    InvalidateLayout();

    int areaX = 0;
    int areaY = 0;
    int areaWide = 0;
    int areaTall = 0;
    vgui2::surface()->GetWorkspaceBounds(areaX, areaY, areaWide, areaTall);
    SetPos((areaWide - GetWide()) / 2, (areaTall - GetTall()) / 2);
}

CUpdaterFrame::~CUpdaterFrame() {
    if (m_watchingUpdate) {
        vgui2::ivgui()->RemoveTickSignal(GetVPanel());
    }
}

void CUpdaterFrame::OnCommand(const char* command) {
    Frame::OnCommand(command);
    if (platform::CompareNoCase(command, "__update") == 0 || platform::CompareNoCase(command, "update") == 0) {
        BeginUpdate();
    } else if (platform::CompareNoCase(command, "showelems") == 0) {
        ShowIdleView();
    } else if (platform::CompareNoCase(command, "changelog") == 0) {
        OpenChangelog();
    } else if (platform::CompareNoCase(command, "QuitNoConfirm") == 0) {
        QuitNow();
    }
}

void CUpdaterFrame::QuitNow() {
    // The windows go at once; start-up's shutdown then stops a download and
    // lets an extraction finish before the process ends.
    if (vgui2::Frame* changelog = GetChangelogPanel()) {
        changelog->SetVisible(false);
    }
    SetVisible(false);
    vgui2::ivgui()->Stop();
}

void CUpdaterFrame::ShowUpdateControls(bool updating) {
    m_branchComboBox->SetEnabled(!updating);
    m_updateButton->SetEnabled(!updating);
    m_currentVersionLabel->SetVisible(!updating);
    m_remoteVersionLabel->SetVisible(!updating);
    m_progressBar->SetVisible(updating);
    m_updateStatusLabel->SetVisible(updating);
}

void CUpdaterFrame::BeginUpdate() {
    ShowUpdateControls(true);
    m_updateStatusLabel->SetText("Updating...");
    Repaint();
    update::StartUpdate();
    WatchEngine();
}

void CUpdaterFrame::ShowIdleView() {
    ShowUpdateControls(false);
    // The status line was emptied when the update began; whatever its
    // outcome, it shows the branch's status again.
    update::g_updateState.statusShown = false;
    m_updateButton->SetCommand("update");
    m_updateButton->SetText("#Updater_Update");
    RefreshCurrentVersionLabel();
}

vgui2::Frame* CUpdaterFrame::GetChangelogPanel() {
    return dynamic_cast<vgui2::Frame*>(vgui2::PanelFromHandle(m_changelog));
}

void CUpdaterFrame::OpenChangelog() {
    vgui2::Frame* changelog = GetChangelogPanel();
    if (!changelog) {
        changelog = new CChangelogPanel(this);
        m_changelog = vgui2::HandleOf(changelog);
    }
    changelog->Activate();
}

void CUpdaterFrame::OnTextChanged(vgui2::Panel* panel, const char* text) {
    if (panel != m_branchComboBox || !text || !*text) {
        return;
    }
    update::UpdateState& state = update::g_updateState;
    for (const update::BranchRecord& branch : state.branches) {
        if (branch.name != text) {
            continue;
        }
        update::SelectBranch(branch, text);
        state.statusShown = false;
        RefreshRemoteVersionLabel();
        if (state.selectedBranch.version != state.installedVersion) {
            state.updateAvailable.exchange(true);
        }
        return;
    }
}

void CUpdaterFrame::FillBranchList() {
    update::UpdateState& state = update::g_updateState;
    for (const update::BranchRecord& branch : state.branches) {
        m_branchComboBox->AddItem(branch.name.c_str(), nullptr);
    }
    vgui2::Menu* menu = m_branchComboBox->GetMenu();
    for (int row = 0; row < m_branchComboBox->GetItemCount(); ++row) {
        int itemID = m_branchComboBox->GetItemIDFromRow(row);
        vgui2::MenuItem* item = menu->GetMenuItem(itemID);
        char itemText[kItemTextBytes] = {};
        if (item) {
            item->GetText(itemText, sizeof(itemText));
        }
        if (platform::CompareNoCase(itemText, state.chosenBranchName.c_str()) == 0) {
            m_branchComboBox->ActivateItem(itemID);
            return;
        }
    }
}

void CUpdaterFrame::RefreshCurrentVersionLabel() {
    SetVersionText(m_currentVersionLabel, "#Updater_CurrentVersion", update::g_updateState.installedVersion);
    Repaint();
}

void CUpdaterFrame::RefreshRemoteVersionLabel() {
    SetVersionText(m_remoteVersionLabel, "#Updater_RemoteVersion",
                   update::g_updateState.selectedBranch.version.c_str());
}

void CUpdaterFrame::SetStatusText(const char* text) { m_statusLabel->SetText(text); }

void CUpdaterFrame::ApplyStatus(const char* text, bool error, float progress) {
    m_updateStatusLabel->SetText(text);
    m_progressBar->SetProgress(progress);
    if (error) {
        m_progressBar->SetFgColor(kErrorRed);
    }
    if (progress >= 1.0f) {
        m_updateButton->SetEnabled(true);
        m_updateButton->SetCommand("showelems");
        m_updateButton->SetText("#Updater_Stop");
    }
    Repaint();
}

void CUpdaterFrame::ApplyProgress(const vgui2::wchar* text, float progress) {
    m_updateStatusLabel->SetText(text);
    m_progressBar->SetProgress(progress);
    if (progress >= 1.0f) {
        m_updateButton->SetEnabled(true);
        m_updateButton->SetCommand("showelems");
    }
    Repaint();
}

void CUpdaterFrame::WatchEngine() {
    // A pending manifest fetch is polled every frame as a running update is,
    // so the window comes alive as soon as the answer is there.
    const update::UpdateState& state = update::g_updateState;
    bool updating = state.updateInProgress.load() || !state.engineInitialised;
    if (updating == m_watchingUpdate) {
        return;
    }
    m_watchingUpdate = updating;
    if (updating) {
        vgui2::ivgui()->AddTickSignal(GetVPanel(), kUpdateTickMilliseconds);
    } else {
        vgui2::ivgui()->RemoveTickSignal(GetVPanel());
    }
}

void CUpdaterFrame::OnThink() {
    Frame::OnThink();
    TheUpdatePublisher().Drain();
    UpdateTick(*this);
    // The last reports of a finished update may have been queued after the
    // drain above; they must not wait for the idle wake-up to show.
    TheUpdatePublisher().Drain();
    WatchEngine();
}

void CUpdaterFrame::OnEngineReady() {
    m_branchComboBox->SetEnabled(true);
    m_updateButton->SetEnabled(true);
    if (vgui2::Panel* first = GetFocusNavGroup().GetDefaultPanel()) {
        first->RequestFocus();
    }
    RefreshCurrentVersionLabel();
    RefreshRemoteVersionLabel();
}

void CUpdaterFrame::PerformLayout() {
    Frame::PerformLayout();
    update::BeginEngineInit();
    m_progressBar->SetVisible(false);
    m_updateStatusLabel->SetVisible(false);
    RefreshCurrentVersionLabel();
    RefreshRemoteVersionLabel();
}

void CUpdaterFrame::OnClose() {
    if (!update::g_updateState.updateInProgress.load()) {
        Frame::OnClose();
        vgui2::ivgui()->Stop();
        return;
    }
    ConfirmQuit();
}

void CUpdaterFrame::ConfirmQuit() {
    auto* box = new vgui2::QueryBox("#Updater_Quit", "#Updater_QuitConfirmationText", this);
    box->SetOKButtonText("#Updater_Quit");
    auto* command = new KeyValues("Command");
    command->SetString("command", "QuitNoConfirm");
    box->SetOKCommand(command);
    box->AddActionSignalTarget(this);
    box->SetDeleteSelfOnClose(true);
    box->DoModal(nullptr);
}
