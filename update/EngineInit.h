// The engine's one-time initialisation: HTTP set-up, the installed version,
// the manifest and its branches. The manifest is fetched on a worker thread
// so the window keeps painting and answering while a slow server is asked;
// everything else runs on the GUI thread. With the publisher's key beside
// the updater the manifest's signature is fetched on the same worker and
// checked (see SignedManifest.h). A manifest that cannot be fetched, parsed
// or, with the key, verified fails the initialisation for good: the engine
// hands back the text of the fatal report, and the application shows it and
// ends the process. Filling the window's branch list is left to the window
// (see IUpdatePublisher::BranchListReady).
#pragma once

#include <string>

namespace update {

enum class EngineInitStatus { Pending, Ready, Failed };

struct EngineInitResult {
    EngineInitStatus status = EngineInitStatus::Pending;
    // Failed only: the text of the box to show before the process ends with
    // exit code 1.
    const char* fatalText = nullptr;

    // True once the engine is ready, for callers that only wait for that.
    explicit operator bool() const { return status == EngineInitStatus::Ready; }
};

// GUI thread. Starts the initialisation once per process (until engine
// shutdown): HTTP set-up, the version probe and the manifest fetch job.
// Does nothing after a failed initialisation. The publisher's key is looked
// for in the updater's own folder.
void BeginEngineInit();
// The same with the folder that may hold the publisher's key.
void BeginEngineInit(const std::string& keyFolder);

// GUI thread, every frame. When the fetch has ended, reports its failure
// boxes, then parses the manifest, reads the branches and hands them to the
// window, or fails.
EngineInitResult PollEngineInit();

// The outcome so far, without moving the initialisation on: for the owner
// of the process, who acts on a failure the window's polling met.
EngineInitResult EngineInitOutcome();

// Begins and completes the initialisation without a loop around it.
EngineInitResult EngineInit();
EngineInitResult EngineInit(const std::string& keyFolder);

// GUI thread, when the process ends before the initialisation completed:
// stops the fetch and waits for it. True when one was pending: the process
// must then end with the line of kFetchFailedText on standard error and exit
// code 1, and no box, since the person already asked to end.
bool AbandonEngineInit();

}  // namespace update
