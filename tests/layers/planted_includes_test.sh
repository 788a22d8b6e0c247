#!/usr/bin/env bash
# The layer check on scratch copies of the source tree, each with one include planted where it must not
# be: the check has to fail and name the file and the line. The untouched copy has to pass.
set -uo pipefail
root=${1:?usage: planted_includes_test.sh SOURCE_ROOT}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0

fresh_copy() {
    rm -rf "$scratch/tree"
    mkdir -p "$scratch/tree"
    cp -r "$root/src" "$root/scripts" "$scratch/tree/"
}

# file (relative to the tree), line to insert after, include text, what the message must say.
expect_named() {
    local file=$1 after=$2 include=$3 reason=$4
    fresh_copy
    sed -i "${after}a ${include}" "$scratch/tree/$file"
    local line=$((after + 1)) output status
    output=$(bash "$scratch/tree/scripts/check-layers.sh" "$scratch/tree" 2>&1)
    status=$?
    if ((status == 0)); then
        echo "FAIL: $include in $file passed the check"
        failed=1
    elif ! grep -qF "$file:$line: $reason" <<<"$output"; then
        echo "FAIL: $include in $file: expected '$file:$line: $reason' in:"
        echo "$output"
        failed=1
    fi
}

fresh_copy
if ! bash "$scratch/tree/scripts/check-layers.sh" "$scratch/tree" >/dev/null; then
    echo "FAIL: the untouched copy does not pass"
    failed=1
fi

expect_named src/play/grid.cpp 1 '#include <SDL.h>' "the game includes a device library"
expect_named src/app/game.cpp 2 '#include <GL/gl.h>' "the game includes a device library"
expect_named src/enemies/snake.h 1 '#include "SDL_opengl.h"' "the game includes a device library"
expect_named src/shapes/shape.cpp 1 '#include <ft2build.h>' "the game includes a decoder library"
expect_named src/scores/hiscore_table.cpp 1 '#  include <png.h>' "the game includes a decoder library"
expect_named src/audio/sound_bank.cpp 1 '#include <vorbis/vorbisfile.h>' "the game includes a decoder library"
expect_named src/input/joypad.cpp 1 '#include "platform/sdl/sdl_backend.h"' "the game includes a backend header"
expect_named src/app/ui/menu.cpp 1 '#include "platform/null/null_backend.h"' "the game includes a backend header"
expect_named src/app/entry.cpp 1 '#include "platform/render.h"' "the game includes one of the platform core's internal headers"
expect_named src/platform/render.cpp 1 '#include "platform/sdl/sdl_backend.h"' "the platform core includes a backend header"
expect_named src/platform/input.cpp 1 '#include <SDL.h>' "the platform core includes a device library"
# The browser backend is a backend like the others, and emscripten is its alone.
expect_named src/app/states.cpp 1 '#include <emscripten/html5.h>' "the game includes a device library"
expect_named src/play/player.cpp 1 '#include "platform/web/web_backend.h"' "the game includes a backend header"
expect_named src/platform/sound.cpp 1 '#include "platform/web/web_backend.h"' "the platform core includes a backend header"
expect_named src/platform/sdl/display.cpp 1 '#include <emscripten.h>' "only the browser backend"
expect_named src/platform/null/null_input.cpp 1 '#include <emscripten/html5.h>' "only the browser backend"
expect_named src/platform/codecs/png_stb.cpp 1 '#include <GLES3/gl3.h>' "a codec includes a device library"
expect_named src/platform/codecs/font_freetype.cpp 1 '#include "platform/sdl/sdl_backend.h"' "a codec includes a backend header"
# The graphics module the desktop and the browser share knows neither's window system.
expect_named src/platform/gl/gl_device.cpp 1 '#include <SDL.h>' "the shared GL module includes a window system"
expect_named src/platform/gl/gl_device.h 1 '#include "platform/web/web_backend.h"' "the shared GL module includes a backend's own header"
expect_named src/platform/gl/gl_device.cpp 1 '#include <emscripten/html5.h>' "only the browser backend"

# Includes that are allowed stay allowed: public core headers in the game, decoders in the core.
fresh_copy
sed -i '1a #include "platform/display.h"' "$scratch/tree/src/play/grid.cpp"
sed -i '1a #include <png.h>' "$scratch/tree/src/platform/random.cpp"
sed -i '1a #include <stb/stb_image.h>' "$scratch/tree/src/platform/codecs/vorbis_libvorbis.cpp"
sed -i '1a #include <emscripten/html5.h>' "$scratch/tree/src/platform/web/web_display.cpp"
sed -i '1a #include <GLES3/gl3.h>' "$scratch/tree/src/platform/gl/gl_device.h"
if ! bash "$scratch/tree/scripts/check-layers.sh" "$scratch/tree" >/dev/null; then
    echo "FAIL: allowed includes were refused"
    failed=1
fi

exit $failed
