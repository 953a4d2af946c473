#!/bin/bash
# kelvanto.exe's window and tray icon as a user sees them, under Wine on the run's X server
# with a window manager (openbox) and a notification area (trayer): the window found by its
# title, where it was left and on top; its picture against the layout and colours of the
# frame the core draws; the tray icon docked, its picture changing with traffic over a veth
# pair; a restart at the same place; a place off every monitor brought back on screen, there
# translucent and without a frame. Usage: wine_window_test.sh BUILD_DIR EXE
set -u
subnet=3 tools="xprop import"
. "$(dirname "$0")/wine_desktop.sh"
pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }

# Starts the program and waits for its window; sets $window and $place ("X Y W H").
start() {
  wine "$2" > "$work/$1.out" 2>&1 &
  program=$!
  window=
  for _ in $(seq 300); do
    window=$(xdotool search --onlyvisible --name '^Kelvanto$' 2> /dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { cat "$work/$1.out"; fail "$1: no window titled Kelvanto"; }
  sleep 1.5  # its first second drawn
  place=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /^  Width/ {w=$2} /^  Height/ {h=$2} END {print x, y, w, h}')
}
# Closed as Windows closes a program; its window place is then stored.
stop() {
  for _ in $(seq 30); do
    kill -0 $program 2> /dev/null || break
    wine taskkill /im kelvanto.exe > /dev/null 2>&1
    sleep 1
  done
  kill -0 $program 2> /dev/null && fail "$1: the program did not end when it was closed"
}
# First start: placed where asked, framed, on top, the tray icon docked.
setting WindowX 120
setting WindowY 90
start first "$exe"
read -r x y w h <<< "$place"
[ "$w" = 191 ] || fail "first start: the window is $w pixels wide inside its 199-pixel frame"
[ $((x >= 120 && x <= 140 && y >= 90 && y <= 130)) = 1 ] || fail "first start: the window is at $x,$y, not at 120,90"
xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || fail "the window is not kept on top"
import -window "$window" "$work/window.png"
# The default items as the core lays them out: four sections of 52 pixels, each separator
# row in the separator colour with its highlight below, the graph filling the rest down to
# its baseline, all on the background colour.
for row in 50 102 154 206; do
  for col in 0 95 190; do
    [ "$(pixel "$work/window.png" $col $row)" = "srgb(190,190,255)" ] || fail "no separator at $col,$row"
    [ "$(pixel "$work/window.png" $col $((row + 1)))" = "srgb(245,245,255)" ] || fail "no highlight at $col,$((row + 1))"
  done
done
for at in "2 1" "100 48" "60 100" "95 260" "150 300"; do
  [ "$(pixel "$work/window.png" $at)" = "srgb(225,225,255)" ] || fail "not the background at $at"
done
case "$(pixel "$work/window.png" 95 $((h - 1)))" in
  "srgb(0,0,255)" | "srgb(255,0,0)") ;;
  *) fail "no quiet graph on the baseline" ;;
esac
docked_icon || fail "no icon docked in the notification area"

# Traffic through the veth pair: the bars rise.
ip netns exec $peer "$python" - "$work/sink.ready" << 'PY' &
import socket, sys
s = socket.create_server(("10.78.3.2", 5003))
s.settimeout(30)
open(sys.argv[1], "w").close()
c, _ = s.accept()
while c.recv(65536):
    pass
PY
for _ in $(seq 100); do [ -f "$work/sink.ready" ] && break; sleep 0.1; done
ip netns exec "$ns" "$python" -c '
import socket, time
c = socket.create_connection(("10.78.3.2", 5003))
end = time.time() + 5
while time.time() < end:
    c.sendall(b"x" * 65536)
    time.sleep(0.01)' &
sender=$!
sleep 3.5
import -window "$icon" "$work/icon-busy.png"
import -window "$window" "$work/window-busy.png"
wait $sender || fail "the traffic did not reach the peer"
# Quiet again: the bars fall back far below the peak the traffic set.
sleep 2.5
import -window "$icon" "$work/icon-quiet.png"
changed=$(compare -metric AE "$work/icon-quiet.png" "$work/icon-busy.png" null: 2>&1)
[ "${changed%% *}" -gt 4 ] 2> /dev/null || fail "the tray picture did not change with traffic ($changed pixels)"
changed=$(compare -metric AE "$work/window.png" "$work/window-busy.png" null: 2>&1)
[ "${changed%% *}" -gt 20 ] 2> /dev/null || fail "the window did not show the traffic ($changed pixels)"
# The keys: S switches the soft graph, stored at once.
soft=$(stored SoftGraph)
xdotool windowactivate --sync "$window" > /dev/null 2>&1
xdotool key --window "$window" s
sleep 1
[ "$(stored SoftGraph)" != "$soft" ] || fail "the S key did not switch the soft graph (still $soft)"
# Dragged by its content.
xdotool mousemove --window "$window" 100 150 mousedown 1 sleep 0.3 mousemove_relative 40 20 sleep 0.2 \
  mousemove_relative 60 30 sleep 0.3 mouseup 1
sleep 1
first=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
  /^  Width/ {w=$2} /^  Height/ {h=$2} END {print x, y, w, h}')
read -r x2 y2 _ <<< "$first"
[ $((x2 - x)) = 100 ] && [ $((y2 - y)) = 50 ] || fail "dragged by 100,50 from $x,$y, the window went to $x2,$y2"
# A left click on the tray icon hides the window; a second start brings it back and ends.
xdotool mousemove --window "$icon" 8 8 click 1
sleep 1
[ -z "$(xdotool search --onlyvisible --name '^Kelvanto$')" ] || fail "a click on the tray icon did not hide the window"
wine "$exe" > "$work/again.out" 2>&1 || fail "the second start failed"
sleep 1
[ -n "$(xdotool search --onlyvisible --name '^Kelvanto$')" ] || fail "a second start did not bring the window back"
# "Always on top" in the window's own menu (right button on the content) switches it off.
xdotool mousemove --window "$window" 90 120 click 3
sleep 1
xdotool key Up Up Return
sleep 1
xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE && fail "Always on top in the window's menu did not switch it off"
[ "$(stored 'Always on top')" = 0 ] || fail "Always on top switched off was not stored"
# A notification area started anew gets the icon again.
kill $tray
start_tray
docked_icon || fail "the icon did not come back to a notification area started anew"
# Exit from the tray icon's menu: the orderly shutdown, the place stored.
xdotool mousemove --window "$icon" 8 8 click 3
sleep 1
xdotool key x
for _ in $(seq 50); do kill -0 $program 2> /dev/null || break; sleep 0.1; done
kill -0 $program 2> /dev/null && fail "Exit in the tray menu did not end the program"
[ "$(stored WindowX)" = "$((120 + 100))" ] || fail "the dragged place was not stored (WindowX $(stored WindowX))"

# A restart opens at the same place.
start second "$exe"
[ "$place" = "$first" ] || fail "restarted at $place, left at $first"
stop second

# A place on a monitor that is gone comes back on screen; translucent, without a frame.
setting WindowX 5000
setting WindowY -3000
setting Transparency 50
setting Border 0
start third "$exe"
read -r x y w h <<< "$place"
[ $((x >= 0 && y >= 0 && x + w <= 1024 && y + h <= 768)) = 1 ] || fail "off every monitor: the window is at $place"
[ "$w" = 199 ] || fail "without a frame the window is $w pixels wide, not 199"
opacity=$(xprop -id "$window" _NET_WM_WINDOW_OPACITY | awk '{print $3}')
[ -n "$opacity" ] && [ $((opacity / 16777216)) = 128 ] || fail "50 % translucency shows as opacity '$opacity'"
if command -v xcompmgr > /dev/null; then
  # Composited, the background colour (225, 225, 255) comes out half way to the desktop's.
  xcompmgr > /dev/null 2>&1 &
  compositor=$!
  # The compositor takes a moment to pick the window up: a few pictures, the last one counts.
  blended() {
    import -window root "$work/translucent.png"
    seen=$(pixel "$work/translucent.png" $((x + 150)) $((y + 300)))
    desk=$(pixel "$work/translucent.png" $((x - 30)) $((y + 300)))
    "$python" -c '
import re, sys
seen, desk = ([int(v) for v in re.findall(r"\d+", a)] for a in sys.argv[1:3])
sys.exit(0 if all(abs(s - (b + d) / 2) <= 2 for s, b, d in zip(seen, (225, 225, 255), desk)) else 1)' "$seen" "$desk"
  }
  sleep 1
  wait_for blended 8
  ok=$?
  kill $compositor
  [ $ok = 0 ] || fail "50 % translucent, the background shows as $seen over the desktop's $desk"
fi
stop third
echo "window at $first, then on screen at $place; tray picture and window changed with traffic"
exit 0
