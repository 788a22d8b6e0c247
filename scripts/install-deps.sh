#!/usr/bin/env bash
# Installs the Debian packages Kelvanor builds and tests with. Idempotent: when everything is present it
# does nothing, and it uses sudo only when not already root.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    libsdl2-dev libgl-dev libfreetype-dev libpng-dev zlib1g-dev libogg-dev libvorbis-dev
    libgtest-dev fonts-play
    xvfb xauth libgl1-mesa-dri
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
