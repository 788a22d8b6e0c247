#!/usr/bin/env bash
# Keeps the layers apart. The game (src/app, play, enemies, shapes, audio, input, scores) may include only
# the platform core's public headers: no SDL, OpenGL, FreeType, libpng or Ogg Vorbis header, no backend
# header (anything under src/platform/<backend>/) and none of the core's own internal headers. The core
# (the files directly in src/platform/) may include no backend header and nothing of SDL or OpenGL: what
# it needs of a device it asks through platform/backend.h. The codecs (src/platform/codecs/) are the core's
# too, chosen per build: they may include their decoder libraries but nothing of a device or a backend.
# Emscripten's headers belong to the browser backend (src/platform/web/) alone, as SDL's belong to sdl/.
# The graphics module the desktop and the browser share (src/platform/gl/) speaks OpenGL ES 3 only: no
# window system and no backend's own header, so that it stays one module for both.
#
# Usage: scripts/check-layers.sh [source root, default the repository]. Prints file:line and the reason
# for every include that crosses a boundary, and exits 1 if there was any.
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

game_folders=(src/app src/play src/enemies src/shapes src/audio src/input src/scores)
# The core's headers that only the platform itself and its backends may include.
internal='backend|render|platform_internal|input_events|replay_hooks|mixer|image_decoders|sound_decoders|sound_device'
device='SDL[^"/>]*|GL/|GLES[0-9]*/|OpenGL/|KHR/|EGL/|emscripten[/.]'
codec='ft2build\.h|freetype/|FT_[A-Z_]*_H|png\.h|pngconf\.h|vorbis/|ogg/'

inc='^[[:space:]]*#[[:space:]]*include[[:space:]]*'
failures=0
# files..., then: extended regular expression of a forbidden include, the reason it is refused.
refuse() {
    local pattern=$1 reason=$2
    shift 2
    (($# > 0)) || return 0
    local hit file number text
    while IFS= read -r hit; do
        file=${hit%%:*}
        hit=${hit#*:}
        number=${hit%%:*}
        text=${hit#*:}
        echo "$file:$number: $reason: ${text#"${text%%[![:space:]]*}"}"
        failures=$((failures + 1))
    done < <(grep -HnE "$inc($pattern)" "$@" || true)
}

game_files=()
for folder in "${game_folders[@]}"; do
    [[ -d $folder ]] || continue
    while IFS= read -r file; do game_files+=("$file"); done < <(find "$folder" -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
done
core_files=()
if [[ -d src/platform ]]; then
    while IFS= read -r file; do core_files+=("$file"); done < <(find src/platform -maxdepth 1 -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
fi
codec_files=()
if [[ -d src/platform/codecs ]]; then
    while IFS= read -r file; do codec_files+=("$file"); done < <(find src/platform/codecs -type f \( -name '*.cpp' -o -name '*.c' -o -name '*.h' \) | sort)
fi
# Every backend but the browser's, and the core: none of them may reach for emscripten.
not_web_files=("${core_files[@]}" "${codec_files[@]}")
for backend in src/platform/*/; do
    case $backend in src/platform/web/ | src/platform/codecs/) continue ;; esac
    while IFS= read -r file; do not_web_files+=("$file"); done < <(find "$backend" -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
done

refuse "[<\"]($device)" "the game includes a device library (SDL, OpenGL)" "${game_files[@]}"
refuse "[<\"]($codec)|FT_[A-Z_]*_H" "the game includes a decoder library (FreeType, libpng, Ogg Vorbis)" "${game_files[@]}"
refuse '"platform/[^/"]+/' "the game includes a backend header" "${game_files[@]}"
refuse "\"platform/($internal)\\.h\"" "the game includes one of the platform core's internal headers" "${game_files[@]}"
refuse '"platform/[^/"]+/' "the platform core includes a backend header" "${core_files[@]}"
refuse "[<\"]($device)" "the platform core includes a device library (SDL, OpenGL): that is a backend's" \
    "${core_files[@]}"

refuse '"platform/[^/"]+/' "a codec includes a backend header" "${codec_files[@]}"
refuse "[<\"]($device)" "a codec includes a device library (SDL, OpenGL, emscripten)" "${codec_files[@]}"
refuse "[<\"]emscripten[/.]" "only the browser backend (src/platform/web/) may include emscripten" \
    "${not_web_files[@]}"

gl_files=()
if [[ -d src/platform/gl ]]; then
    while IFS= read -r file; do gl_files+=("$file"); done < <(find src/platform/gl -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
fi
refuse "[<\"]SDL[^\"/>]*" "the shared GL module includes a window system (SDL)" "${gl_files[@]}"
refuse '"platform/(sdl|web|null)/' "the shared GL module includes a backend's own header" "${gl_files[@]}"

if ((failures > 0)); then
    echo "check-layers: $failures include(s) cross a layer boundary" >&2
    exit 1
fi
echo "check-layers: the game sees only the platform core, and the core no backend"
