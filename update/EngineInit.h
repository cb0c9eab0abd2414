// The engine's one-time initialisation: HTTP set-up, the installed version,
// the manifest and its branches. The manifest is fetched on a worker thread
// so the window keeps painting and answering while a slow server is asked;
// everything else runs on the GUI thread. A manifest that cannot be fetched
// or parsed ends the process with an error box and exit code 1. Filling the
// window's branch list is left to the window (see
// IUpdatePublisher::BranchListReady).
#pragma once

namespace update {

// GUI thread. Starts the initialisation once per process (until engine
// shutdown): HTTP set-up, the version probe and the manifest fetch job.
void BeginEngineInit();

// GUI thread, every frame. When the fetch has ended, shows its failure
// boxes, parses the manifest, reads the branches and hands them to the
// window, or ends the process. True once the engine is initialised.
bool PollEngineInit();

// Begins and completes the initialisation without a loop around it.
void EngineInit();

// GUI thread, when the process ends before the initialisation completed:
// stops the fetch, and ends the process with the fetch failure text on
// standard error and exit code 1. No box: the person already asked to end.
// Returns when no initialisation is pending.
void AbandonEngineInit();

}  // namespace update
