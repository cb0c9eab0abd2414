// The update engine: the game folder's settings files and installed
// version, the manifest and its branches, HTTP transfers, archive
// extraction, the game-process guard and the update job, as plain functions
// over one process-wide state object. Failures are status texts published
// to the window and false returns, never exceptions. It has no window of
// its own and never ends the process: it reports only through the publisher
// the window installs and the box reporter the application installs, and
// the window fills its branch list and shows the overall status itself.
#pragma once

#include "update/EngineReports.h"
#include "update/Extraction.h"
#include "update/GameGuard.h"
#include "update/Manifest.h"
#include "update/MessageFormat.h"
#include "update/Publishers.h"
#include "update/Settings.h"
#include "update/Transfer.h"
#include "update/UpdateJob.h"
#include "update/UpdateState.h"
