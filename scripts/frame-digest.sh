#!/bin/bash
# Builds scripts/frame_digest.cpp against a release build's libraries and runs it: one digest line per
# benchmark scene. Equal digests before and after a change mean the same world and the same vertices.
#
# Usage: scripts/frame-digest.sh [build dir, default build] [frames, default 300]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
frames=${2:-300}
out=$build/frame_digest
# The desktop backend's objects, wherever the build put them (one per source, or per unity batch).
mapfile -t sdl_objects < <(find "$build/CMakeFiles/kelvanor_sdl.dir" -name '*.o' | sort)
c++ -std=c++20 -O3 -DNDEBUG -ffp-contract=off -fno-fast-math -I"$root/src" $(pkg-config --cflags sdl2) \
    "$root/scripts/frame_digest.cpp" "$root"/bench/scene_*.cpp "$root/bench/arena_heavy.cpp" \
    "${sdl_objects[@]}" \
    "$build/libkelvanor_game.a" "$build/libkelvanor_core.a" "$build/libkelvanor_assets.a" \
    $(pkg-config --libs sdl2 glesv2 freetype2 libpng zlib vorbisfile vorbis ogg) -lpthread -ldl -o "$out"
GALLIUM_NOOP=1 "$out" --frames "$frames"
