#!/bin/sh
# Remakes the pictures and the sound that harbour.ini names, in this folder.
#
#   sh examples/make_media.sh [build-folder]     (default build/)
set -eu

examples=$(cd "$(dirname "$0")" && pwd)
build=${1:-"$examples/../build"}
if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
    cmake -S "$examples/.." -B "$build" -G Ninja
fi
cmake --build "$build" --target make_media
"$build/examples/make_media" "$examples"
