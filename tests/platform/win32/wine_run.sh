#!/bin/bash
# The Wine prefix of one test run of the Windows build.
#   wine_run.sh make BUILD_DIR            makes the prefix (wineboot), a network namespace
#                                         with loopback up that all Wine networking runs in,
#                                         and an X server (Xvfb) for Wine's windows
#   wine_run.sh exec BUILD_DIR PROGRAM... runs a Windows program in that prefix
#   wine_run.sh namespace|display BUILD_DIR   prints the namespace or the display (or nothing)
#   wine_run.sh remove BUILD_DIR          stops its wineserver and X server, removes prefix
#                                         and namespace
# Wine creates sockets and reads the interface table in its wineserver, so starting that
# inside the namespace keeps the Windows tests' traffic in a namespace the run made. Without
# root the prefix is made without a namespace (and the tests that need one are skipped).
set -u
action=$1
state=$2/wine-prefix.state
WINE=${KELVANTO_WINE:-/usr/lib/wine/wine64}
WINESERVER=${KELVANTO_WINESERVER:-/usr/lib/wine/wineserver}
export WINEDEBUG=-all
# Shortcuts an installer makes stay in the prefix: no menu entries on the machine running the tests.
export WINEDLLOVERRIDES="winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"

read_state() {
  [ -f "$state" ] || { echo "no Wine prefix: run the test win32.prefix.make first" >&2; exit 1; }
  WINEPREFIX=$(sed -n 1p "$state")
  namespace=$(sed -n 2p "$state")
  display=$(sed -n 3p "$state")
  xvfb=$(sed -n 4p "$state")
  export WINEPREFIX
  [ -n "$display" ] && export DISPLAY=$display
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
    # An X server of the run's own: Wine makes top-level windows (and so lets a program be
    # closed as Windows closes it: WM_CLOSE from taskkill, the end of the session) only with
    # a display. Without Xvfb the programs run without one.
    display= xvfb=
    if command -v Xvfb > /dev/null; then
      exec 3< <(Xvfb -displayfd 1 -nolisten tcp -screen 0 1024x768x24 2> /dev/null)
      xvfb=$!
      read -r -t 10 number <&3 && display=:$number || xvfb=
      [ -n "$display" ] && export DISPLAY=$display
    fi
    printf '%s\n%s\n%s\n%s\n' "$WINEPREFIX" "$namespace" "$display" "$xvfb" > "$state"
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
  display)
    read_state
    echo "$display"
    ;;
  remove)
    read_state
    "$WINESERVER" -k 2> /dev/null
    "$WINESERVER" -w 2> /dev/null
    [ -n "$namespace" ] && ip netns del "$namespace" 2> /dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2> /dev/null
    case "$WINEPREFIX" in */kelvanto-wine-*) rm -rf "$WINEPREFIX" ;; esac
    rm -f "$state"
    ;;
  *)
    echo "usage: wine_run.sh make|exec|namespace|display|remove BUILD_DIR [PROGRAM ARGS...]" >&2
    exit 2
    ;;
esac
