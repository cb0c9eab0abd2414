#!/bin/sh
# Idle CPU of one updater window, and how fast a worker's post wakes the
# waiting GUI loop. Runs the window under a private Xvfb server (the real X11
# path, which is what the idle goal is about) and, for comparison, on SDL's
# offscreen driver, which polls internally and costs more.
#
#   bench/idle_cpu.sh [build-dir] [seconds]
#
# The build directory defaults to ./build; the benchmark program is built
# there (two jobs at most) if it is missing or stale.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
seconds=${2:-10}

command -v Xvfb >/dev/null || { echo "idle_cpu.sh: Xvfb is not installed" >&2; exit 1; }
[ -f "$build/build.ninja" ] || cmake -S "$root" -B "$build" -G Ninja >/dev/null
ninja -C "$build" -j2 bench_idle_window >/dev/null
program=$build/bench/bench_idle_window

# A display number nobody uses.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done
Xvfb ":$display" -noreset -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT INT TERM
tries=0
until [ -e "/tmp/.X11-unix/X$display" ]; do
    tries=$((tries + 1))
    [ "$tries" -lt 50 ] || { echo "idle_cpu.sh: Xvfb did not start" >&2; exit 1; }
    sleep 0.1
done

echo "One idle window for $seconds s (goal: well under 1% of one core on X11)"
env -u SDL_VIDEODRIVER DISPLAY=":$display" "$program" --seconds "$seconds"
SDL_VIDEODRIVER=offscreen "$program" --seconds "$seconds"

echo "A worker posting every 100 ms (goal: each post delivered within a frame, 16 ms)"
env -u SDL_VIDEODRIVER DISPLAY=":$display" "$program" --seconds "$seconds" --post-ms 100
