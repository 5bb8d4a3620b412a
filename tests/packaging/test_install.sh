#!/usr/bin/env bash
# Installs the build into a scratch DESTDIR as the Debian package would (prefix /usr) and
# checks what lands there: every file in its place, the installed report tool giving the
# same output as the build tree's logdump, the desktop entry, icon and metadata agreeing
# with one another, and one version everywhere.
#   test_install.sh CMAKE BUILD_DIR BUILD_LOGDUMP SOURCE_DIR VERSION
set -uo pipefail

cmake_bin="$1" build="$2" build_logdump="$3" source="$4" version="$5"
app_id=io.github.zimrapexo.Viewer
name=zimra-pexo-viewer

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
root="$work/root"
usr="$root/usr"

passed=0 failed=0
ok() { passed=$((passed + 1)); }
fail() { failed=$((failed + 1)); echo "FAIL: $*"; }
check() {  # check DESCRIPTION COMMAND...
    local what="$1"
    shift
    if "$@"; then ok; else fail "$what"; fi
}

if ! DESTDIR="$root" "$cmake_bin" --install "$build" --prefix /usr >"$work/install.log" 2>&1; then
    cat "$work/install.log"
    echo "FAIL: cmake --install"
    echo "0 passed, 1 failed"
    exit 1
fi

# Every file of the package, and how it must be: x executable, f plain file.
while read -r kind path; do
    case "$kind" in
        x) check "$path is an executable" test -f "$usr/$path" -a -x "$usr/$path" ;;
        f) check "$path is installed" test -f "$usr/$path" ;;
    esac
done <<EOF
x bin/$name
x bin/zimra-pexo-logdump
f share/applications/$name.desktop
f share/metainfo/$app_id.metainfo.xml
f share/icons/hicolor/scalable/apps/$name.svg
f share/doc/$name/copyright
f share/doc/$name/changelog.gz
f share/man/man1/$name.1.gz
f share/man/man1/zimra-pexo-logdump.1.gz
EOF
check "the build tree's name logdump is not installed" test ! -e "$usr/bin/logdump"

# Nothing lands outside /usr, and files are not writable by others.
outside="$(find "$root" -mindepth 1 -maxdepth 1 ! -name usr)"
check "files outside /usr: $outside" test -z "$outside"
writable="$(find "$root" ! -type l -perm -o+w)"
check "world-writable: $writable" test -z "$writable"

# The icon at each size, its PNG header giving that size (the theme looks it up by folder).
png_size() {  # width x height from the IHDR chunk
    local bytes
    bytes=($(od -An -tu1 -j16 -N8 "$1"))
    echo "$(((bytes[0] << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3]))x$(((bytes[4] << 24) | (bytes[5] << 16) | (bytes[6] << 8) | bytes[7]))"
}
for size in 16 32 48 64 128 256; do
    icon="$usr/share/icons/hicolor/${size}x${size}/apps/$name.png"
    if [ -f "$icon" ]; then
        actual="$(png_size "$icon")"
        check "$icon is ${size}x$size, not $actual" test "$actual" = "${size}x$size"
    else
        fail "$icon is missing"
    fi
done

# Every example log, unchanged.
samples="$usr/share/$name/samples"
count=0
for sample in "$source"/samples/*.csv; do
    count=$((count + 1))
    check "samples/$(basename "$sample") installed unchanged" cmp -s "$sample" "$samples/$(basename "$sample")"
done
check "no example logs in the source tree" test "$count" -gt 0

# The installed programs must not look for libraries in the build tree.
if command -v readelf >/dev/null; then
    for program in "$usr/bin/$name" "$usr/bin/zimra-pexo-logdump"; do
        check "$program has no RPATH/RUNPATH" bash -c "! readelf -d '$program' | grep -q 'R.*PATH'"
    done
else
    echo "SKIP: readelf is not installed, RPATH not checked"
fi

# The installed report tool says what the build tree's does, byte for byte, with the
# same exit status, for every example log and for bad arguments.
run() {  # run OUTPUT PROGRAM ARGS...: writes stdout and the exit status
    local out="$1"
    shift
    "$@" >"$out" 2>/dev/null
    echo "exit $?" >>"$out"
}
for sample in "$samples"/*.csv; do
    base="$(basename "$sample")"
    run "$work/installed.json" "$usr/bin/zimra-pexo-logdump" "$sample"
    run "$work/build.json" "$build_logdump" "$sample"
    check "zimra-pexo-logdump $base differs from logdump" cmp -s "$work/installed.json" "$work/build.json"
done
for args in "--summary $samples/model05_altimeter.csv" "--point-budget x" "$work/no-such-file.csv"; do
    run "$work/installed.json" "$usr/bin/zimra-pexo-logdump" $args
    run "$work/build.json" "$build_logdump" $args
    check "zimra-pexo-logdump $args differs from logdump" cmp -s "$work/installed.json" "$work/build.json"
done
"$usr/bin/zimra-pexo-logdump" "$samples/model01_engine_monitor.csv" >"$work/model01.json"
check "zimra-pexo-logdump model01 exits 0" test $? -eq 0
check "zimra-pexo-logdump model01 names the model" grep -q '"model"' "$work/model01.json"

# The installed report tool names itself as installed, in its help and its manual page.
"$usr/bin/zimra-pexo-logdump" --help >"$work/help.txt"
check "zimra-pexo-logdump --help exits 0" test $? -eq 0
check "zimra-pexo-logdump --help names zimra-pexo-logdump" \
    grep -q '^usage: zimra-pexo-logdump \[' "$work/help.txt"
check "the manual page names zimra-pexo-logdump" \
    zgrep -q '^zimra-pexo-logdump \\- ' "$usr/share/man/man1/zimra-pexo-logdump.1.gz"

# The manual pages format without a warning, checked as lintian checks them.
if command -v man >/dev/null; then
    for page in "$usr"/share/man/man1/*.gz; do
        warnings="$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)"
        check "$(basename "$page") formats without warnings: $warnings" test -z "$warnings"
    done
else
    echo "SKIP: man is not installed, the manual pages are not formatted"
fi

# The desktop entry, the icon and the metadata name one another.
desktop="$usr/share/applications/$name.desktop"
metainfo="$usr/share/metainfo/$app_id.metainfo.xml"
exec_program="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")"
check "desktop Exec=$exec_program is an installed program" test -x "$usr/bin/$exec_program"
icon_name="$(sed -n 's/^Icon=//p' "$desktop")"
check "desktop Icon=$icon_name has a scalable icon" \
    test -f "$usr/share/icons/hicolor/scalable/apps/$icon_name.svg"
check "desktop entry takes text/csv" grep -qx 'MimeType=.*text/csv;.*' "$desktop"
launchable="$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")"
check "metainfo launchable $launchable is installed" test -f "$usr/share/applications/$launchable"
check "metainfo id is $app_id" grep -q "<id>$app_id</id>" "$metainfo"

# One version: the project's, in the header, the newest release and the changelog.
check "zp_version.h holds $version" grep -qF "kVersionText[] = \"$version\";" "$build/generated/zp_version.h"
newest="$(grep -m1 -o '<release version="[^"]*"' "$metainfo" | cut -d'"' -f2)"
check "newest metainfo release $newest is $version" test "$newest" = "$version"
changelog_version="$(zcat "$usr/share/doc/$name/changelog.gz" | head -1 | sed -n 's/^[^ ]* (\([^)]*\)).*/\1/p')"
check "newest changelog entry $changelog_version is $version" test "$changelog_version" = "$version"

# Compressed files carry no time stamp (the package is the same at every build).
for gz in "$usr/share/doc/$name/changelog.gz" "$usr"/share/man/man1/*.gz; do
    check "$gz is a gzip file" gzip -t "$gz"
    check "$gz has no time stamp" test "$(od -An -tx1 -j4 -N4 "$gz" | tr -d ' ')" = 00000000
done

# The validators, where they are installed (scripts/package installs them).
if command -v desktop-file-validate >/dev/null; then
    check "desktop-file-validate $desktop" desktop-file-validate "$desktop"
else
    echo "SKIP: desktop-file-validate is not installed (package desktop-file-utils)"
fi
if command -v appstreamcli >/dev/null; then
    check "appstreamcli validate $metainfo" appstreamcli validate --no-net "$metainfo"
else
    echo "SKIP: appstreamcli is not installed (package appstream)"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
