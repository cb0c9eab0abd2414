// How the engine reports to the updater window. The engine never touches a
// panel: every status text, progress value and window refresh goes through
// the one publisher the window installs at run time. Publications may come
// from a job's worker thread; the installed publisher is responsible for
// handing them to the GUI thread in order. With no publisher installed the
// reports go nowhere, which is the state before the window exists.
#pragma once

#include "services/VGuiTypes.h"

namespace update {

class IUpdatePublisher {
public:
    // The status publisher: a text that begins with "#" is a localization
    // token, any other is shown as it stands. Error turns the progress bar
    // red; progress of at least 1.0 ends the update's active phase.
    virtual void PublishStatus(const char* text, bool error, float progress) = 0;
    // The progress publisher: the wide text is shown unchanged.
    virtual void PublishProgress(const vgui2::wchar* text, float progress) = 0;

    // The window's part of starting an update: empty its "StatusLabel".
    virtual void ClearStatusLabel() = 0;
    // Engine initialisation has parsed the branch list: the window fills its
    // branch combo box and activates the saved branch, which selects it.
    virtual void BranchListReady() = 0;
    // A successful update re-read the installed version.
    virtual void InstalledVersionChanged() = 0;

protected:
    ~IUpdatePublisher() = default;
};

// Installs the window's publisher (GUI thread); null removes it. The
// publisher must stay alive until it is removed and no job runs.
void SetUpdatePublisher(IUpdatePublisher* publisher);

// Forwarders used by the engine, callable from any thread.
void PublishStatus(const char* text, bool error, float progress);
void PublishProgress(const vgui2::wchar* text, float progress);
void NotifyClearStatusLabel();
void NotifyBranchListReady();
void NotifyInstalledVersionChanged();

}  // namespace update
