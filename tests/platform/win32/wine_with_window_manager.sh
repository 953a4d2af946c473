#!/usr/bin/env bash
# wine_with_window_manager.sh BUILD_DIR PROGRAM [ARGS...] -- runs a test program under Wine
# with a window manager (openbox) on Wine's X server, as windows are on a desktop. Without
# one, every window the dialogs' tests open and close waits on focus and placement that
# nobody answers, and the tests run five times slower. Tests that start their own window
# manager hold the same CTest resource lock, so the two never meet.
here=$(cd "$(dirname "$0")" && pwd)
build=$1
shift
display=$(bash "$here/wine_run.sh" display "$build")
wm=
if [ -n "$display" ] && command -v openbox > /dev/null; then
  DISPLAY=$display openbox > /dev/null 2>&1 &
  wm=$!
  sleep 0.5
fi
bash "$here/wine_run.sh" exec "$build" "$@"
status=$?
[ -n "$wm" ] && kill "$wm" 2> /dev/null
exit $status
