#!/bin/bash
# The demo of the Windows build, on this Linux machine: the same demo game
# folder and release server as scripts/demo.sh, with updater.exe and the
# Windows game module in the game folder, the updater run under Wine in the
# build's own Wine prefix. The release server is the Linux one; under Wine
# the updater reaches it on 127.0.0.1 all the same.
#
# With a display the window opens for you: pick a branch, read its
# changelog, press the update button, close the window. Without one the
# window runs on a virtual X server (Xvfb) and this script presses the
# update button itself, saves screenshots and closes the window with its
# close button. Either way it prints the installed version and the game
# files before and after.
#
# WINDOWS_BUILD_DIR (default build-windows) chooses the Windows build
# folder, UPD_BUILD_DIR (default build) the Linux one the release server
# and the publisher's tool are built in.
set -eu
cd "$(dirname "$0")/.."
source_dir=$(pwd)
. scripts/windows/common.sh

./scripts/install-deps.sh
windows_install_runner
# The demo's game modules are the tests' stand-in modules.
windows_build -DUPD_TESTS=ON
# The release server and the publisher's tool, which signs the releases, run
# on this machine.
windows_host_tools release_server
windows_wine_prefix
build=$(cd "$WINDOWS_BUILD_DIR" && pwd)

demo="$build/demo"
module=FileSystem_Stdio.dll
updater_command="wine updater.exe"
headless_env=""
. scripts/demo/common.sh

# Wine shows the build machine's root as drive Z: and ends lines with CR LF.
game_version() { wine "$build/scripts/demo/game_version.exe" "Z:$game" | tr -d '\r'; }

# A signal ends Wine's process without the window's own close (exit code
# 143), so the windows are closed with their close buttons as a person
# would: the changelog window, which lies over the frame's button, first.
# The toolkit puts a frame's close button, 18 pixels square, 8 pixels below
# the frame's top and 7 pixels left of its right edge.
click_close_button() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + WIDTH - 16)) $((Y + 17)) click 1
    sleep 0.5
}

close_updater() {
    echo "   closing the changelog and the updater window with their close buttons"
    for other in $(xdotool search --onlyvisible --pid "$updater_pid" 2>/dev/null); do
        if [ "$other" != "$window" ]; then
            click_close_button "$other"
        fi
    done
    click_close_button "$window"
    tries=0
    while kill -0 "$updater_pid" 2>/dev/null; do
        tries=$((tries + 1))
        if [ "$tries" -gt 50 ]; then
            echo "   the window did not close; ending the updater with a signal"
            kill -TERM "$updater_pid"
            break
        fi
        sleep 0.2
    done
}

demo_prepare "$HOST_BUILD_DIR/scripts/release_server/release_server" "$build"
demo_run
demo_result
