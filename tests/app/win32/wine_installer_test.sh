#!/bin/bash
# The installer as a user runs it, silently under Wine. For the current user with autostart:
# the program, its uninstaller, the Start menu entry, the uninstall entry and the autostart
# entry land where they belong; the installed program runs from there and keeps its logs
# beside itself; the uninstaller removes program and entries and keeps the logs. Then for all
# users: into Program Files with the machine's uninstall entry, and out again.
# Usage: wine_installer_test.sh BUILD_DIR SETUP_EXE VERSION
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$1 setup=$2 version=$3
run="$here/../../platform/win32/wine_run.sh"
[ -n "$(bash "$run" display "$build")" ] || { echo "Wine runs without a display (no Xvfb): skipped"; exit 77; }
[ -f "$setup" ] || { echo "no installer (makensis missing): skipped"; exit 77; }
ns=$(bash "$run" namespace "$build")
prefix=$(sed -n 1p "$build/wine-prefix.state")
unset KELVANTO_HOME
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelvanto'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
wine() {
  if [ -n "$ns" ]; then ip netns exec "$ns" bash "$run" exec "$build" "$@"; else bash "$run" exec "$build" "$@"; fi
}
fail() { echo "FAIL: $*"; exit 1; }
value() { wine reg query "$1" /v "$2" 2> /dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }
unix_path() { wine winepath -u "$1" 2> /dev/null | tr -d '\r'; }
# The uninstaller runs on from a copy of itself: it is done when the program file is gone.
gone() { for _ in $(seq 100); do [ -e "$1" ] || return 0; sleep 0.2; done; return 1; }
installed=""
cleanup() {
  wine taskkill /f /im kelvanto.exe > /dev/null 2>&1
  [ -n "$installed" ] && rm -rf "$installed"
  wine reg delete 'HKCU\software\Kelvanto' /f > /dev/null 2>&1
  wine reg delete "$run_key" /v Kelvanto /f > /dev/null 2>&1
  wine reg delete "HKCU\\$uninstall_key" /f > /dev/null 2>&1
  wine reg delete "HKLM\\$uninstall_key" /f > /dev/null 2>&1
}
trap cleanup EXIT

wine "$setup" /S /CurrentUser /AUTOSTART || fail "the installer failed"
location=$(value "HKCU\\$uninstall_key" InstallLocation)
[ -n "$location" ] || fail "no uninstall entry for the current user"
[ "$(value "HKCU\\$uninstall_key" DisplayVersion)" = "$version" ] || fail "the uninstall entry is not version $version"
installed=$(unix_path "$location")
[ -f "$installed/kelvanto.exe" ] && [ -f "$installed/uninstall.exe" ] || fail "nothing installed in $location"
case "$location" in [Cc]:\\users\\*) ;; *) fail "a per-user install outside the user's folder: $location" ;; esac
menu=$(find "$prefix/drive_c/users" -path '*Start Menu/Programs/Kelvanto/Kelvanto.lnk' | head -n 1)
[ -n "$menu" ] || fail "no Start menu entry"
case "$(value "$run_key" Kelvanto)" in
  "\"$location\\kelvanto.exe\" /minimized") ;;
  *) fail "no autostart entry for the installed program: $(value "$run_key" Kelvanto)" ;;
esac

# The installed program answers and logs beside itself until it is closed in order.
wine "$location\\kelvanto.exe" --version | tr -d '\r' | grep -q "$version" || fail "the installed program does not run"
wine "$location\\kelvanto.exe" --no-window > /dev/null 2>&1 &
for _ in $(seq 100); do [ -f "$installed/Stats/Adapters.txt" ] && break; sleep 0.2; done
wine taskkill /im kelvanto.exe > /dev/null 2>&1
wait
[ -f "$installed/Stats/Stats.dat" ] || fail "the installed program kept no logs beside itself"

wine "$installed/uninstall.exe" /S /CurrentUser
gone "$installed/kelvanto.exe" || fail "the uninstaller left the program"
gone "$menu" || fail "the uninstaller left the Start menu entry"
[ -z "$(value "HKCU\\$uninstall_key" InstallLocation)" ] || fail "the uninstall entry stayed"
[ -z "$(value "$run_key" Kelvanto)" ] || fail "the autostart entry stayed"
[ -f "$installed/Stats/Stats.dat" ] || fail "the silent uninstaller deleted the logs"
rm -rf "$installed"

wine "$setup" /S /AllUsers || fail "the installer failed for all users"
location=$(value "HKLM\\$uninstall_key" InstallLocation)
installed=$(unix_path "$location")
case "$location" in *"Program Files"*) ;; *) fail "an install for all users outside Program Files: $location" ;; esac
[ -f "$installed/kelvanto.exe" ] || fail "nothing installed in $location"
[ -z "$(value "$run_key" Kelvanto)" ] || fail "autostart without being asked for"
wine "$installed/uninstall.exe" /S /AllUsers
gone "$installed/kelvanto.exe" || fail "the uninstaller left the program of all users"
[ -z "$(value "HKLM\\$uninstall_key" InstallLocation)" ] || fail "the machine's uninstall entry stayed"
echo "installed for the user and for all users, ran from there, uninstalled with the logs kept"
