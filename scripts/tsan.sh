#!/bin/sh
# Builds the tests whose code runs on more than one thread (the update
# engine and its jobs, the publishers, the GUI loop's message queue) with
# ThreadSanitizer and runs them; any report fails the script.
#
# A forked child of a threaded process cannot start threads under
# ThreadSanitizer, so the few tests that run the engine in a forked child
# (disk full, engine start-up that exits) are left to the other suites.
set -eu
cd "$(dirname "$0")/.."

BUILD=build-tsan
TESTS="update_ExtractionTest update_FaultInjectionArchiveTest update_FaultInjectionDownloadTest
update_GameGuardTest update_HostileServerTest update_ManifestTest update_SettingsTest update_TransferTest
update_UpdateJobTest
ui_PublisherTest ui_UpdaterFrameTest ui_ViewportTest modules_VGuiTest"
FORKING="*DiskFillsUp*"

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DUPD_TSAN=ON
# shellcheck disable=SC2086 # one word per target
cmake --build "$BUILD" --parallel "$(nproc)" --target $TESTS updater updfs updvgui2 stage_data

failed=""
for test in $TESTS; do
    echo "tsan: $test"
    if ! (cd "$BUILD/tests" && UPD_STAGE_DIR="$PWD/../stage" SDL_VIDEODRIVER=offscreen \
          TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
          timeout 900 "./$test" --gtest_filter="-$FORKING" --gtest_brief=1); then
        failed="$failed $test"
    fi
done
if [ -n "$failed" ]; then
    echo "tsan: failed:$failed"
    exit 1
fi
echo "tsan: every test ran clean"
