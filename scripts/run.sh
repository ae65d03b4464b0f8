#!/usr/bin/env bash
# Builds the editor and starts it. Without a display it starts under a
# virtual one (xvfb-run), which is only useful to check that it comes up.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target qel qeltool

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build/ui/qel "$@"
fi
echo "No display found: starting the editor under xvfb-run." >&2
exec xvfb-run -a build/ui/qel "$@"
