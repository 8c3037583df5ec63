#!/usr/bin/env bash
# Retakes the editor's screenshots under a virtual X server, from a built tree:
#   docs/screenshots/take-screenshots.sh [BUILD_DIR]     (default: build)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build}" && pwd)
if [ "${2:-}" != --inside ]; then
    exec "$here/../../tests/app/with-xvfb.sh" "$0" "$build" --inside
fi

editor=$build/src/app/farewright
drive=$build/tests/app/farewright_x11_drive
title="Kestrelworks Farewright"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tests/app/farewright_make_sample" "$work/みなと線.Hy3"

# geometry NAME: "x y width height" of the window titled NAME
geometry() {
    xwininfo -name "$1" | awk '
        /Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}'
}

start() {
    "$editor" "$work/みなと線.Hy3" &
    pid=$!
    for _ in $(seq 1 100); do
        xwininfo -name "$title" >/dev/null 2>&1 && break
        sleep 0.1
    done
    sleep 1.5
    read -r x y w h < <(geometry "$title")
}

stop() {
    "$drive" close "$title" n
    wait "$pid"
}

# shot NAME [EXTRA_HEIGHT]: the window (and a menu hanging below it) from the screen
shot() {
    sleep 0.5
    import -window root -crop "${w}x$((h + ${2:-0}))+$x+$y" +repage "$here/$1.png"
}

start
shot main-window
"$drive" keys "$title" ctrl+Home Down Down Down Right Right 2 5 0
shot editing-a-fare
"$drive" keys "$title" Escape Alt_L l
shot cell-menu
"$drive" keys "$title" Escape Escape
# The print preview of the fare sheet (File, 印刷プレビュー), on its own window.
"$drive" keys "$title" alt+f v
sleep 3
read -r px py pw ph < <(geometry "印刷プレビュー")
import -window root -crop "${pw}x${ph}+$px+$py" +repage "$here/print-preview.png"
"$drive" answer Escape
sleep 0.5
# The find bar with replacing (編集 › 置換): 300 found, 310 to put in its place.
"$drive" keys "$title" Alt_L e e 3 0 0 Return Tab 3 1 0
shot find-bar
"$drive" keys "$title" Escape
# The closing prompt: Qt's own buttons speak Japanese too.
"$drive" delete "$title"
shot closing-prompt
"$drive" answer n
wait "$pid"

# A page of the PDF that the same renderer writes, as pdftoppm draws it.
"$build/src/cli/farewright-cli" convert "$work/みなと線.Hy3" "$work/みなと線.pdf"
pdftoppm -png -r 70 -f 1 -l 1 -singlefile "$work/みなと線.pdf" "$here/pdf-page"

# The comparison with the approved table (ツール › 別の運賃表と比較): a stop added as stop 5. The
# open dialog starts in the editor's folder, where the approved table is alone.
mkdir -p "$work/approved" "$work/new"
"$build/tests/app/farewright_make_sample" "$work/approved/2024年4月承認 みなと線.Hy3"
"$build/src/cli/farewright-cli" convert "$work/approved/2024年4月承認 みなと線.Hy3" "$work/a.txt"
iconv -f CP932 -t UTF-8 "$work/a.txt" |
    awk 'NR == 5 { print; sub(/^県立病院,4, 270, 230, 200, 170,/, "市民病院前,4, 280, 240, 210, 180,") }
         { print }' | iconv -f UTF-8 -t CP932 >"$work/n.txt"
"$build/src/cli/farewright-cli" convert "$work/n.txt" "$work/new/みなと線.Hy3"
(cd "$work/approved" && exec "$editor" "$work/new/みなと線.Hy3") &
pid=$!
sleep 3
"$drive" keys "$title" alt+t c
sleep 1.5
for key in 2 0 2 4 Down Return Return; do
    "$drive" answer "$key"
    sleep 0.4
done
sleep 1
read -r x y w h < <(geometry "$title")
shot comparison-panel
stop
