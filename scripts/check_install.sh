#!/usr/bin/env bash
# Checks what an installation of the editor holds, twice: the tree that
# `cmake --install` makes under a throw-away prefix, and the Debian package
# made by scripts/package.sh. Both must hold exactly the expected files; the
# tree's desktop entry and metainfo must validate, its icons must have their
# sizes, and the installed programs must answer --version without a display.
#
#   bash scripts/check_install.sh [BUILD_DIR]     (default build/, built)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
app_id=org.example.qel
icon_sizes=(16 32 48 64 128 256)

expected=(
  bin/qel
  bin/qeltool
  lib/qeltool/qeltool_pictures.so
  share/qel/QEL.HLP
  "share/applications/$app_id.desktop"
  "share/metainfo/$app_id.metainfo.xml"
  "share/icons/hicolor/scalable/apps/$app_id.svg"
  share/man/man1/qel.1.gz
  share/man/man1/qeltool.1.gz
  share/doc/qel/examples/harbour.ini
  share/doc/qel/examples/waves.bmp
  share/doc/qel/examples/beacon.png
  share/doc/qel/examples/buoy.png
  share/doc/qel/examples/flag.jpg
  share/doc/qel/examples/bell.wav
)
for size in "${icon_sizes[@]}"; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done

bash "$root/scripts/setup.sh"

failures=0
fail() { echo "check_install.sh: $*" >&2; failures=$((failures + 1)); }

# Compares a list of installed files (relative paths, one a line, on standard
# input) with the expected ones.
compare_files() {
  local what=$1
  local listed
  listed="$(sort -u)"
  local missing extra
  missing="$(comm -23 <(printf '%s\n' "${expected[@]}" | sort -u) <(printf '%s\n' "$listed"))"
  extra="$(comm -13 <(printf '%s\n' "${expected[@]}" | sort -u) <(printf '%s\n' "$listed"))"
  [ -z "$missing" ] || fail "$what lacks: $(echo $missing)"
  [ -z "$extra" ] || fail "$what holds unexpected files: $(echo $extra)"
}

# Width and height of a PNG file, from its header.
png_size() {
  od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'
}

work="$(mktemp -d "${TMPDIR:-/tmp}/qel-install.XXXXXX")"
trap 'rm -rf "$work"' EXIT

echo "-- cmake --install into a throw-away prefix"
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||') | compare_files "the installed tree"

desktop-file-validate "$prefix/share/applications/$app_id.desktop" || fail "desktop-file-validate failed"
grep -qx 'Exec=qel %f' "$prefix/share/applications/$app_id.desktop" || fail "the desktop entry does not start 'qel %f'"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$app_id.metainfo.xml" >/dev/null ||
  fail "appstreamcli validate failed: $(appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" 2>&1 | tail -n 5)"
for size in "${icon_sizes[@]}"; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  [ -f "$icon" ] && [ "$(png_size "$icon")" = "${size}x${size}" ] || fail "no ${size}x${size} icon"
done
for page in qel qeltool; do
  gzip -t "$prefix/share/man/man1/$page.1.gz" || fail "the manual page of $page is not a gzip file"
done

# --version needs no display: no X, no Wayland, no platform chosen.
version="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/qel" --version)" ||
  fail "qel --version failed without a display"
[ "$version" = "qel $(sed -n 's/^project(qel VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")" ] ||
  fail "qel --version printed '$version'"
"$prefix/bin/qeltool" check "$prefix/share/doc/qel/examples/harbour.ini" || fail "the installed example does not read cleanly"

echo "-- the Debian package"
deb="$(bash "$root/scripts/package.sh" "$build")"
echo "$deb"
dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $NF }' | sed 's|^\./usr/||' | compare_files "the package"
depends="$(dpkg-deb --field "$deb" Depends)"
# Found by the library check, and named because Qt loads them at run time.
for package in libqt6widgets6 libc6 qt6-qpa-plugins libqt6gui6 libqt6multimedia6 libpulse0; do
  [[ ", $depends," == *", $package"[\ ,]* ]] || fail "the package does not depend on $package: $depends"
done

if ((failures)); then
  echo "check_install.sh: $failures check(s) failed" >&2
  exit 1
fi
echo "check_install.sh: the installed tree and the package hold every expected file and validate"
