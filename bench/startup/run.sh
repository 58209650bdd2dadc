#!/usr/bin/env bash
# Start-up benchmark: builds the program, the bare Qt Widgets baseline and the timer in the given
# (release) build directory, then times both on a private X server with no window manager, in
# alternating pairs, and prints the medians and the medians of the pair ratios (program/baseline).
#
#   bench/startup/run.sh <build dir> [pairs, default 10] [stored colours, default 0]
#
# With a number of stored colours, the program finds a settings file beside itself holding that
# many user colours (the baseline reads no file).
set -euo pipefail
build=$(cd "${1:?usage: run.sh <build dir> [pairs] [stored colours]}" && pwd)
pairs=${2:-10}
colours=${3:-0}

cmake --build "$build" --target tintora startup_baseline startup_timer -j2 >/dev/null

work=$(mktemp -d)
xvfb=""
cleanup() {
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

# Both programs run from a fresh directory of their own, as an installed copy would (the program
# keeps its settings file beside itself).
mkdir "$work/a" "$work/b" "$work/runtime"
chmod 700 "$work/runtime"
cp "$build/bench/startup/startup_baseline" "$work/a/"
cp "$build/app/tintora" "$work/b/"
if [ "$colours" -gt 0 ]; then
    awk -v n="$colours" 'BEGIN {
        printf "[Usercolor]\r\nUsercolcnt=%d\r\n", n
        for (i = 1; i <= n; i++) printf "%d=%06X colour %d\r\n", i, (i * 97) % 16777216, i
    }' >"$work/b/Tintora.ini"
fi

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
display=":$(head -n1 "$work/display")"

# No session bus: the figures are the programs' own, not an accessibility bus's.
cd "$work"
env -u DBUS_SESSION_BUS_ADDRESS -u SESSION_MANAGER DISPLAY="$display" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime" \
    "$build/bench/startup/startup_timer" "$pairs" "$work/a/startup_baseline" "$work/b/tintora"
