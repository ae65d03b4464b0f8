#!/usr/bin/env bash
# Builds the editor and its Debian package, and prints the package's path:
# BUILD_DIR/package/qel_VERSION_ARCH.deb. Install it with
#   sudo apt-get install ./build/package/qel_*.deb
#
#   bash scripts/package.sh [BUILD_DIR]     (default build/)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
mkdir -p "$build"
build="$(cd "$build" && pwd)"

bash "$root/scripts/setup.sh" >&2
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
fi
cmake --build "$build" -j "$(nproc)" >&2
rm -rf "$build/package"
(cd "$build" && cpack -G DEB -B "$build/package") >&2
deb=("$build"/package/qel_*.deb)
[ -f "${deb[0]}" ] || { echo "package.sh: no package was made" >&2; exit 1; }
echo "${deb[0]}"
