#!/usr/bin/env bash
# Builds the Debian package into a temporary folder and checks it the way Debian would:
# control fields, contents, lintian (no errors) and the packaged desktop entry.
# Usage: package_test.sh BUILD_DIR VERSION
# Exits with 77 (skipped) where the Debian packaging tools are not installed.
set -uo pipefail

build_dir=$1
version=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/kelvanto-package-XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0

pass() { echo "PASS: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
for tool in cpack:cmake dpkg-deb:dpkg dpkg-shlibdeps:dpkg-dev lintian:lintian desktop-file-validate:desktop-file-utils; do
    command -v "${tool%%:*}" >/dev/null \
        || { echo "SKIP: '${tool%%:*}' is missing (Debian package ${tool#*:}; 'make test-deps' installs it)"; exit 77; }
done

if ! (cd "$work" && cpack --config "$build_dir/CPackConfig.cmake" -B "$work/out") >"$work/cpack.log" 2>&1; then
    echo "FAIL: cpack"; sed 's/^/    /' "$work/cpack.log"; exit 1
fi
deb=$(ls "$work"/out/kelvanto_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || { echo "FAIL: cpack made no kelvanto_*.deb"; sed 's/^/    /' "$work/cpack.log"; exit 1; }
pass "built $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = kelvanto ] && pass "Package: kelvanto" || fail "Package is '$(field Package)'"
[[ "$(basename "$deb")" == kelvanto_${version}_*.deb ]] && pass "file name carries version $version" || fail "file name $(basename "$deb")"
# The Qt runtime comes in through the shared-library dependencies.
for dep in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6; do
    if field Depends | grep -q "\b$dep\b"; then pass "Depends on $dep"; else fail "Depends lacks $dep: $(field Depends)"; fi
done

contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/kelvanto ./usr/share/applications/kelvanto.desktop \
         ./usr/share/metainfo/org.kelvanto.kelvanto.metainfo.xml \
         ./usr/share/icons/hicolor/scalable/apps/kelvanto.svg ./usr/share/icons/hicolor/16x16/apps/kelvanto.png \
         ./usr/share/man/man1/kelvanto.1.gz ./usr/share/doc/kelvanto/copyright; do
    if grep -qF " $f" <<<"$contents"; then pass "packaged $f"; else fail "package lacks $f"; fi
done
if grep -v ' root/root ' <<<"$contents" | grep -q .; then fail "files not owned by root"; else pass "all files owned by root"; fi

if lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1; then pass "lintian: no errors"
else fail "lintian reports errors"; fi
grep -v 'root privileges' "$work/lintian.log" | sed 's/^/    /'

mkdir -p "$work/root"
dpkg-deb -x "$deb" "$work/root"
if out=$(desktop-file-validate "$work/root/usr/share/applications/kelvanto.desktop" 2>&1); then
    pass "packaged desktop entry validates"
else fail "packaged desktop entry"; echo "$out" | sed 's/^/    /'; fi
# The packaged (stripped) program still runs.
if [ "$("$work/root/usr/bin/kelvanto" --version 2>&1)" = "Kelvanto $version" ]; then pass "packaged kelvanto --version"
else fail "packaged kelvanto --version"; fi

if [ $failures -eq 0 ]; then echo "RESULT: package checks passed"; exit 0; fi
echo "RESULT: $failures package check(s) failed"
exit 1
