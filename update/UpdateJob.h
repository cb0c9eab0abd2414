// One update: the checks and launch of start update, the download and
// extraction jobs on worker threads, the GUI thread's polling that carries
// an update from one job to the next and completes it, branch selection and
// engine shutdown. Nothing is retried, cancelled or rolled back.
#pragma once

#include "update/UpdateState.h"

namespace update {

// GUI thread. Refuses with "#Updater_P1" when no update is due or the game
// is running from this folder; otherwise launches the download job.
void StartUpdate();

// GUI thread, every frame while the window lives; never waits. A finished
// download starts the extraction; a finished extraction completes the
// update (branch file, installed version, archive removal).
void PollUpdateJobs();

// The window changed the branch: the record becomes the selected branch.
// The branch file is written only by a successful update.
void SelectBranch(const BranchRecord& branch, const char* name);

// After the GUI loop has ended. Does not wait for a running job.
void EngineShutdown();

// Removes the archive file; a missing file is fine and a file that cannot be
// removed is left where it is.
void RemoveArchive(const std::string& archiveFileName);

// The archive's file name: the download address after its last "/".
std::string ArchiveFileNameOf(const std::string& downloadUrl);

}  // namespace update
