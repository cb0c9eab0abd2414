#!/bin/sh
# Installs what is missing, builds, and runs every test through CTest: once
# in the normal build and once under AddressSanitizer + UndefinedBehavior-
# Sanitizer. Then the threaded tests under ThreadSanitizer, each fuzz target
# for a minute from its seed corpus, and the Windows build's tests under
# Wine.
set -eu
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

JOBS="$(nproc)"

run_suite() {
    build_dir="$1"
    shift
    cmake -S . -B "$build_dir" -G Ninja "$@"
    cmake --build "$build_dir" --parallel "$JOBS"
    ctest --test-dir "$build_dir" --output-on-failure --parallel "$JOBS"
}

# The Windows build's end-to-end tests join this build at the end, once
# there is a Windows build to name.
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DUPD_WINDOWS_BUILD_DIR=
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DUPD_SANITIZE=ON
./scripts/tsan.sh
./scripts/fuzz.sh
./scripts/test-windows.sh
