#!/usr/bin/env bash
# Builds the program and starts its window.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib.sh"
need_packages "${BASE_PACKAGES[@]}" "${QT_PACKAGES[@]}" "${FONT_PACKAGES[@]}"

build="$root/build/run"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBFR_BUILD_TESTS=OFF \
    -DBFR_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target bms-folder-renamer
exec "$build/window/bms-folder-renamer"
