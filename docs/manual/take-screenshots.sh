#!/usr/bin/env bash
# Takes the manual's pictures under a virtual X server, from a built tree:
#   docs/manual/take-screenshots.sh [BUILD_DIR]     (default: build)
# Each goes into docs/manual/images/ as a PNG of 256 colours, cut to what its chapter shows.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build}" && pwd)
if [ "${2:-}" != --inside ]; then
    exec "$here/../../tests/app/with-xvfb.sh" "$0" "$build" --inside
fi

editor=$build/src/app/farewright
drive=$build/tests/app/farewright_x11_drive
title="Kestrelworks Farewright"
images=$here/images
mkdir -p "$images"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sample=$work/みなと線.Hy3
"$build/tests/app/farewright_make_sample" "$sample"
# A desktop's grey where a menu hangs out of the window.
xsetroot -solid '#d4d4d4'

# geometry NAME: "x y width height" of the window titled NAME
geometry() {
    xwininfo -name "$1" | awk '
        /Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}'
}

# waitfor NAME: until a window titled NAME is shown
waitfor() {
    for _ in $(seq 1 100); do
        xwininfo -name "$1" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "no window titled $1" >&2
    return 1
}

# reach: the bottom edge of the program's lowest window (an open menu's, say)
reach() {
    xwininfo -root -children | awk '/\("farewright" "farewright"\)/ {
        match($0, /[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+/)
        split(substr($0, RSTART, RLENGTH), g, /[x+]/)
        if (g[4] + g[2] > bottom) bottom = g[4] + g[2]
    } END {print bottom}'
}

start() {
    "$editor" "$sample" &
    pid=$!
    waitfor "$title"
    sleep 1.5
}

keys() {
    "$drive" keys "$title" "$@"
}

# save NAME X Y WIDTH HEIGHT [CONVERT_OPTION...]: that part of the screen as images/NAME.png
save() {
    local name=$1 x=$2 y=$3 w=$4 h=$5
    shift 5
    sleep 0.6
    import -window root -crop "${w}x$h+$x+$y" +repage "$work/shot.png"
    convert "$work/shot.png" "$@" -strip "PNG8:$images/$name.png"
}

# window NAME [EXTRA_HEIGHT [CONVERT_OPTION...]]: the main window (and a menu hanging below it)
window() {
    local name=$1 extra=${2:-0} x y w h
    shift $(($# < 2 ? $# : 2))
    read -r x y w h < <(geometry "$title")
    save "$name" "$x" "$y" "$w" $((h + extra)) "$@"
}

# dialog NAME TITLE: a window of its own, whole
dialog() {
    local x y w h
    waitfor "$2"
    sleep 0.5
    read -r x y w h < <(geometry "$2")
    save "$1" "$x" "$y" "$w" "$h"
}

# --- The main window: its parts numbered, as the first page explains them. -------------------
start
# The name of stop 5 (本町通り) current.
keys ctrl+Home Down Down Down Down Down
read -r _ _ w h < <(geometry "$title")
font=$(fc-match -f '%{file}' 'DejaVu Sans:bold')
marks=()
mark() { # mark NUMBER X Y: a red disc with a white number
    marks+=(-fill '#c00000' -stroke white -strokewidth 1.5 -draw "circle $2,$3 $(($2 + 9)),$3"
        -stroke none -fill white -annotate "+$(($2 - ${#1} * 4))+$(($3 + 5))" "$1")
}
mark 1 470 9             # the menu bar
mark 2 634 28            # the toolbar
mark 3 240 54            # the column headings
mark 4 252 73            # the route row
mark 5 52 149            # the row labels, stop numbers
mark 6 245 130           # a stop's name
mark 7 290 130           # its ticket number
mark 8 596 91            # the fares
mark 9 245 168           # the current cell
mark 10 300 $((h - 13))  # the status bar
window main-window 0 -font "$font" -pointsize 12 "${marks[@]}"

# --- Editing a fare in place, and the Edit menu naming the step to undo. ----------------------
keys Right Right Right 2 8 0
window editing-cell
keys Return
keys alt+e
window edit-menu 0 -crop "${w}x190+0+0" +repage
keys Escape Escape

# --- The context menu, opened by the Menu key below the current cell. -------------------------
keys Menu
sleep 0.5
read -r _ y _ h < <(geometry "$title")
window context-menu $(($(reach) - y - h))
keys Escape

# --- The File menu. ---------------------------------------------------------------------------
keys alt+f
window file-menu 0 -crop "${w}x240+0+0" +repage
keys Escape Escape

# --- The find bar, replacing the fare 300 by 310 in whole cells only. -------------------------
keys ctrl+Home ctrl+h 3 0 0 Return alt+w alt+p 3 1 0
window find-bar
keys Escape

# --- The fare check: 3300 typed for 330 (stop 9, ticket 4), a fare left out (stop 6, ticket 3).
keys ctrl+Home Down Down Down Down Down Down Down Down Down Right Right Right Right Right 3 3 0 0 \
    Return
keys ctrl+Home Down Down Down Down Down Down Right Right Right Right Delete ctrl+Home F7
sleep 1
window check-panel

# --- The closing prompt. ----------------------------------------------------------------------
"$drive" delete "$title"
sleep 1
window closing-prompt
"$drive" answer n
wait "$pid"

# --- The print preview of the fare sheet, on a window of its own, made smaller. --------------
start
keys alt+f v
sleep 3
dialog print-preview 印刷プレビュー
mogrify -resize 70% "$images/print-preview.png"
"$drive" answer Escape
sleep 0.5

# --- 上書き保存 of a file another program has changed since it was opened. --------------------
printf '\0' >>"$sample"
keys ctrl+Home Down Down Right Right Right 1 9 0 Return ctrl+s
waitfor 上書き保存の確認
window overwrite-question
"$drive" answer n
sleep 0.5

# --- Saving in an older format: the confirmation of what it loses. ----------------------------
keys alt+f a
waitfor 名前を付けて保存
sleep 0.5
for key in o l d period H y o Return; do
    "$drive" answer "$key"
    sleep 0.2
done
dialog old-format 旧バージョンでの保存確認
"$drive" answer n
sleep 0.5

"$drive" close "$title" n
wait "$pid"
ls -l "$images"
