#include "ui/UpdateTick.h"

#include "ui/UpdaterFrame.h"
#include "update/EngineInit.h"
#include "update/UpdateJob.h"
#include "update/UpdateState.h"

void UpdateTick(CUpdaterFrame& frame) {
    update::UpdateState& state = update::g_updateState;
    bool wasInitialised = state.engineInitialised;
    // Until the manifest has arrived the status line keeps saying that it is
    // being fetched: comparing versions before then would compare nothing.
    if (!update::PollEngineInit()) {
        return;
    }
    if (!wasInitialised) {
        frame.OnEngineReady();
    }
    if (!state.statusShown) {
        bool upToDate = state.selectedBranch.version == state.installedVersion;
        frame.SetStatusText(upToDate ? "#Updater_StatusUpToDate" : "#Updater_StatusAvailableUpdate");
        state.statusShown = true;
    }
    update::PollUpdateJobs();
}
