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

# --- 運賃の一括変更: the consumption tax from 8 % to 10 %, ×110/108 to the nearest 10 yen. ------
"$build/tests/app/farewright_make_sample" "$sample"
start
keys ctrl+Home alt+t r
waitfor 運賃の一括変更
for key in 1 1 0 slash 1 0 8; do
    "$drive" answer "$key"
    sleep 0.2
done
dialog revise-dialog 運賃の一括変更
"$drive" answer Escape
"$drive" close "$title" n
wait "$pid"

# --- 別の運賃表と比較: the approved table against a copy with 市民病院前 added as stop 5 (sharing
# 県立病院's ticket number 4). The open dialog starts in the editor's folder, the approved one's.
mkdir -p "$work/approved" "$work/new"
"$build/tests/app/farewright_make_sample" "$work/approved/2024年4月承認 みなと線.Hy3"
cli=$build/src/cli/farewright-cli
"$cli" convert "$work/approved/2024年4月承認 みなと線.Hy3" "$work/approved.txt"
iconv -f CP932 -t UTF-8 "$work/approved.txt" |
    awk 'NR == 5 { print; sub(/^県立病院,4, 270, 230, 200, 170,/, "市民病院前,4, 280, 240, 210, 180,") }
         { print }' | iconv -f UTF-8 -t CP932 >"$work/new.txt"
"$cli" convert "$work/new.txt" "$work/new/みなと線.Hy3"
(cd "$work/approved" && exec "$editor" "$work/new/みなと線.Hy3") &
pid=$!
waitfor "$title"
sleep 1.5
keys alt+t c
sleep 1.5
for key in 2 0 2 4 Down Return Return; do # the name's start, its completion, open
    "$drive" answer "$key"
    sleep 0.4
done
sleep 1
window compare-panel
# The PDF of the sheet, beside the new table, with the change marked.
keys alt+f d
waitfor 名前を付けて保存
sleep 0.5
"$drive" answer Return
sleep 2
pdftoppm -png -r 96 -f 1 -l 1 -singlefile "$work/new/みなと線.pdf" "$work/sheet"
convert "$work/sheet.png" -crop 720x470+0+30 +repage -strip "PNG8:$images/compare-sheet.png"
"$drive" close "$title" n
wait "$pid"
ls -l "$images"
