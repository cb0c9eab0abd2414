#include "ui/UpdateTick.h"

#include "ui/UpdaterFrame.h"
#include "update/UpdateJob.h"
#include "update/UpdateState.h"

void UpdateTick(CUpdaterFrame& frame) {
    update::UpdateState& state = update::g_updateState;
    if (!state.statusShown) {
        bool upToDate = state.selectedBranch.version == state.installedVersion;
        frame.SetStatusText(upToDate ? "#Updater_StatusUpToDate" : "#Updater_StatusAvailableUpdate");
        state.statusShown = true;
    }
    update::PollUpdateJobs();
}
