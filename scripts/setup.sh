#!/usr/bin/env bash
# Installs what building and testing the editor needs on Debian 12, and only
# what is missing (apt-get needs root, which these machines give).
set -euo pipefail

# The preview needs nothing beyond Qt itself at run time: the GIF and JPEG
# readers are image format plugins of libqt6gui6 (BMP and PNG are built in),
# and WAV sounds play through libqt6multimedia6's QSoundEffect, which decodes
# them itself and talks to the sound server through libpulse0; no GStreamer or
# FFmpeg plugin is involved. Without a sound server (CI) it finds no device.
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins libgl-dev
  libqt6gui6 libqt6multimedia6 libpulse0
  libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev
  clang libclang-rt-14-dev clang-format
  xvfb xauth
  desktop-file-utils appstream dpkg-dev file
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
