#!/usr/bin/env bash
# Instructions per timed update of benchmark scenes, counted by callgrind: a figure that other load on a
# shared machine cannot move, to set beside the CPU times of `make bench`. The benchmark asks callgrind to
# count its timed updates and nothing else (bench/bench.cpp).
#
# Usage: scripts/bench-instructions.sh [build dir, default build] [frames, default 20] [scene ...]
#        (the scenes default to scale_1x scale_2x scale_4x scale_8x)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
frames=${2:-20}
shift $(($# > 2 ? 2 : $#))
scenes=("$@")
[ ${#scenes[@]} -gt 0 ] || scenes=(scale_1x scale_2x scale_4x scale_8x)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for scene in "${scenes[@]}"; do
    valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$out/$scene" \
        "$build/bench/kelvanor_bench" --scene "$scene" --frames "$frames" --warmup 5 >/dev/null 2>&1
    total=$(awk '/^totals:|^summary:/ {print $2; exit}' "$out/$scene")
    echo "INSTRUCTIONS scene=$scene frames=$frames per_frame=$((total / frames))"
done
