#!/usr/bin/env bash
# bench/idle.sh [RULES] [SECONDS]
# What the whole program costs while idle: starts build/kelvanto offscreen in a fresh data and
# settings folder (with RULES switched-on alert rules, default 0), lets it settle for 5 s, then
# measures SECONDS (default 60) with the shared measure_idle tool (CPU, wake-ups, memory).
# MEASURE_IDLE may point at that tool; BUILD at the build folder.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$here/build}
rules=${1:-0}
secs=${2:-60}
measure=${MEASURE_IDLE:-$here/../shared/tools/measure_idle.sh}
[[ -x $build/kelvanto ]] || { echo "build $build/kelvanto first (make build)" >&2; exit 2; }
[[ -r $measure ]] || { echo "no measuring tool at $measure (set MEASURE_IDLE)" >&2; exit 2; }

tmp=$(mktemp -d)
pid=""
cleanup() { [[ -n $pid ]] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; rm -rf "$tmp"; }
trap cleanup EXIT

export KELVANTO_HOME=$tmp/data XDG_CONFIG_HOME=$tmp/config QT_QPA_PLATFORM=offscreen
# Keep the network jobs on this machine: nothing listens on port 9.
export KELVANTO_UPDATE_HOST=127.0.0.1 KELVANTO_UPDATE_PORT=9 KELVANTO_TIME_HOST=127.0.0.1 KELVANTO_TIME_PORT=9
export KELVANTO_CLOCK_READONLY=1
if (( rules > 0 )); then
  "$build/bench/kelvanto_seed_rules" "$KELVANTO_HOME" "$rules" "$tmp/alerts.log" >/dev/null
fi
"$build/kelvanto" >"$tmp/out.txt" 2>&1 &
pid=$!
sleep 5
kill -0 "$pid" 2>/dev/null || { echo "the program ended early:" >&2; cat "$tmp/out.txt" >&2; exit 1; }
echo "rules=$rules $(bash "$measure" "$pid" "$secs")"
[[ ! -s $tmp/alerts.log ]] || echo "note: a rule fired during the measurement" >&2
