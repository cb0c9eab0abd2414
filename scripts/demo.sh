#!/bin/sh
# The demo: installs what is missing, builds, lays out a demo game folder
# whose module reports 1.4.2, serves a manifest with the branches "plus"
# (1.5.0) and "beta" (1.6.0-beta) from a release server on 127.0.0.1, and
# runs the updater in that folder.
#
# With a display the window opens for you: pick a branch, read its
# changelog, press the update button, close the window. Without one the
# window runs on a virtual X server (Xvfb) and this script presses the
# update button itself, saves screenshots and closes the window.
# Either way it prints the installed version and the game files before and
# after.
#
# UPD_BUILD_DIR (default build) and UPD_JOBS (default: all cores) choose
# the build folder and the build's parallelism.
set -eu
cd "$(dirname "$0")/.."
source_dir=$(pwd)
build=${UPD_BUILD_DIR:-build}
jobs=${UPD_JOBS:-$(nproc)}

./scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel "$jobs"
build=$(cd "$build" && pwd)

demo="$build/demo"
module=FileSystem_Stdio.so
updater_command=./updater
# On the Xvfb the window must not go to a Wayland session the person may have.
headless_env=SDL_VIDEODRIVER=x11
. "$source_dir/scripts/demo/common.sh"

game_version() { "$build/scripts/demo/game_version" "$game"; }

# The updater closes on SIGTERM as it does on its close button.
close_updater() { kill -TERM "$updater_pid"; }

demo_prepare "$build/scripts/release_server/release_server" "$build"
demo_run
demo_result
