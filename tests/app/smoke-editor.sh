#!/usr/bin/env bash
# Smoke test of the real program under a virtual X server (run through with-xvfb.sh):
#   smoke-editor.sh FAREWRIGHT MAKE_SAMPLE X11_DRIVE
# Starts the editor twice with a .Hy3 file named on the command line, files that differ only in
# their route name. Each time the window must be titled "Kestrelworks Farewright", the two
# screenshots must differ in one place only, inside cell (1, 1), and the window must close
# cleanly when its close box is used and the saving question is answered No.
set -euo pipefail
editor=$1
make_sample=$2
x11_drive=$3
title="Kestrelworks Farewright"
# Under AddressSanitizer: libxkbcommon-x11 reads the X server's atom names with strndup from
# buffers that are not NUL-terminated, which is correct but what strict string checks report.
if [ -n "${ASAN_OPTIONS:-}" ]; then
    export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
fi
work=$(mktemp -d)
pid=""
cleanup() {
    # A failed run ends the editor it started.
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

"$make_sample" "$work/east west.Hy3" "東西線（駅前〜岬の湯温泉）"
"$make_sample" "$work/north.hy3" "北"

# drawn SCREENSHOT: takes screenshots until the window (geometry x y width height) has been
# drawn, that is shows more than its background colour, and two in a row agree; keeps the last.
drawn() {
    local crop="${geometry[2]}x${geometry[3]}+${geometry[0]}+${geometry[1]}" i
    for i in $(seq 1 100); do
        import -window root "$1"
        if [ "$(convert "$1" -crop "$crop" -format %k info:)" -gt 1 ] && [ -e "$work/previous.png" ] &&
            compare -metric AE "$1" "$work/previous.png" null: 2>/dev/null; then
            rm "$work/previous.png"
            return 0
        fi
        mv "$1" "$work/previous.png"
        sleep 0.2
    done
    fail "the window was never drawn completely"
}

# run FILE SCREENSHOT: sets geometry to the window's absolute x, y, width and height
run() {
    "$editor" "$1" >/dev/null 2>"$work/stderr" &
    pid=$!
    local found="" i
    for i in $(seq 1 300); do
        found=$(xwininfo -name "$title" 2>/dev/null | awk '
            /Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
            /Width:/ {w=$NF} /Height:/ {h=$NF}
            /Map State: IsViewable/ {v=1} END {if (v) print x, y, w, h}') || true
        [ -n "$found" ] && break
        kill -0 "$pid" 2>/dev/null || fail "the editor ended at start: $(cat "$work/stderr")"
        sleep 0.1
    done
    [ -n "$found" ] || fail "no window titled \"$title\": $(cat "$work/stderr")"
    read -r -a geometry <<<"$found"
    local tree
    tree=$(xwininfo -root -tree)
    grep -qF "\"$title\"" <<<"$tree" || fail "the title is not exactly \"$title\""
    drawn "$2"
    # Without a window manager too, the window asks for the keyboard: its shortcuts work at once.
    "$x11_drive" focused "$title" || fail "the window did not get the keyboard focus"
    "$x11_drive" close "$title" n || fail "the window did not close after the closing prompt"
    local status=0
    wait "$pid" || status=$?
    pid=""
    [ "$status" -eq 0 ] || fail "the editor ended with status $status: $(cat "$work/stderr")"
}

run "\"$work/east west.Hy3\"" "$work/long.png"
read -r x y _ <<<"${geometry[*]}"
run "$work/north.hy3" "$work/short.png"
[ "${geometry[0]} ${geometry[1]}" = "$x $y" ] || fail "the window opened at different places"

# The route names differ, nothing else: the differing pixels must lie in cell (1, 1), right of
# the row labels (1000 twips wide) within the name column (3000 twips), in one row. The status
# bar along the window's bottom, which names each file, is blacked out in both.
bar="rectangle ${geometry[0]},$((geometry[1] + geometry[3] - 40)) $((geometry[0] + geometry[2])),$((geometry[1] + geometry[3]))"
box=$(convert "$work/long.png" "$work/short.png" -fill black -draw "$bar" \
    -compose difference -composite -colorspace gray -threshold 10% -format "%@" info:)
echo "differing area: $box (window at $x,$y)"
[[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || fail "no difference between the screenshots"
read -r width height left top <<<"${BASH_REMATCH[*]:1}"
[ "$width" -gt 20 ] || fail "the route name is hardly drawn ($box)"
[ "$height" -le 20 ] || fail "more than one row differs ($box)"
[ "$left" -ge $((x + 60)) ] && [ $((left + width)) -le $((x + 67 + 200)) ] ||
    fail "the difference is not in the name column ($box)"
[ "$top" -le $((y + 120)) ] || fail "the difference is not in the route row ($box)"
echo "PASS"
