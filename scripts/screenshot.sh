#!/bin/sh
# Builds the editor when needed and saves a picture of its window, as it
# appears at start-up, to docs/screenshot.png. Runs headless: under a virtual
# X display when xvfb-run is there, otherwise on Qt's offscreen platform.
#
#   scripts/screenshot.sh [build-folder]
set -eu

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-"$source_dir/build"}
output="$source_dir/docs/screenshot.png"

if [ ! -f "$build_dir/build.ninja" ] && [ ! -f "$build_dir/Makefile" ]; then
    cmake -S "$source_dir" -B "$build_dir" -G Ninja
fi
cmake --build "$build_dir" --target qel -j 2

mkdir -p "$source_dir/docs"
rm -f "$output"

# Settings of this run go to a throw-away place, never to the user's.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT INT TERM
export XDG_CONFIG_HOME="$scratch/config"
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export QEL_SCREENSHOT="$output"

if command -v xvfb-run >/dev/null 2>&1; then
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$build_dir/ui/qel"
else
    QT_QPA_PLATFORM=offscreen "$build_dir/ui/qel"
fi

[ -s "$output" ] || { echo "no screenshot was written" >&2; exit 1; }
echo "$output"
