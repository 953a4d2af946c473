# Sourced by the window tests: kelvanto.exe under Wine on the run's X server with a window
# manager (openbox) and a notification area (trayer), a data folder of the test's own and a
# veth pair from Wine's network namespace to a peer namespace with 10.78.$subnet.1 and .2.
# Sets: build run python ns work exe; helpers wine fail setting stored visible wait_for
# docked_icon (sets $icon), start_tray (sets $tray). Arguments: BUILD_DIR EXE; the caller
# sets `subnet` and `tools` (what it needs besides openbox, trayer, xdotool, xwininfo).
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$1
run="$here/../../platform/win32/wine_run.sh"
python=${KELVANTO_PYTHON:-/usr/bin/python3}
ns=$(bash "$run" namespace "$build") || exit 1
[ -n "$ns" ] || { echo "Wine runs without a network namespace of its own (not root): skipped"; exit 77; }
DISPLAY=$(bash "$run" display "$build")
[ -n "$DISPLAY" ] || { echo "Wine runs without a display (no Xvfb): skipped"; exit 77; }
export DISPLAY
for tool in openbox trayer xdotool xwininfo $tools; do
  command -v $tool > /dev/null || { echo "$tool is missing: skipped"; exit 77; }
done
work=$(mktemp -d)
export KELVANTO_HOME="$work/home"
mkdir -p "$KELVANTO_HOME/Stats"
peer=kvp$subnet$$ a=kva$subnet$$ b=kvb$subnet$$
cleanup() {
  wine taskkill /f /im kelvanto.exe > /dev/null 2>&1
  for p in $(jobs -p); do kill "$p" 2> /dev/null; done
  wait 2> /dev/null
  wine reg delete 'HKCU\software\Kelvanto' /f > /dev/null 2>&1
  ip netns del $peer 2> /dev/null
  ip -n "$ns" link del $a 2> /dev/null
  [ -n "${KELVANTO_KEEP:-}" ] && cp -r "$work" "$KELVANTO_KEEP"
  rm -rf "$work"
}
trap cleanup EXIT
wine() { ip netns exec "$ns" bash "$run" exec "$build" "$@"; }
fail() { echo "FAIL: $*"; exit 1; }
setting() { wine reg add 'HKCU\software\Kelvanto' /v "$1" /d "$2" /f > /dev/null 2>&1 || fail "reg add $1"; }
stored() { wine reg query 'HKCU\software\Kelvanto' /v "$1" 2> /dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p"; }
visible() { xdotool search --onlyvisible --name "$1" 2> /dev/null | head -1; }
# Waits up to $2 tenths of a second for the command $1 to succeed.
wait_for() { for _ in $(seq "$2"); do eval "$1" && return 0; sleep 0.1; done; return 1; }
# Waits (up to $1 tenths of a second, else 5 s) for the program's icon in the tray's panel;
# sets $icon.
docked_icon() {
  icon=
  for _ in $(seq ${1:-50}); do
    panel=$(xdotool search --name '^panel$' | head -1)
    [ -n "$panel" ] && icon=$(xwininfo -tree -id "$panel" 2> /dev/null | awk '/explorer.exe|kelvanto.exe/ {print $1; exit}')
    [ -n "$icon" ] && return 0
    sleep 0.1
  done
  return 1
}
start_tray() {
  trayer --edge bottom --align right --widthtype pixel --width 200 --height 24 --transparent false \
    --tint 0x333333 > /dev/null 2>&1 &
  tray=$!
  sleep 0.5
}

ip netns add $peer && ip -n $peer link set lo up &&
  ip -n "$ns" link add $a type veth peer name $b netns $peer &&
  ip -n "$ns" addr add 10.78.$subnet.1/24 dev $a && ip -n $peer addr add 10.78.$subnet.2/24 dev $b &&
  ip -n "$ns" link set $a up && ip -n $peer link set $b up || exit 1
openbox > /dev/null 2>&1 &
sleep 0.5
start_tray
wine reg delete 'HKCU\software\Kelvanto' /f > /dev/null 2>&1
exe="$work/kelvanto.exe"
cp "$2" "$exe" || exit 1
