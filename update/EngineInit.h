// The engine's one-time initialisation: HTTP set-up, the installed version,
// the manifest and its branches. A manifest that cannot be fetched or parsed
// ends the process with an error box and exit code 1. Filling the window's
// branch list is left to the window (see IUpdatePublisher::BranchListReady).
#pragma once

namespace update {

// Runs once per process (until engine shutdown); completes or ends the
// process.
void EngineInit();

}  // namespace update
