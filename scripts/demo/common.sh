# Shared by the demo scripts (sourced, POSIX sh): the release server, the
# demo folder, the updater's run with a display or on an Xvfb of its own
# with clicks and screenshots, and what changed in the game folder.
#
# Before sourcing, the caller sets
#   source_dir       the source tree
#   demo             the demo folder: game/, releases/, screenshots/, logs
#   module           the game module's file name in the game folder
#   updater_command  runs the updater from the game folder
#   headless_env     environment (NAME=value ...) for the updater on the Xvfb
# and afterwards defines
#   game_version     prints the version the game folder's module reports
#   close_updater    ends the updater after the clicks on the Xvfb

game="$demo/game"
shots="$demo/screenshots"
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
    (cd "$game" && find "$module" quillmere qlm.branch -type f 2>/dev/null | sort | xargs md5sum)
}

# Starts the release server on a free port, lays out the demo folder from
# BUILD_DIR for it and prints the releases, the game folder and its files:
#   demo_prepare RELEASE_SERVER BUILD_DIR
demo_prepare() {
    mkdir -p "$demo/releases" "$shots"
    rm -f "$shots"/*.png "$demo/server.port"
    "$1" --root "$demo/releases" --port-file "$demo/server.port" >"$demo/server.log" 2>&1 &
    server_pid=$!
    wait_for_file "$demo/server.port"
    port=$(head -n 1 "$demo/server.port")
    "$source_dir/scripts/demo/make_demo.sh" "$2" "$demo" "$port"

    say "Release server: http://127.0.0.1:$port/ (log: $demo/server.log)"
    for branch in plus beta; do
        ls -l "$demo/releases/$branch"/*.zip | awk '{ print "   ", $5, "bytes", $NF }'
    done
    echo "   manifest.json signed by the demo's publisher key, $(sed -n 's/^trusted comment: //p' \
        "$demo/releases/manifest.json.minisig" | cut -f1)"
    say "Game folder: $game"
    echo "   qlm.uri: $(cat "$game/qlm.uri")"
    echo "   qlm.pub: the publisher's key, so the updater verifies the manifest and the archives"
    before_version=$(game_version)
    echo "   installed version before: $before_version"
    game_files >"$demo/files.before"
    sed 's/^/   /' "$demo/files.before"
}

run_with_display() {
    say "Opening the updater window on $DISPLAY: choose a branch, press the update button, then close the window."
    # shellcheck disable=SC2086
    (cd "$game" && exec $updater_command) &
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

start_xvfb() {
    exec 3>"$demo/xvfb.display"
    Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    exec 3>&-
    wait_for_file "$demo/xvfb.display"
    DISPLAY=":$(head -n 1 "$demo/xvfb.display")"
    export DISPLAY
}

# Waits for the updater's frame window and sets window, window_x, window_y
# and frame_wide. The frame's native window has the frame's size from the
# layout file.
find_frame_window() {
    set -- $("$source_dir/scripts/demo/layout_rect.sh" "$layout" CUpdaterFrame)
    frame_wide=$3
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
}

run_under_xvfb() {
    start_xvfb
    say "No display: running the updater on a virtual X server ($DISPLAY) and clicking for you."

    layout="$game/Updater/UpdaterFrame.res"
    if [ ! -f "$layout" ]; then
        echo "demo: $layout is missing, so there is no window to click" >&2
        exit 1
    fi
    # shellcheck disable=SC2086
    (cd "$game" && exec env $headless_env $updater_command) >"$demo/updater.log" 2>&1 &
    updater_pid=$!
    find_frame_window
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

    close_updater
    status=0
    wait "$updater_pid" || status=$?
    updater_pid=""
    echo "   the updater ended with exit code $status (output: $demo/updater.log)"
}

demo_run() {
    if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
        run_with_display
    else
        run_under_xvfb
    fi
}

demo_result() {
    say "Result"
    after_version=$(game_version)
    echo "   installed version: $before_version -> $after_version"
    if [ -f "$game/qlm.branch" ]; then
        echo "   qlm.branch: $(cat "$game/qlm.branch")"
    fi
    game_files >"$demo/files.after"
    echo "   game files changed (- before, + after):"
    changes=$(diff -u "$demo/files.before" "$demo/files.after" | grep '^[-+][^-+]' || true)
    if [ -n "$changes" ]; then
        printf '%s\n' "$changes" | sed 's/^/     /'
    else
        echo "     none"
    fi
    leftover=$(cd "$game" && ls -A ./*.zip ./.qlm-download.zip 2>/dev/null || true)
    echo "   archives left in the game folder: ${leftover:-none}"
}
