#!/bin/bash
# Cross-builds the updater and its Windows tests, then runs them through
# CTest under Wine, in a Wine prefix of the build's own, on an X server of
# their own (the tests open message boxes and windows).
set -eu
cd "$(dirname "$0")/.."
. scripts/windows/common.sh

windows_install_runner
windows_build -DUPD_TESTS=ON
windows_wine_prefix
xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" \
    ctest --test-dir "$WINDOWS_BUILD_DIR" --output-on-failure --parallel "$(nproc)"
wineserver --kill || true
