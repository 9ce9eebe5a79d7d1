#!/usr/bin/env bash
# Starts the program under a virtual X display, drags a few sample charts onto it from another
# program (as from a file manager), selects one, and saves the window's picture as
# docs/screenshot.png (or the path given).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib.sh"
need_packages "${BASE_PACKAGES[@]}" "${QT_PACKAGES[@]}" "${FONT_PACKAGES[@]}" xvfb xauth xdotool \
    imagemagick

output=${1:-"$root/docs/screenshot.png"}
mkdir -p "$(dirname "$output")"
output=$(cd "$(dirname "$output")" && pwd)/$(basename "$output")

build="$root/build/screenshot"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBFR_BUILD_TESTS=OFF \
    -DBFR_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target bms-folder-renamer drag_source

# Sample charts, written in code page 932 as charts are.
# A fixed place, so the picture shows the same paths every time.
work="${TMPDIR:-/tmp}/bfr-screenshot"
rm -rf "$work"
trap 'rm -rf "$work"' EXIT
chart() { # folder artist genre title level
    mkdir -p "$work/BMS/$1"
    printf '#PLAYER 1\r\n#ARTIST %s\r\n#GENRE %s\r\n#TITLE %s\r\n#PLAYLEVEL %s\r\n#BPM 150\r\n' \
        "$2" "$3" "$4" "$5" | iconv -f UTF-8 -t CP932 >"$work/BMS/$1/chart.bms"
}
chart song01 山田太郎 ピアノ 春の雨 7
chart song02 さくら ロック "夜明け/R" 4
chart Song03 Foo Bar Baz 3
chart 曲フォルダ 青空楽団 ジャズ 星降る夜に 5

export BFR_BUILD="$build" BFR_WORK="$work" BFR_OUTPUT="$output"
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" bash -euo pipefail -c '
    LANG=ja_JP.UTF-8 QT_QPA_PLATFORM=xcb "$BFR_BUILD/window/bms-folder-renamer" &
    program=$!
    window=$(xdotool search --sync --onlyvisible --name "BMS")
    sleep 1
    eval "$(xdotool getwindowgeometry --shell "$window")"

    # drag FILE... to X Y: press on the drag source, move in steps, release over the window.
    drag() {
        local x=$1 y=$2
        shift 2
        QT_QPA_PLATFORM=xcb "$BFR_BUILD/window/drag_source" "$@" &
        local source=$!
        xdotool search --sync --onlyvisible --name drag_source >/dev/null
        sleep 0.5
        xdotool mousemove 50 50 mousedown 1
        for step in 1 2 3 4 5 6; do
            xdotool mousemove $((50 + (x - 50) * step / 6)) $((50 + (y - 50) * step / 6))
            sleep 0.15
        done
        xdotool mouseup 1
        sleep 0.5
        kill "$source"
    }
    # Two charts onto the list, two onto the preview at the foot of the window.
    drag $((X + 260)) $((Y + 100)) "$BFR_WORK"/BMS/song0[12]/chart.bms
    drag $((X + 100)) $((Y + 215)) "$BFR_WORK"/BMS/Song03/chart.bms "$BFR_WORK"/BMS/曲フォルダ/chart.bms
    # Select the second entry, so the preview shows its folder name.
    xdotool mousemove $((X + 200)) $((Y + 20)) click 1
    sleep 0.5
    import -window "$window" "$BFR_OUTPUT"
    kill "$program"
'
echo "saved $output"
