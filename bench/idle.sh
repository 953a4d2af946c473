#!/usr/bin/env bash
# bench/idle.sh [RULES] [SECONDS]
# bench/idle.sh desktop|desktop-windows [SECONDS]
# bench/idle.sh service|service-quiet [SECONDS]
# What the whole program costs while idle, measured with the shared measure_idle tool (CPU,
# wake-ups, memory). MEASURE_IDLE may point at that tool; BUILD at the build folder.
#
# Without a mode: starts build/kelvanto offscreen in a fresh data and settings folder (with
# RULES switched-on alert rules, default 0), lets it settle for 5 s, then measures SECONDS
# (default 60).
#
# desktop: starts a throw-away desktop (Xvfb, the openbox window manager, a trayer
# notification area), runs the program (window shown, tray graph on) and gkrellm side by side,
# lets them settle for 8 s and measures both over the same SECONDS (default 60): one line each.
# desktop-windows: the same, after the program opened and closed every window once.
# service: the service run as its unit starts it ("kelvanto --service", QT_QPA_PLATFORM=offscreen)
# and the QtCore-only reference (build/bench/kelvanto_idle_reference, a 1 s timer reading
# /proc/net/dev) side by side over the same SECONDS (default 60) after 5 s: one line each.
# service-quiet: the same with the minute log off, so nothing needs the rates.
# Both run in network namespaces of their own where unshare allows it (NETNS=0: not).
# Installs xvfb, openbox, trayer, xdotool and gkrellm with apt-get when missing. SHOT=file.png saves a
# screenshot of the desktop before the measurement (imagemagick).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$here/build}
mode=offscreen
case ${1:-} in desktop | desktop-windows | service | service-quiet) mode=$1; shift ;; esac
if [[ $mode == offscreen ]]; then
  rules=${1:-0}
  secs=${2:-60}
else
  rules=0
  secs=${1:-60}
fi
measure=${MEASURE_IDLE:-$here/../shared/tools/measure_idle.sh}
# A worktree lies one folder deeper than the repository.
[[ -r $measure || -n ${MEASURE_IDLE:-} ]] || measure=$here/../../shared/tools/measure_idle.sh
[[ -x $build/kelvanto ]] || { echo "build $build/kelvanto first (make build)" >&2; exit 2; }
[[ -r $measure ]] || { echo "no measuring tool at $measure (set MEASURE_IDLE)" >&2; exit 2; }

tmp=$(mktemp -d)
pids=()
cleanup() {
  local i
  # Every process goes, also when one of them ended with an error status of its own.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  rm -rf "$tmp"
}
trap cleanup EXIT

export KELVANTO_HOME=$tmp/data XDG_CONFIG_HOME=$tmp/config
# Keep the network jobs on this machine: nothing listens on port 9.
export KELVANTO_UPDATE_HOST=127.0.0.1 KELVANTO_UPDATE_PORT=9 KELVANTO_TIME_HOST=127.0.0.1 KELVANTO_TIME_PORT=9
export KELVANTO_CLOCK_READONLY=1
if (( rules > 0 )); then
  "$build/bench/kelvanto_seed_rules" "$KELVANTO_HOME" "$rules" "$tmp/alerts.log" >/dev/null
fi

start_desktop() {
  local need="" p n
  for p in xvfb openbox trayer xdotool gkrellm; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need="$need $p"
  done
  if [[ -n $need ]]; then
    local sudo_=""; [[ $(id -u) == 0 ]] || sudo_=sudo
    $sudo_ env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $need >/dev/null 2>&1 ||
      { echo "could not install$need" >&2; exit 2; }
  fi
  n=90
  while [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X$n ]] && break; sleep 0.1; done
  export DISPLAY=:$n
  openbox >/dev/null 2>&1 &
  pids+=($!)
  sleep 0.5
  trayer --edge bottom --align right --widthtype pixel --width 200 --height 24 \
    --transparent false --tint 0x333333 >/dev/null 2>&1 &
  pids+=($!)
  sleep 0.5
}

if [[ $mode == offscreen ]]; then
  export QT_QPA_PLATFORM=offscreen
  "$build/kelvanto" >"$tmp/out.txt" 2>&1 &
  pid=$!
  pids+=($pid)
  sleep 5
  kill -0 "$pid" 2>/dev/null || { echo "the program ended early:" >&2; cat "$tmp/out.txt" >&2; exit 1; }
  echo "rules=$rules $(bash "$measure" "$pid" "$secs")"
  [[ ! -s $tmp/alerts.log ]] || echo "note: a rule fired during the measurement" >&2
  exit 0
fi

if [[ $mode == service* ]]; then
  reference=$build/bench/kelvanto_idle_reference
  [[ -x $reference ]] || { echo "build $reference first (cmake --build build --target kelvanto_idle_reference)" >&2; exit 2; }
  if [[ $mode == service-quiet ]]; then
    mkdir -p "$XDG_CONFIG_HOME/Kelvanto"
    printf '[General]\nMinuteLogging=0\n' >"$XDG_CONFIG_HOME/Kelvanto/Kelvanto.conf"
  fi
  unset DISPLAY WAYLAND_DISPLAY
  export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$tmp
  # Idle means no traffic: where it can, each runs in a network namespace of its own with a
  # loopback and a veth pair that nothing else on the machine sends over (NETNS=0: the
  # machine's own adapters).
  quiet=()
  if [[ ${NETNS:-1} == 1 ]] && unshare --net true 2>/dev/null && command -v ip >/dev/null; then
    quiet=(unshare --net sh -c 'ip link set lo up && ip link add eth0 type veth peer name eth1 && ip link set eth0 up && exec "$0" "$@"')
    echo "each in a network namespace of its own (lo and a veth pair)" >&2
  fi
  "${quiet[@]}" "$build/kelvanto" --service >"$tmp/out.txt" 2>&1 &
  pid=$!
  pids+=($pid)
  "${quiet[@]}" "$reference" &
  ref=$!
  pids+=($ref)
  sleep 5
  kill -0 "$pid" 2>/dev/null || { echo "the program ended early:" >&2; cat "$tmp/out.txt" >&2; exit 1; }
  bash "$measure" "$ref" "$secs" >"$tmp/reference.txt" &
  other=$!
  mine=$(bash "$measure" "$pid" "$secs")
  wait "$other"
  echo "mode=$mode $mine"
  echo "mode=reference $(cat "$tmp/reference.txt")"
  sed 's/^/  /' "$tmp/out.txt" >&2
  exit 0
fi

start_desktop
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
# No session bus: the tray icon goes to the desktop's notification area.
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/kelvanto-bench-bus
settle=8
if [[ $mode == desktop-windows ]]; then
  export KELVANTO_WINDOW_TOUR=1
  settle=$((settle + 8))  # the tour takes 7 s
fi
"$build/kelvanto" >"$tmp/out.txt" 2>&1 &
pid=$!
pids+=($pid)
mkdir -p "$tmp/gkrellm-home"
HOME=$tmp/gkrellm-home gkrellm >/dev/null 2>&1 &
gk=$!
pids+=($gk)
# gkrellm greets a new user with a dialog; the user closes it.
if w=$(timeout 10 xdotool search --sync --onlyvisible --name '^GKrellM Introduction$' 2>/dev/null | head -n 1); then
  xdotool windowactivate --sync "$w" key --clearmodifiers Return 2>/dev/null || true
fi
sleep "$settle"
kill -0 "$pid" 2>/dev/null || { echo "the program ended early:" >&2; cat "$tmp/out.txt" >&2; exit 1; }
kill -0 "$gk" 2>/dev/null || { echo "gkrellm ended early" >&2; exit 1; }
[[ -z ${SHOT:-} ]] || import -window root "$SHOT"
bash "$measure" "$gk" "$secs" >"$tmp/gkrellm.txt" &
other=$!
mine=$(bash "$measure" "$pid" "$secs")
wait "$other"
echo "mode=$mode $mine"
echo "mode=$mode $(cat "$tmp/gkrellm.txt")"
