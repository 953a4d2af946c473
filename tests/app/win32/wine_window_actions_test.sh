#!/bin/bash
# kelvanto.exe's window as a user works it, under Wine with a window manager and a tray:
# started with /minimized it shows only the tray icon; the icon brings the window; a double
# click takes its frame away and gives it back; a shortcut key says in a note what it
# changed; an alert rule fired by real traffic shows its message window and runs its
# program; the end of the session ends the run in order with the traffic logged; started
# again with the see-through background, the desktop shows through it.
# Usage: wine_window_actions_test.sh BUILD_DIR EXE
set -u
subnet=4 tools="import display convert"
. "$(dirname "$0")/wine_desktop.sh"
width_of() { xwininfo -id "$1" | awk '/^  Width/ {print $2}'; }

# The rule, in its file layout: "When the transfer rate of adapter 2 (the veth end; 1 is the
# loopback) down + up reaches 100 KB/s (each time), run cmd.exe writing a file, and show a
# notification" (the program's message window on Windows).
ran_unix="$work/ran.txt"
ran_windows="Z:$(echo "$ran_unix" | tr / '\\')"
"$python" - "$KELVANTO_HOME/Stats" "$ran_windows" << 'PY' || fail "the rule files were not written"
import struct, sys
folder, ran = sys.argv[1], sys.argv[2]
def text(s):
    b = s.encode("latin-1")
    return struct.pack("<H", len(b)) + b
values = [[("", "")] * 10 for _ in range(11)]  # [part][slot]
values[0][0:4] = [("2", "2"), ("down + up", "2"), ("100 KB/s", "100|3"), ("each time", "1")]
values[3][0:2] = [("cmd.exe", r"C:\windows\system32\cmd.exe"), ("echo", '/c echo ran> "%s"' % ran)]
actions = [0] * 10
actions[2] = actions[7] = 255
record = text("Busy") + bytes([255]) + struct.pack("<H", 2) + bytes(actions)
for slot in range(10):
    for part in range(11):
        record += text(values[part][slot][0]) + text(values[part][slot][1])
open(folder + "/Rule1.dat", "wb").write(record)
open(folder + "/Rules.dat", "wb").write(struct.pack("<i", 1))
PY

setting WindowX 100
setting WindowY 80
wine "$exe" /minimized > "$work/run.out" 2>&1 &
program=$!

# Minimised at the start: the icon docks, the window stays hidden until the icon is clicked.
docked_icon 300 || fail "/minimized: no icon docked in the notification area"
sleep 1.5
[ -z "$(visible '^Kelvanto$')" ] || fail "/minimized: the window shows at the start"
xdotool mousemove --window "$icon" 8 8 click 1
wait_for '[ -n "$(visible ^Kelvanto$)" ]' 50 || fail "/minimized: a click on the icon did not bring the window"
window=$(visible '^Kelvanto$')
sleep 1
# A double click on the content takes the frame away (the client area grows to the whole
# 199 pixels) and stores it; a second one brings the frame back.
framed=$(width_of "$window")
xdotool mousemove --window "$window" 90 150 click --repeat 2 --delay 80 1
sleep 1
[ "$(width_of "$window")" = 199 ] || fail "double click: the window is $(width_of "$window") wide, not 199 without its frame"
[ "$(stored Border)" = 0 ] || fail "double click: no frame was not stored (Border '$(stored Border)')"
xdotool mousemove --window "$window" 90 150 click --repeat 2 --delay 80 1
sleep 1
[ "$(width_of "$window")" = "$framed" ] || fail "second double click: the frame did not come back"
[ "$(stored Border)" = 1 ] || fail "second double click: the frame was not stored"

# A shortcut key: its note shows beside the window (a window of the program's own beside the
# main window) and goes after three seconds.
count_windows() { xdotool search --onlyvisible --class kelvanto.exe 2> /dev/null | wc -l; }
before=$(count_windows)
xdotool windowactivate --sync "$window" > /dev/null 2>&1
xdotool key --window "$window" s
wait_for '[ "$(count_windows)" -gt "$before" ]' 20 || fail "the S key showed no note"
sleep 3.5
[ "$(count_windows)" = "$before" ] || fail "the note of the S key stayed longer than three seconds"

# Traffic through the veth pair fires the rule: its message window shows, its program runs.
ip netns exec $peer "$python" - "$work/sink.ready" << 'PY' &
import socket, sys
s = socket.create_server(("10.78.4.2", 5004))
s.settimeout(30)
open(sys.argv[1], "w").close()
c, _ = s.accept()
while c.recv(65536):
    pass
PY
wait_for '[ -f "$work/sink.ready" ]' 100 || fail "the peer did not listen"
ip netns exec "$ns" "$python" -c '
import socket, time
c = socket.create_connection(("10.78.4.2", 5004))
end = time.time() + 4
while time.time() < end:
    c.sendall(b"x" * 65536)
    time.sleep(0.01)' || fail "the traffic did not reach the peer"
wait_for '[ -n "$(visible ^Error$)" ]' 50 || fail "the rule's notification showed no message window"
wait_for '[ -f "$ran_unix" ]' 50 || fail "the rule's program did not run"
grep -q ran "$ran_unix" || fail "the rule's program wrote '$(cat "$ran_unix")'"

# The session ends: the run ends in order, its traffic logged.
wine wineboot --end-session > "$work/end.out" 2>&1
wait_for '! kill -0 $program 2> /dev/null' 150 || fail "the end of the session did not end the program"
wait $program || fail "the end of the session ended the program with status $?"
wine "$exe" --report totals --json > "$work/report.json" 2> "$work/report.err" || fail "no report: $(cat "$work/report.err")"
"$python" - "$work/report.json" "$a" << 'PY' || fail "the traffic was not logged at the end of the session: $(cat "$work/report.json")"
import json, sys
rows = [r for r in json.load(open(sys.argv[1]))["rows"] if r["interface"] == sys.argv[2]]
# 4 s of 64 KiB writes every 10 ms put well over 10 MB through the veth pair.
sys.exit(0 if rows and rows[0]["upload"] > 10_000_000 else 1)
PY
# The see-through background: the graph's background pixels show the desktop behind.
setting TransBack 1
convert -size 1024x768 xc:'#30a030' "$work/desktop.png" && display -window root "$work/desktop.png" &
wine "$exe" > "$work/keyed.out" 2>&1 &
program=$!
wait_for '[ -n "$(visible ^Kelvanto$)" ]' 100 || fail "see-through background: no window"
window=$(visible '^Kelvanto$')
sleep 2
import -window root "$work/seen.png"
read -r wx wy wh <<< "$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
  /^  Height/ {h=$2} END {print x, y, h}')"
seen=$(convert "$work/seen.png" -format "%[pixel:p{$((wx + 95)),$((wy + wh - 40))}]" info:)
[ "$seen" = "srgb(48,160,48)" ] || fail "see-through background: the graph's background shows $seen, not the desktop"
wine taskkill /im kelvanto.exe > /dev/null 2>&1
wait_for '! kill -0 $program 2> /dev/null' 100 || fail "see-through background: taskkill did not end the program"
echo "minimised start, tray click, frame toggle, key note, rule actions and session end as a user sees them"
exit 0
