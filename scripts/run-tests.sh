#!/usr/bin/env bash
# Runs the test suite headless. The tests open the real platform layer on SDL's offscreen video driver; on a
# machine where that driver cannot give an OpenGL context, the same tests run inside a virtual X server.
set -euo pipefail
build_dir=${1:-build}
jobs=$(nproc)

if "$build_dir/tests/kelvanor_glprobe" >/dev/null 2>&1; then
    exec ctest --test-dir "$build_dir" --output-on-failure -j "$jobs"
fi

echo "Offscreen OpenGL unavailable here; running the tests under xvfb-run."
export KELVANOR_TEST_VIDEO=x11
exec xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir "$build_dir" --output-on-failure -j "$jobs"
