// The tool's two commands over their parsed options; each returns the
// process's exit status and reports on standard output and standard error.
#pragma once

#include "scripts/qlm-release/CommandLine.h"

namespace qlmrelease {

// Adds or replaces a branch with its archive's size and hash.
int RunBranch(const Options& options);

// Brings every branch's size and hash up to date with its local archive.
int RunRehash(const Options& options);

// Checks the signature and every branch's archive; 0 when all is well.
int RunCheck(const Options& options);

}  // namespace qlmrelease
