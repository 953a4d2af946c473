#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop, a software centre and
# `man` will find there; then runs the installed program.
# Usage: install_test.sh BUILD_DIR VERSION
# Exits with 77 (skipped) where the tools that check the installed files are not installed.
set -uo pipefail

build_dir=$1
expected_version=$2
prefix=$(mktemp -d "${TMPDIR:-/tmp}/kelvanto-install-XXXXXX")
trap 'rm -rf "$prefix"' EXIT
failures=0

pass() { echo "PASS: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() {  # check DESCRIPTION COMMAND...
    local what=$1; shift
    local output
    if output=$("$@" 2>&1); then pass "$what"; else fail "$what"; echo "$output" | sed 's/^/    /'; fi
}
need_tool() {
    command -v "$1" >/dev/null || { echo "SKIP: '$1' is missing (Debian package $2; 'make test-deps' installs it)"; exit 77; }
}
need_tool desktop-file-validate desktop-file-utils
need_tool appstreamcli appstream
need_tool man man-db

if ! cmake --install "$build_dir" --prefix "$prefix" >"$prefix.log" 2>&1; then
    echo "FAIL: cmake --install"; sed 's/^/    /' "$prefix.log"; rm -f "$prefix.log"; exit 1
fi
rm -f "$prefix.log"
pass "cmake --install into $prefix"

share=$prefix/share
expected=(
    bin/kelvanto
    libexec/kelvanto/kelvanto-service
    share/applications/kelvanto.desktop
    share/metainfo/org.kelvanto.kelvanto.metainfo.xml
    share/icons/hicolor/scalable/apps/kelvanto.svg
    share/icons/hicolor/16x16/apps/kelvanto.png
    share/icons/hicolor/32x32/apps/kelvanto.png
    share/icons/hicolor/48x48/apps/kelvanto.png
    share/icons/hicolor/256x256/apps/kelvanto.png
    share/man/man1/kelvanto.1.gz
    share/doc/kelvanto/copyright
    share/doc/kelvanto/changelog.gz
)
for f in "${expected[@]}"; do
    if [ -f "$prefix/$f" ]; then pass "installed $f"; else fail "missing $f"; fi
done
[ -x "$prefix/bin/kelvanto" ] || fail "bin/kelvanto is not executable"

# Each PNG must really be the size its folder promises: width and height from the IHDR chunk.
png_size() { od -An -j16 -N8 -tu1 "$1" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}'; }
for size in 16 32 48 256; do
    f=$share/icons/hicolor/${size}x${size}/apps/kelvanto.png
    [ -f "$f" ] || continue
    got=$(png_size "$f")
    if [ "$got" = "${size}x${size}" ]; then pass "icon ${size}x${size} has that size"; else fail "icon ${size}x${size} is $got"; fi
done

desktop=$share/applications/kelvanto.desktop
metainfo=$share/metainfo/org.kelvanto.kelvanto.metainfo.xml
check "desktop-file-validate kelvanto.desktop" desktop-file-validate "$desktop"
check "appstreamcli validate --no-net" appstreamcli validate --no-net "$metainfo"

# The desktop entry starts the installed program by name and shows the installed icon; the
# metainfo points at that entry.
entry() { sed -n "s/^$1=//p" "$desktop" | head -1; }
[ "$(entry Exec | cut -d' ' -f1)" = kelvanto ] && pass "Exec names kelvanto" || fail "Exec is '$(entry Exec)'"
[ "$(entry Icon)" = kelvanto ] && pass "Icon is kelvanto" || fail "Icon is '$(entry Icon)'"
[ "$(entry Categories)" = "Network;Monitor;" ] && pass "Categories" || fail "Categories are '$(entry Categories)'"
grep -q '<launchable type="desktop-id">kelvanto.desktop</launchable>' "$metainfo" \
    && pass "metainfo launches kelvanto.desktop" || fail "metainfo does not launch kelvanto.desktop"

# The manual page renders without warnings and documents every command-line form and file.
man_text=$(LC_ALL=C MANWIDTH=200 man --warnings -l "$share/man/man1/kelvanto.1.gz" 2>"$prefix/man.err")
if [ -s "$prefix/man.err" ]; then fail "man page warnings"; sed 's/^/    /' "$prefix/man.err"; else pass "man page renders cleanly"; fi
for item in "/minimized" "-install" "-uninstall" "--report totals|daily|weekly|monthly|yearly" "--html" "--json" "--csv" \
            "--adapter N" "--help" "--version" "KELVANTO_HOME" "XDG_DATA_HOME/kelvanto" "Stats/" "Preset.ini" \
            "XDG_CONFIG_HOME/Kelvanto/Kelvanto.conf" "XDG_CONFIG_HOME/autostart/kelvanto.desktop" "KEYS"; do
    if grep -qF -- "$item" <<<"$man_text"; then pass "man page documents $item"; else fail "man page lacks $item"; fi
done

# The installed program runs, answering without a display or a data folder.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM KELVANTO_HOME="$prefix/home" \
          XDG_CONFIG_HOME="$prefix/config" "$prefix/bin/kelvanto" --version 2>&1)
status=$?
if [ $status -eq 0 ] && [ "$version" = "Kelvanto $expected_version" ]; then pass "installed kelvanto --version: $version"
else fail "installed kelvanto --version gave '$version' (exit $status)"; fi
[ ! -e "$prefix/home" ] && [ ! -e "$prefix/config" ] && pass "--version touched no folder" \
    || fail "--version created a data or settings folder"

# Without a display the installed program becomes the installed windowless one and logs.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM KELVANTO_HOME="$prefix/run-home" XDG_CONFIG_HOME="$prefix/config" \
    XDG_RUNTIME_DIR="$prefix" "$prefix/bin/kelvanto" >"$prefix/run.log" 2>&1 &
run_pid=$!
for _ in $(seq 100); do [ -e "$prefix/run-home/Stats/Stats.dat" ] && break; sleep 0.1; done
exe=$(readlink "/proc/$run_pid/exe")
kill "$run_pid" 2>/dev/null; wait "$run_pid"
[ "$exe" = "$prefix/libexec/kelvanto/kelvanto-service" ] && [ -e "$prefix/run-home/Stats/Stats.dat" ] \
    && pass "without a display the installed kelvanto-service logs" || fail "no windowless run: '$exe' $(cat "$prefix/run.log")"

if [ $failures -eq 0 ]; then echo "RESULT: install checks passed"; exit 0; fi
echo "RESULT: $failures install check(s) failed"
exit 1
