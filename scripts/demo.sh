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
game="$demo/game"
shots="$demo/screenshots"
mkdir -p "$demo/releases" "$shots"
rm -f "$shots"/*.png "$demo/server.port"

server_pid="" xvfb_pid="" updater_pid=""
cleanup() {
    for pid in $updater_pid $server_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

say() { printf '\n== %s\n' "$*"; }

wait_for_file() {
    tries=0
    until [ -s "$1" ]; do
        tries=$((tries + 1))
        if [ "$tries" -gt 100 ]; then
            echo "demo: $1 did not appear" >&2
            exit 1
        fi
        sleep 0.1
    done
}

# Checksums of the game's own files (not the updater's), to compare after.
game_files() {
    (cd "$game" && find FileSystem_Stdio.so quillmere qlm.branch -type f 2>/dev/null | sort | xargs md5sum)
}

"$build/scripts/release_server/release_server" --root "$demo/releases" --port-file "$demo/server.port" \
    >"$demo/server.log" 2>&1 &
server_pid=$!
wait_for_file "$demo/server.port"
port=$(head -n 1 "$demo/server.port")
"$source_dir/scripts/demo/make_demo.sh" "$build" "$demo" "$port"

say "Release server: http://127.0.0.1:$port/ (log: $demo/server.log)"
for branch in plus beta; do
    ls -l "$demo/releases/$branch"/*.zip | awk '{ print "   ", $5, "bytes", $NF }'
done
say "Game folder: $game"
echo "   qlm.uri: $(cat "$game/qlm.uri")"
before_version=$("$build/scripts/demo/game_version" "$game")
echo "   installed version before: $before_version"
game_files >"$demo/files.before"
sed 's/^/   /' "$demo/files.before"

run_with_display() {
    say "Opening the updater window on $DISPLAY: choose a branch, press the update button, then close the window."
    (cd "$game" && ./updater) &
    updater_pid=$!
    status=0
    wait "$updater_pid" || status=$?
    updater_pid=""
    echo "   the updater ended with exit code $status"
}

# Clicks the middle of a control of the updater window.
click() {
    set -- $("$source_dir/scripts/demo/layout_rect.sh" "$layout" "$1")
    xdotool mousemove $((window_x + $1 + $3 / 2)) $((window_y + $2 + $4 / 2)) click 1
}

shot() {
    import -display "$DISPLAY" -window root "$shots/$1.png"
    echo "   screenshot: $shots/$1.png"
}

run_under_xvfb() {
    exec 3>"$demo/xvfb.display"
    Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    exec 3>&-
    wait_for_file "$demo/xvfb.display"
    DISPLAY=":$(head -n 1 "$demo/xvfb.display")"
    export DISPLAY
    say "No display: running the updater on a virtual X server ($DISPLAY) and clicking for you."

    layout="$game/Updater/UpdaterFrame.res"
    if [ ! -f "$layout" ]; then
        echo "demo: $layout is missing, so there is no window to click" >&2
        exit 1
    fi
    (cd "$game" && SDL_VIDEODRIVER=x11 exec ./updater) >"$demo/updater.log" 2>&1 &
    updater_pid=$!

    # The frame's native window has the frame's size from the layout file.
    set -- $("$source_dir/scripts/demo/layout_rect.sh" "$layout" CUpdaterFrame)
    frame_size="$3x$4"
    window=""
    tries=0
    while [ -z "$window" ]; do
        tries=$((tries + 1))
        if [ "$tries" -gt 150 ] || ! kill -0 "$updater_pid" 2>/dev/null; then
            echo "demo: the updater window did not appear; its output:" >&2
            cat "$demo/updater.log" >&2
            exit 1
        fi
        sleep 0.2
        for candidate in $(xdotool search --onlyvisible --pid "$updater_pid" 2>/dev/null); do
            if xdotool getwindowgeometry "$candidate" | grep -q "Geometry: $frame_size"; then
                window=$candidate
            fi
        done
    done
    eval "$(xdotool getwindowgeometry --shell "$window")"
    window_x=$X window_y=$Y
    sleep 1
    shot 1-window-opened

    echo "   clicking the update button"
    click UpdateButton
    tries=0
    until [ -f "$game/qlm.branch" ] || [ "$tries" -gt 300 ]; do
        tries=$((tries + 1))
        sleep 0.2
    done
    sleep 1
    shot 2-update-finished
    echo "   clicking the update button again to return to the versions"
    click UpdateButton
    sleep 1
    shot 3-back-to-versions
    echo "   opening the changelog"
    click ChangelogButton
    sleep 1
    shot 4-changelog

    # The updater closes on SIGTERM as it does on its close button.
    kill -TERM "$updater_pid"
    status=0
    wait "$updater_pid" || status=$?
    updater_pid=""
    echo "   the updater ended with exit code $status (output: $demo/updater.log)"
}

if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
    run_with_display
else
    run_under_xvfb
fi

say "Result"
after_version=$("$build/scripts/demo/game_version" "$game")
echo "   installed version: $before_version -> $after_version"
if [ -f "$game/qlm.branch" ]; then
    echo "   qlm.branch: $(cat "$game/qlm.branch")"
fi
game_files >"$demo/files.after"
echo "   game files changed (- before, + after):"
diff -u "$demo/files.before" "$demo/files.after" | grep '^[-+][^-+]' | sed 's/^/     /' || echo "     none"
leftover=$(cd "$game" && ls -A ./*.zip ./.qlm-download.zip 2>/dev/null || true)
echo "   archives left in the game folder: ${leftover:-none}"
