#!/usr/bin/env bash
# Runs the sanitizer build's long checks. Both play on the null backend, so they need no display, no
# OpenGL context and no sound card.
#
#   scripts/run-soak.sh <build dir> soak [kelvanor_soak options]   whole seeded runs (tests/soak)
#   scripts/run-soak.sh <build dir> replays                        the replay tests (kelvanor_replay_tests)
set -euo pipefail
build_dir=$(cd "${1:?build directory}" && pwd)
what=${2:?soak or replays}
shift 2

# A sanitizer finding must fail the step, and a leak is a finding too.
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0:detect_leaks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$(cd "$(dirname "$0")/.." && pwd)/tests/soak/lsan.supp}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

case "$what" in
soak) command=("$build_dir/tests/soak/kelvanor_soak" "$@") ;;
# The files were recorded by the release build: playing them here shows the builds agree.
replays) command=("$build_dir/tests/kelvanor_replay_tests" "$@") ;;
*) echo "run-soak.sh: unknown check '$what'" >&2; exit 2 ;;
esac

# Settings files, screenshots and the runs' own directories stay inside the build tree.
work="$build_dir/soak-work"
mkdir -p "$work"
cd "$work"

exec "${command[@]}"
