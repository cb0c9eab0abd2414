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

# The whole updater.exe through its window, driven from this machine as the
# Linux end-to-end tests drive the Linux build (each test has its own X
# server); they live in the Linux build, which names the Windows one.
linux_build="${UPD_LINUX_BUILD_DIR:-build}"
cmake -S . -B "$linux_build" -G Ninja -DUPD_WINDOWS_BUILD_DIR="$PWD/$WINDOWS_BUILD_DIR"
cmake --build "$linux_build" --parallel "$(nproc)" --target e2e_WindowsUpdaterTest e2e_WindowsLanguageTest release_server
ctest --test-dir "$linux_build" --label-regex '^windows$' --output-on-failure --parallel "$(nproc)"
wineserver --kill || true
