#!/usr/bin/env bash
# Builds the window, starts it under a virtual X display with a few sample charts dropped on it
# and one of them selected, and saves its picture as docs/screenshot.png (or the path given).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib.sh"
need_packages "${BASE_PACKAGES[@]}" "${QT_PACKAGES[@]}" "${FONT_PACKAGES[@]}" xvfb xauth

output=${1:-"$root/docs/screenshot.png"}
mkdir -p "$(dirname "$output")"
output=$(cd "$(dirname "$output")" && pwd)/$(basename "$output")

build="$root/build/screenshot"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBFR_BUILD_TESTS=OFF \
    -DBFR_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target window_screenshot

# The xcb platform, as on a desktop; the window is drawn at 96 dpi.
QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1 xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
    "$build/window/window_screenshot" "$output"
echo "saved $output"
