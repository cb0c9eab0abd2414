// One update: the checks and launch of start update, the download and
// extraction jobs on worker threads, the GUI thread's polling that carries
// an update from one job to the next and completes it, branch selection,
// the wind-down at exit and engine shutdown. Nothing is retried or rolled
// back; only the end of the process stops a download.
//
// The archive is always downloaded under one private name in the game
// folder, so no address can make the download replace, delete or point the
// extraction at any other file.
#pragma once

#include <string>

#include "update/UpdateState.h"

namespace update {

// The private name of the downloaded archive, in the game folder. A leading
// dot and the product's prefix keep it apart from every game file.
inline constexpr const char* kDownloadFileName = ".qlm-download.zip";

// GUI thread. Refuses with "#Updater_P1" when no update is due or the game
// is running from this folder, and fails with "#Updater_FailedVerify" when
// the branch's archive hash is malformed, or missing while one is required;
// otherwise launches the download job, which checks the archive against
// that hash.
void StartUpdate();

// GUI thread, every frame while the window lives; never waits. A finished
// download starts the extraction; a finished extraction completes the
// update (branch file, installed version, archive removal).
void PollUpdateJobs();

// The window changed the branch: the record becomes the selected branch.
// The branch file is written only by a successful update.
void SelectBranch(const BranchRecord& branch, const char* name);

// GUI thread, on every way the process ends, after the window's publisher
// has been removed. A running download is cancelled and waited for (it
// ends within about a second) and its archive removed; a running
// extraction is never cut: it is waited for and, when it succeeded, the
// update is completed as the polling would. Safe to call at any time and
// more than once.
void FinishJobsForExit();

// After the GUI loop has ended. Does not wait for a running job.
void EngineShutdown();

// The archive's name as the address gives it: the part after its last "/".
// Only ever shown, never used as a file name.
std::string ArchiveFileNameOf(const std::string& downloadUrl);

}  // namespace update
