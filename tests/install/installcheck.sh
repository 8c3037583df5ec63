#!/usr/bin/env bash
# Checks an installation of Farewright into a private prefix, as a user or a package would see it.
#
#   installcheck.sh install PREFIX BUILD_DIR         install the build into PREFIX (afresh)
#   installcheck.sh files PREFIX LIBRARY_DIR GUI APP  check and validate the installed files
#   installcheck.sh window PREFIX APP                 open a fare table with the installed editor
#   installcheck.sh package DEB ROOT MAKE_SAMPLE      unpack the Debian package into ROOT (afresh)
#                                                     and check it; MAKE_SAMPLE writes a fare table
#
# LIBRARY_DIR is where the editor looks for libcorvres.so, relative to its own folder. GUI and APP
# are 1 when the window part and the editor itself were built. Exit status 77 means skipped.
set -uo pipefail

# The application's id (FAREWRIGHT_APP_ID in CMakeLists.txt), which names the desktop entry.
app_id=example.corvane.Farewright

passes=0
failures=0
pass() {
    echo "PASS: $*"
    passes=$((passes + 1))
}
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
check() { # description, command...
    local description=$1
    shift
    if "$@"; then pass "$description"; else fail "$description"; fi
}
finish() {
    echo "$passes passed, $failures failed"
    [ "$failures" -eq 0 ]
    exit
}

# A .Hy3 fare table: the route "Route" and the stop "Stop1" with ticket number 1, whose passengers
# holding ticket 1 pay 230.
make_hy3() {
    {
        printf '\x02\x00'
        printf '\x05\x00Route\x00\x00'
        head -c 300 /dev/zero
        printf '\x05\x00Stop1\x01\x00\xe6\x00'
        head -c 298 /dev/zero
    } >"$1"
}

install_tree() {
    local prefix=$1 build=$2
    rm -rf "$prefix"
    DESTDIR='' cmake --install "$build" --prefix "$prefix"
}

links_no_qtgui() {
    ! readelf -d "$1" | grep -q 'NEEDED.*libQt6Gui'
}

mime_types_of_desktop_entry() {
    sed -n 's/^MimeType=//p' "$1" | tr ';' '\n' | sed '/^$/d'
}

check_files() {
    local prefix=$1 library_dir=$2 gui=$3 app=$4
    local share=$prefix/share
    local cli=$prefix/bin/farewright-cli
    local work
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT

    # farewright-cli and its manual page
    check "farewright-cli is installed and runs" test -x "$cli"
    check "farewright-cli names its version" \
        test "$("$cli" --version)" = "farewright-cli 3.0.0"
    make_hy3 "$work/route.Hy3"
    local dump
    dump=$("$cli" dump "$work/route.Hy3")
    check "the installed farewright-cli reads a .Hy3 file" \
        test "$(printf '%s\n' "$dump" | sed -n 2p | cut -f1-3)" = "$(printf 'Stop1\t1\t230')"

    check "farewright-cli links no QtGui (every command but PDF starts as a QtCore program)" \
        links_no_qtgui "$cli"
    if [ "$gui" = 1 ]; then
        "$cli" convert "$work/route.Hy3" "$work/route.pdf"
        check "the installed farewright-cli draws the fare sheet through its plugin" \
            test "$(head -c 4 "$work/route.pdf")" = "%PDF"
    fi
    # Without its plugin, farewright-cli says so and exits 2.
    mkdir "$work/alone"
    cp "$cli" "$work/alone/"
    local said status
    said=$("$work/alone/farewright-cli" convert "$work/route.Hy3" "$work/alone.pdf" 2>&1)
    status=$?
    check "farewright-cli without its PDF plugin exits 2" test "$status" = 2
    check "farewright-cli without its PDF plugin says why" grep -q 'PDF' <<<"$said"

    local man=$share/man/man1/farewright-cli.1
    check "the manual page of farewright-cli is installed" test -f "$man"
    check "the manual page formats without warnings" \
        test -z "$(groff -man -ww -z -Tutf8 "$man" 2>&1)"
    check "the manual page has a NAME line for whatis" \
        grep -q 'farewright-cli - ' <<<"$(lexgrog "$man")"
    local page
    page=$(sed 's/\\-/-/g' "$man")
    local option
    for option in $("$cli" --help | grep -oE '(^|[ |[])--?[a-z]+' | grep -oE -- '--?[a-z]+' | sort -u); do
        check "the manual page documents $option" grep -qF -- "$option" <<<"$page"
    done
    local command
    for command in convert dump check revise diff; do
        check "the manual page documents the command $command" grep -q "^\.BI $command " "$man"
    done
    local status
    for status in 0 1 2 3; do
        check "the manual page documents exit status $status" \
            grep -qx "\.B $status" <<<"$(sed -n '/^\.SH EXIT STATUS/,/^\.SH /p' "$man")"
    done

    if [ "$gui" != 1 ]; then
        finish
    fi

    # The link library, where the editor looks for it
    local library=$prefix/bin/$library_dir/libcorvres.so
    check "libcorvres.so is installed where the editor looks for it" test -f "$library"
    local symbol
    for symbol in CorvaneHpURL CorvaneMailAddress; do
        check "libcorvres.so exports $symbol" \
            grep -qw "$symbol" <<<"$(nm -D --defined-only "$library")"
    done
    if [ "$app" = 1 ]; then
        check "the editor is installed" test -x "$prefix/bin/farewright"
    fi

    check_desktop_files "$share"
    local desktop=$share/applications/$app_id.desktop
    # The file types
    local type
    for type in $(mime_types_of_desktop_entry "$desktop"); do
        check "update-mime-database registered $type" \
            grep -q ":$type:\*\.${type##*-}" "$share/mime/globs2"
        check "update-desktop-database associates $type with the editor" \
            grep -qx "$type=$app_id.desktop;" "$share/applications/mimeinfo.cache"
    done
    finish
}

# What the desktop reads: the menu entry, the icon, the file types, the software centre's entry
# and the manual, in the data folder SHARE.
check_desktop_files() {
    local share=$1
    local desktop=$share/applications/$app_id.desktop
    check "the desktop entry is installed" test -f "$desktop"
    check "desktop-file-validate accepts the desktop entry" \
        test -z "$(desktop-file-validate "$desktop" 2>&1)"
    check "the desktop entry passes the opened file" grep -qx 'Exec=farewright %f' "$desktop"
    check "the desktop entry has a Japanese name" grep -q '^Name\[ja\]=' "$desktop"
    check "the desktop entry has a Japanese comment" grep -q '^Comment\[ja\]=' "$desktop"
    check "the desktop entry's icon is installed" \
        test -f "$share/icons/hicolor/scalable/apps/$(sed -n 's/^Icon=//p' "$desktop").svg"
    check "the icon is well-formed SVG" xmllint --noout "$share/icons/hicolor/scalable/apps/farewright.svg"

    local mime=$share/mime/packages/farewright.xml
    check "the MIME package is installed" test -f "$mime"
    check "xmllint accepts the MIME package" xmllint --noout "$mime"
    local type
    for type in $(mime_types_of_desktop_entry "$desktop"); do
        check "the MIME package declares $type" grep -q "type=\"$type\"" "$mime"
    done
    check "the desktop entry opens the three fare-table types" \
        test "$(mime_types_of_desktop_entry "$desktop" | wc -l)" -eq 3

    local metainfo=$share/metainfo/$app_id.metainfo.xml
    check "the software centre's entry is installed" test -f "$metainfo"
    if command -v appstreamcli >/dev/null; then
        check "appstreamcli accepts the software centre's entry" \
            appstreamcli validate --no-net "$metainfo"
    fi
    check "the software centre's entry launches the desktop entry" \
        grep -qF "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo"
    local version
    version=$("$share/../bin/farewright-cli" --version)
    check "the software centre's entry names this release (${version##* })" \
        grep -qF "<release version=\"${version##* }\"" "$metainfo"

    local manual=$share/farewright/manual
    check "the manual is installed" test -f "$manual/index.html"
    check "the manual's first page has its title" \
        grep -qF '<title>Farewright 使い方</title>' "$manual/index.html"
    check "the manual takes nothing from the network" \
        test -z "$(grep -rliE '<(img|script|link|iframe|object|embed|source)[^>]*(src|href)="(https?:)?//' "$manual")"
}

# The Debian package: its control fields, its files, and its farewright-cli on a sample table.
check_package() {
    local deb=$1 root=$2 make_sample=$3
    rm -rf "$root"
    mkdir -p "$root"
    dpkg-deb -x "$deb" "$root" || fail "dpkg-deb unpacks the package"
    local usr=$root/usr
    local cli=$usr/bin/farewright-cli
    local work
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT

    local version
    version=$("$cli" --version)
    check "the package's farewright-cli runs" test -n "$version"
    check "the package's version is the program's (${version##* })" \
        test "$(dpkg-deb -f "$deb" Version)" = "${version##* }"
    check "the distributor maintains the package" \
        test "$(dpkg-deb -f "$deb" Maintainer)" = "Corvane <webmaster@corvane.example>"
    local depends package
    depends=$(dpkg-deb -f "$deb" Depends)
    for package in libqt6widgets6 fonts-ipafont-gothic qt6-translations-l10n qt6-qpa-plugins; do
        check "the package depends on $package" grep -qw -- "$package" <<<"$depends"
    done

    local file
    for file in bin/farewright share/man/man1/farewright.1.gz share/man/man1/farewright-cli.1.gz \
        share/doc/farewright/copyright; do
        check "the package holds /usr/$file" test -f "$usr/$file"
    done
    # Where the packaged editor looks for its link library and its manual (texts in the program).
    local places
    places=$(strings -el "$usr/bin/farewright")
    local library_dir
    library_dir=$(grep -m1 -E '^\.\./lib/(.*/)?farewright$' <<<"$places")
    check "the package's libcorvres.so lies where its editor looks (${library_dir:-nowhere})" \
        test -f "$usr/bin/${library_dir:-nowhere}/libcorvres.so"
    check "the package's manual lies where its editor looks" \
        test -f "$usr/bin/$(grep -m1 -E '^\.\./share/.*/index\.html$' <<<"$places")"
    check_desktop_files "$usr/share"
    if command -v appstreamcli >/dev/null; then
        check "appstreamcli accepts the package's tree" appstreamcli validate-tree --no-net "$root"
    fi

    # farewright-cli of the package on a realistic table: reads it, finds nothing wrong, writes
    # it as text that reads back the same, and draws the fare sheet.
    "$make_sample" "$work/sample.Hy3"
    local dump
    dump=$("$cli" dump "$work/sample.Hy3")
    check "the package's farewright-cli reads the sample table's 19 rows" \
        test "$(wc -l <<<"$dump")" -eq 19
    check "the package's farewright-cli reads the first stop" \
        test "$(sed -n 2p <<<"$dump" | cut -f1-3)" = "$(printf '駅前バスターミナル\t1\t170')"
    check "the package's farewright-cli checks the sample table" \
        "$cli" check --fares "$work/sample.Hy3"
    "$cli" convert "$work/sample.Hy3" "$work/sample.txt"
    check "the package's farewright-cli writes text that reads back the same" \
        test "$("$cli" dump "$work/sample.txt")" = "$dump"
    "$cli" convert "$work/sample.Hy3" "$work/sample.pdf"
    check "the package's farewright-cli draws the fare sheet" \
        test "$(head -c 4 "$work/sample.pdf")" = "%PDF"
    check "the package's farewright-cli links no QtGui" links_no_qtgui "$cli"
    finish
}

# Under an X server: starts the installed editor the way a file manager does from the desktop
# entry, with a fare table whose path holds a blank, and waits for its main window.
window_inner() {
    local prefix=$1 file=$2
    local exec_line
    exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/$app_id.desktop")
    local program=${exec_line%% *}
    "$prefix/bin/$program" "$file" &
    local pid=$!
    local tree="" shown=0
    for _ in $(seq 150); do
        tree=$(xwininfo -root -tree 2>/dev/null)
        if grep -q '"Kestrelworks Farewright"' <<<"$tree"; then
            shown=1
            break
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.2
    done
    check "the installed editor shows its main window" test "$shown" = 1
    if [ "$shown" = 1 ]; then
        sleep 1 # time for a failure message, which would carry the application's title
        tree=$(xwininfo -root -tree 2>/dev/null)
        if grep -q '"Farewright"' <<<"$tree"; then
            fail "the fare table opens without a failure message"
        else
            pass "the fare table opens without a failure message"
        fi
        check "the editor is still running" kill -0 "$pid"
    fi
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    finish
}

window() {
    local prefix=$1 app=$2
    if [ "$app" != 1 ]; then
        echo "SKIP: the editor is not built"
        exit 77
    fi
    for tool in Xvfb xdpyinfo xwininfo; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIP: $tool is not installed"
            exit 77
        fi
    done
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    make_hy3 "$work/route 12.Hy3"
    # libxkbcommon's X11 keymap code trips AddressSanitizer's strict string checks on valid
    # input; that one check is turned off for the editor, as in the editor's own smoke test.
    if [ -n "${ASAN_OPTIONS:-}" ]; then
        export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
    fi
    env -u QT_QPA_PLATFORM bash "$(dirname "$0")/../app/with-xvfb.sh" \
        bash "$0" window-inner "$prefix" "$work/route 12.Hy3"
}

case ${1:-} in
install) install_tree "$2" "$3" ;;
files) check_files "$2" "$3" "$4" "$5" ;;
window) window "$2" "$3" ;;
window-inner) window_inner "$2" "$3" ;;
package) check_package "$2" "$3" "$4" ;;
*)
    echo "usage: $0 install|files|window|package ..." >&2
    exit 2
    ;;
esac
