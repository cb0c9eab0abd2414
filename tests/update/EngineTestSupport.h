// Shared set-up of the engine tests: the localization double and the real
// file-system service connected, libcurl initialised, the engine's boxes
// recorded, the process-wide update state back to its start values.
#pragma once

#include <gtest/gtest.h>

#include "modules/updfs/FileSystemStdio.h"
#include "services/ServicePointers.h"
#include "tests/update/FakeLocalize.h"
#include "tests/update/RecordingReporter.h"
#include "update/Transfer.h"
#include "update/UpdateState.h"

namespace enginetest {

inline void ResetUpdateState() {
    update::UpdateState& state = update::g_updateState;
    state.downloadResult = {};
    state.extractionResult = {};
    state.manifestFetch = {};
    state.chosenBranchName.clear();
    state.selectedBranch = {};
    state.branches.clear();
    state.statusShown = false;
    state.updateAvailable = false;
    state.updateInProgress = false;
    state.installedVersion[0] = '\0';
    state.archiveFileName.clear();
    state.archiveDisplayName.clear();
    state.archiveHashRequired = false;
    state.engineInitialised = false;
    state.engineInitFailure = nullptr;
    update::ResetTransferCancel();
}

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_localize.Set("Updater_DownloadingFile", u"Downloading %s1");
        m_localize.Set("Updater_DownloadingFile2", u"%s1: %s2 of %s3 MiB");
        vgui2::g_services.localize = &m_localize;
        vgui2::g_services.fileSystem = &TheFileSystem();
        update::HttpGlobalInit();
        ResetUpdateState();
    }
    void TearDown() override {
        ResetUpdateState();
        TheFileSystem().RemoveAllSearchPaths();
        update::HttpGlobalCleanup();
    }

    const std::vector<std::string>& Boxes() const { return m_reporter.Boxes(); }

    FakeLocalize m_localize;
    RecordingReporter m_reporter;
};

}  // namespace enginetest
