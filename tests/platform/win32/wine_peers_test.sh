#!/bin/bash
# The Windows tests with peers, in the namespace of the run's Wine: a veth pair to a peer
# namespace with a TCP peer (4 MiB in, 1 MiB back), and an SMTP server with STARTTLS whose
# certificate names "localhost". Usage: wine_peers_test.sh BUILD_DIR TEST_PROGRAM
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$1
program=$2
run="$here/wine_run.sh"
python=${KELVANTO_PYTHON:-/usr/bin/python3}  # Debian's, with Debian's aiosmtpd
ns=$(bash "$run" namespace "$build") || exit 1
[ -n "$ns" ] || { echo "Wine runs without a network namespace of its own (not root): skipped"; exit 77; }
"$python" -c 'import aiosmtpd' 2> /dev/null || { echo "python3-aiosmtpd is not installed: skipped"; exit 77; }

work=$(mktemp -d)
peer=kvwp$$ a=kvwa$$ b=kvwb$$
cleanup() {
  for p in $(jobs -p); do kill "$p" 2> /dev/null; done
  wait 2> /dev/null
  ip netns del $peer 2> /dev/null
  ip -n "$ns" link del $a 2> /dev/null
  rm -rf "$work"
}
trap cleanup EXIT
ip netns add $peer && ip -n $peer link set lo up &&
  ip -n "$ns" link add $a type veth peer name $b netns $peer &&
  ip -n "$ns" addr add 10.78.1.1/24 dev $a && ip -n $peer addr add 10.78.1.2/24 dev $b &&
  ip -n "$ns" link set $a up && ip -n $peer link set $b up || exit 1

ip netns exec $peer "$python" - "$work/sink.ready" << 'PY' &
import socket, sys
s = socket.create_server(("10.78.1.2", 5001))
s.settimeout(60)
open(sys.argv[1], "w").close()
c, _ = s.accept()
got = 0
while got < 4 << 20:
    b = c.recv(65536)
    if not b:
        break
    got += len(b)
c.sendall(b"x" * (1 << 20))
c.close()
PY

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=localhost -addext subjectAltName=DNS:localhost \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2> /dev/null || exit 1
ip netns exec "$ns" "$python" - "$work" << 'PY' &
import ssl, sys, time
from aiosmtpd.controller import Controller
work = sys.argv[1]
class Keep:
    async def handle_DATA(self, server, session, envelope):
        with open(work + "/mail.txt", "ab") as f:
            f.write(("TLS " if session.ssl else "PLAIN ").encode() + envelope.content + b"\n")
        return "250 OK"
tls = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
tls.load_cert_chain(work + "/cert.pem", work + "/key.pem")
Controller(Keep(), hostname="127.0.0.1", port=2525, tls_context=tls).start()
open(work + "/smtp.ready", "w").close()
time.sleep(120)
PY

for _ in $(seq 100); do [ -f "$work/sink.ready" ] && [ -f "$work/smtp.ready" ] && break; sleep 0.1; done
KELVANTO_TEST_INTERFACE=$a KELVANTO_TEST_SINK=10.78.1.2:5001 KELVANTO_TEST_SMTP_PORT=2525 \
  KELVANTO_TEST_CA="$work/cert.pem" ip netns exec "$ns" bash "$run" exec "$build" "$program" --gtest_filter='WithPeers.*'
status=$?
# The one mail that went out arrived over TLS, whole.
delivered=$(grep -c "Traffic over the limit on localhost" "$work/mail.txt" 2> /dev/null)
if [ $status -eq 0 ] && { [ "$delivered" != 1 ] || ! grep -q "^TLS " "$work/mail.txt"; }; then
  echo "expected one mail over TLS at the peer, got:"; cat "$work/mail.txt" 2> /dev/null
  status=1
fi
exit $status
