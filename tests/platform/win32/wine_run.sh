#!/bin/bash
# The Wine prefix of one test run of the Windows build.
#   wine_run.sh make BUILD_DIR            makes the prefix (wineboot) and a network namespace
#                                         with loopback up that all Wine networking runs in
#   wine_run.sh exec BUILD_DIR PROGRAM... runs a Windows program in that prefix
#   wine_run.sh remove BUILD_DIR          stops its wineserver, removes prefix and namespace
# Wine creates sockets and reads the interface table in its wineserver, so starting that
# inside the namespace keeps the Windows tests' traffic in a namespace the run made. Without
# root the prefix is made without a namespace (and the tests that need one are skipped).
set -u
action=$1
state=$2/wine-prefix.state
WINE=${KELVANTO_WINE:-/usr/lib/wine/wine64}
WINESERVER=${KELVANTO_WINESERVER:-/usr/lib/wine/wineserver}
export WINEDEBUG=-all

read_state() {
  [ -f "$state" ] || { echo "no Wine prefix: run the test win32.prefix.make first" >&2; exit 1; }
  WINEPREFIX=$(sed -n 1p "$state")
  namespace=$(sed -n 2p "$state")
  export WINEPREFIX
}

in_namespace() {
  if [ -n "$namespace" ]; then ip netns exec "$namespace" "$@"; else "$@"; fi
}

case "$action" in
  make)
    [ -f "$state" ] && "$0" remove "$2"
    WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/kelvanto-wine-XXXXXX")
    export WINEPREFIX
    namespace=kvwine$$
    if ip netns add "$namespace" 2>/dev/null; then
      ip -n "$namespace" link set lo up
    else
      namespace=
    fi
    printf '%s\n%s\n' "$WINEPREFIX" "$namespace" > "$state"
    # A server that stays when its last program ends: every later start is quick.
    in_namespace "$WINESERVER" -p < /dev/null > /dev/null 2>&1
    in_namespace "$WINE" wineboot -i > /dev/null 2>&1 || { echo "wineboot failed" >&2; exit 1; }
    ;;
  exec)
    read_state
    shift 2
    exec "$WINE" "$@"
    ;;
  namespace)
    read_state
    echo "$namespace"
    ;;
  remove)
    read_state
    "$WINESERVER" -k 2> /dev/null
    "$WINESERVER" -w 2> /dev/null
    [ -n "$namespace" ] && ip netns del "$namespace" 2> /dev/null
    case "$WINEPREFIX" in */kelvanto-wine-*) rm -rf "$WINEPREFIX" ;; esac
    rm -f "$state"
    ;;
  *)
    echo "usage: wine_run.sh make|exec|namespace|remove BUILD_DIR [PROGRAM ARGS...]" >&2
    exit 2
    ;;
esac
