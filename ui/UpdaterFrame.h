// The updater's main window: installed and available versions, the overall
// status, the branch chooser, the update and changelog buttons, and while an
// update runs a progress bar with its own status line. It runs the engine's
// one-time initialisation in its first layout pass and the update tick in
// every think step. It keeps no update state of its own; the engine's state
// is the one truth. Reports from worker threads reach it only through the
// publisher (UpdatePublisher.h), never directly.
#pragma once

#include "vgui2/Frame.h"

namespace vgui2 {
class Button;
class ComboBox;
class Label;
class ProgressBar;
}  // namespace vgui2

class CUpdaterFrame : public vgui2::Frame {
    VGUI2_PANEL_CLASS(CUpdaterFrame, vgui2::Frame);

public:
    explicit CUpdaterFrame(vgui2::Panel* parent);
    ~CUpdaterFrame() override;

    // What the publisher applies, always on the GUI thread.
    void ApplyStatus(const char* text, bool error, float progress);
    void ApplyProgress(const vgui2::wchar* text, float progress);
    void SetStatusText(const char* text);
    void FillBranchList();
    void RefreshCurrentVersionLabel();
    // The engine's initialisation has completed: the controls come alive
    // and show the versions.
    void OnEngineReady();

    virtual void OnTextChanged(vgui2::Panel* panel, const char* text);

    vgui2::Label* GetStatusLabel() { return m_statusLabel; }
    vgui2::ProgressBar* GetProgressBar() { return m_progressBar; }
    vgui2::ComboBox* GetBranchComboBox() { return m_branchComboBox; }
    vgui2::Button* GetUpdateButton() { return m_updateButton; }
    vgui2::Button* GetChangelogButton() { return m_changelogButton; }
    vgui2::Label* GetUpdateStatusLabel() { return m_updateStatusLabel; }
    vgui2::Label* GetCurrentVersionLabel() { return m_currentVersionLabel; }
    vgui2::Label* GetRemoteVersionLabel() { return m_remoteVersionLabel; }
    // The changelog window when it is open, else null.
    vgui2::Frame* GetChangelogPanel();

    void OnCommand(const char* command) override;
    void OnThink() override;
    void PerformLayout() override;
    void OnClose() override;

private:
    void BeginUpdate();
    void ShowIdleView();
    void OpenChangelog();
    void ShowUpdateControls(bool updating);
    void RefreshRemoteVersionLabel();
    void ConfirmQuit();
    void QuitNow();
    void WatchEngine();

    vgui2::Label* m_statusLabel = nullptr;
    vgui2::ProgressBar* m_progressBar = nullptr;
    vgui2::ComboBox* m_branchComboBox = nullptr;
    vgui2::Button* m_updateButton = nullptr;
    vgui2::Button* m_changelogButton = nullptr;
    vgui2::Label* m_branchLabel = nullptr;
    vgui2::Label* m_updateStatusLabel = nullptr;
    vgui2::Label* m_currentVersionLabel = nullptr;
    vgui2::Label* m_remoteVersionLabel = nullptr;
    vgui2::HPanel m_changelog = vgui2::kNoHandle;
    bool m_watchingUpdate = false;
};
