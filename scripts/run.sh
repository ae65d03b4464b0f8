#!/usr/bin/env bash
# Builds the editor and starts it, with the given arguments (a definition
# file to open, say). Without a display it starts under a virtual one
# (xvfb-run) and runs until stopped with Ctrl+C: only useful to check that it
# comes up.
set -euo pipefail
# File names given relative to where the command was typed stay valid:
# nothing here changes the current folder.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j "$(nproc)" --target qel qeltool

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$root/build/ui/qel" "$@"
fi
echo "No display found: starting the editor under xvfb-run (stop it with Ctrl+C)." >&2
exec xvfb-run -a "$root/build/ui/qel" "$@"
