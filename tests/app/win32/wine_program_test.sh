#!/bin/bash
# kelvanto.exe as a user runs it, under Wine in the namespace of the run's Wine: a portable
# copy in a folder named in Cyrillic with an umlaut logs a veth pair that appears while it
# runs, with real TCP traffic to a peer namespace; closed in order (taskkill), its logs are
# read back with --report and compared with the kernel's counters; its settings are read back
# from the registry; then the same copy as a service of the service control manager: installed,
# started, stopped with its logs saved, removed. Usage: wine_program_test.sh BUILD_DIR EXE
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$1
run="$here/../../platform/win32/wine_run.sh"
python=${KELVANTO_PYTHON:-/usr/bin/python3}
ns=$(bash "$run" namespace "$build") || exit 1
[ -n "$ns" ] || { echo "Wine runs without a network namespace of its own (not root): skipped"; exit 77; }
[ -n "$(bash "$run" display "$build")" ] || { echo "Wine runs without a display (no Xvfb): skipped"; exit 77; }
unset KELVANTO_HOME

work=$(mktemp -d)
folder="$work/Программа Jörg"
mkdir -p "$folder" && cp "$2" "$folder/kelvanto.exe" || exit 1
peer=kvxp$$ a=kvxa$$ b=kvxb$$
cleanup() {
  wine taskkill /f /im kelvanto.exe > /dev/null 2>&1
  for p in $(jobs -p); do kill "$p" 2> /dev/null; done
  wait 2> /dev/null
  wine sc stop Kelvanto > /dev/null 2>&1
  wine sc delete Kelvanto > /dev/null 2>&1
  # The prefix is shared with the platform tests, which expect the key empty.
  wine reg delete 'HKCU\software\Kelvanto' /f > /dev/null 2>&1
  ip netns del $peer 2> /dev/null
  ip -n "$ns" link del $a 2> /dev/null
  rm -rf "$work"
}
trap cleanup EXIT
wine() { ip netns exec "$ns" bash "$run" exec "$build" "$@"; }
fail() { echo "FAIL: $*"; exit 1; }
counter() { ip netns exec "$ns" cat "/sys/class/net/$a/statistics/$1"; }
# Bytes through the veth pair: OUT sent from Wine's side to the peer, IN back.
traffic() {
  ip netns exec $peer "$python" - "$work/sink.ready" "$2" << 'PY' &
import socket, sys
s = socket.create_server(("10.78.2.2", 5002))
s.settimeout(60)
open(sys.argv[1], "w").close()
c, _ = s.accept()
got = 0
while got < int(sys.argv[2]):
    b = c.recv(65536)
    if not b:
        break
    got += len(b)
c.sendall(b"y" * (int(sys.argv[2]) // 4))
c.close()
PY
  local sink=$!
  for _ in $(seq 100); do [ -f "$work/sink.ready" ] && break; sleep 0.1; done
  rm -f "$work/sink.ready"
  ip netns exec "$ns" "$python" -c '
import socket, sys
c = socket.create_connection(("10.78.2.2", 5002))
c.sendall(b"x" * int(sys.argv[1]))
got = 0
while got < int(sys.argv[1]) // 4:
    b = c.recv(65536)
    if not b:
        break
    got += len(b)
' "$2" || fail "$1: the peer did not answer"
  wait $sink
}
# In and out of adapter $a in the report, one line "IN OUT".
reported() {
  wine "$folder/kelvanto.exe" --report totals --json 2> "$work/report.err" | "$python" -c '
import json, sys
rows = [r for r in json.load(sys.stdin)["rows"] if r["interface"] == sys.argv[1]]
print(*(rows[0]["download"], rows[0]["upload"]) if rows else (0, 0))' "$a"
}
within() {  # within NAME KERNEL LOGGED: logged within 3 % of the kernel's count
  "$python" -c 'import sys; k, l = int(sys.argv[1]), int(sys.argv[2]); sys.exit(0 if abs(k - l) <= 0.03 * k else 1)' "$2" "$3" ||
    fail "$1: the kernel counted $2 bytes, the log holds $3"
}

# --help and --version on the console they were started from.
[ "$(wine "$folder/kelvanto.exe" --version)" = "Kelvanto $KELVANTO_VERSION" ] || fail "--version printed something else"
wine "$folder/kelvanto.exe" --help | grep -q "^Usage: kelvanto" || fail "--help printed no usage"

# The logging run. The veth pair comes after the start: Wine never delivers the interface
# change notices, so only the table's polling can find it.
# It synchronises the clock with a Time Protocol server of the test (the clock itself stays).
ip netns exec "$ns" "$python" - "$work/time.asked" << 'PY' &
import socket, sys, time
s = socket.create_server(("127.0.0.1", 3737))
s.settimeout(60)
c, _ = s.accept()
c.sendall(int(time.time() + 2208988800).to_bytes(4, "big"))
c.close()
open(sys.argv[1], "w").close()
PY
time_server=$!
wine reg add 'HKCU\software\Kelvanto' /v SyncAuto /d 1 /f > /dev/null 2>&1 || fail "reg add failed"
KELVANTO_TIME_HOST=127.0.0.1 KELVANTO_TIME_PORT=3737 KELVANTO_CLOCK_READONLY=1 \
  wine "$folder/kelvanto.exe" > "$work/run.out" 2>&1 &
logging=$!
for _ in $(seq 300); do [ -d "$folder/Stats" ] && break; sleep 0.1; done
[ -d "$folder/Stats" ] || fail "the logging run made no Stats folder beside the program"
ip netns add $peer && ip -n $peer link set lo up &&
  ip -n "$ns" link add $a type veth peer name $b netns $peer &&
  ip -n "$ns" addr add 10.78.2.1/24 dev $a && ip -n $peer addr add 10.78.2.2/24 dev $b &&
  ip -n "$ns" link set $a up && ip -n $peer link set $b up || exit 1
sleep 3
in0=$(counter rx_bytes) out0=$(counter tx_bytes)
traffic "desktop run" 6000000
sleep 2
in1=$(counter rx_bytes) out1=$(counter tx_bytes)
# Closed as Windows closes a program (WM_CLOSE to its windows), asked again while it runs.
for _ in $(seq 30); do
  kill -0 $logging 2> /dev/null || break
  wine taskkill /im kelvanto.exe > /dev/null 2>&1
  sleep 1
done
kill -0 $logging 2> /dev/null && { cat "$work/run.out"; fail "the logging run did not end when it was closed"; }
read -r got_in got_out < <(reported)
# Before the first counted second (at most 3 s of the link's own chatter) the adapter was new.
within "received in the logging run" $((in1 - in0)) "$got_in"
within "sent in the logging run" $((out1 - out0)) "$got_out"
[ -s "$folder/Stats/Adapters.txt" ] || fail "no Adapters.txt was saved"
wait $time_server
[ -f "$work/time.asked" ] || fail "the time server was never asked"
# What it stored under its registry key, read back as Windows tools read it.
wine reg query 'HKCU\software\Kelvanto' > "$work/reg.txt" 2>&1 || fail "no registry key HKCU\\software\\Kelvanto"
grep -q "REG_SZ" "$work/reg.txt" || { cat "$work/reg.txt"; fail "no string values under the key"; }
# The clock was not to be set, so no synchronisation is stored as done.
grep -q "SyncLast" "$work/reg.txt" && fail "a refused synchronisation was stored as done"

# The service: installed, started, logs the traffic, stopped with its logs saved, removed.
# Wine's service manager answers a moment late, now and then not at all (a second manager
# process may answer first): each step is asked again until it is seen done.
retry() { for _ in $(seq 20); do "$@" > /dev/null 2>&1 && return 0; sleep 0.5; done; return 1; }
service_is() { wine sc query Kelvanto 2> /dev/null | grep -q "$1"; }
registered() { wine reg query 'HKLM\System\CurrentControlSet\Services\Kelvanto' /v ImagePath 2> /dev/null; }
wine "$folder/kelvanto.exe" -install > "$work/install.out" 2>&1 || { cat "$work/install.out"; fail "-install failed"; }
registered | grep -q -- "--service" || fail "-install registered no service"
retry wine sc start Kelvanto
retry service_is RUNNING || fail "the service did not start"
sleep 3
in2=$(counter rx_bytes) out2=$(counter tx_bytes)
traffic "service" 3000000
sleep 2
in3=$(counter rx_bytes) out3=$(counter tx_bytes)
retry wine sc stop Kelvanto
retry service_is STOPPED || fail "the service did not stop"
read -r svc_in svc_out < <(reported)
within "received in the service run" $((in1 - in0 + in3 - in2)) "$svc_in"
within "sent in the service run" $((out1 - out0 + out3 - out2)) "$svc_out"
retry wine "$folder/kelvanto.exe" -uninstall || fail "-uninstall failed"
registered && fail "the service is still registered after -uninstall"
echo "logging run: in $got_in out $got_out; service: in $svc_in out $svc_out (of the kernel's $((in1 - in0 + in3 - in2)) / $((out1 - out0 + out3 - out2)))"
exit 0
