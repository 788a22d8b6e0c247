#!/usr/bin/env bash
# Compares the math library calls the game makes, natively and under emscripten
# (tools/libm_probe/libm_probe.cpp), where a replay that parts ways would look first; then plays the
# desktop's replay files (tests/replays/*.kvr) with the game code of the web build, compiled by emscripten
# for Node on the null backend, and says for each whether every checkpoint matched.
#   scripts/web-replays.sh [BUILD_WEB_FOLDER]    (after `make web`; `make web-replays` does both)
# Exit status 0 when every file replayed to its end with every checkpoint matching.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build-web}")
out="$build/node-replays"
mkdir -p "$out"
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}

# The game's flags: those of the web build (Release), with floating point kept exact.
flags=(-std=c++20 -O3 -DNDEBUG -ffp-contract=off -fno-fast-math -Isrc)
node_flags=(-sENVIRONMENT=node -sNODERAWFS=1 -sSINGLE_FILE=1 -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864
            -sEXIT_RUNTIME=1)

echo "Building the null-backend program for Node"
em++ "${flags[@]}" src/app/main.cpp src/platform/null/*.cpp \
    "$build/libkelvanor_game.a" "$build/libkelvanor_core.a" "$build/libkelvanor_assets.a" \
    "${node_flags[@]}" -o "$out/kelvanor_null.js"

echo "Math library results, glibc against emscripten's (1,000,000 inputs each):"
g++ "${flags[@]}" tools/libm_probe/libm_probe.cpp -o "$out/libm_probe_native"
em++ "${flags[@]}" tools/libm_probe/libm_probe.cpp "${node_flags[@]}" -o "$out/libm_probe.js"
"$out/libm_probe_native" "$out/libm_native.bin"
node "$out/libm_probe.js" "$out/libm_web.bin"
node tests/web/compare-libm.mjs "$out/libm_native.bin" "$out/libm_web.bin"
rm -f "$out/libm_native.bin" "$out/libm_web.bin"
passed=0
failed=0
for replay in tests/replays/*.kvr; do
    if node "$out/kelvanor_null.js" --replay "$replay" > "$out/$(basename "$replay").log" 2>&1; then
        passed=$((passed + 1))
        echo "same    $replay: $(tail -n 1 "$out/$(basename "$replay").log")"
    else
        failed=$((failed + 1))
        echo "differs $replay: $(tail -n 3 "$out/$(basename "$replay").log" | tr '\n' ' ')"
    fi
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
