#!/usr/bin/env bash
# Installs the Debian packages Kelvanor builds and tests with. Idempotent: when everything is present it
# does nothing, and it uses sudo only when not already root.
#   --fuzz  also clang and libFuzzer's runtime, for `make fuzz`
#   --web   also emscripten and the stb libraries, for `make web` (the native packages stay: the asset
#           generator runs natively), and Chromium with Node.js and npm for `make test-web`
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    libsdl2-dev libgles-dev libfreetype-dev libpng-dev zlib1g-dev libogg-dev libvorbis-dev
    libgtest-dev fonts-play libstb-dev
    xvfb xauth libgl1-mesa-dri
)
if [ "${1:-}" = "--fuzz" ]; then
    # clang's sanitizer runtimes and libFuzzer come in libclang-rt-14-dev, which clang only recommends.
    packages+=(clang libclang-rt-14-dev)
elif [ "${1:-}" = "--web" ]; then
    packages+=(emscripten libstb-dev python3 chromium)
    # Node.js may come from elsewhere than Debian (with its own npm, which Debian's npm package would
    # conflict with): only a missing command brings in Debian's.
    command -v node >/dev/null || packages+=(nodejs)
    command -v npm >/dev/null || packages+=(npm)
elif [ $# -gt 0 ]; then
    echo "usage: $0 [--fuzz | --web]" >&2
    exit 2
fi

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
