#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary prefix and checks what a desktop finds there: exactly the
# expected files, a desktop file and software-centre data that the real validators accept, an
# icon of each size under the name the desktop file asks for, a man page that formats without
# warnings, and screenshots that exist in the repository under the addresses the metainfo gives.
# Usage: install_tree.sh <cmake> <build dir> <source dir> <version>
set -eu
cmake=$1
build=$2
source=$3
version=$4

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
prefix=$root/prefix

"$cmake" --install "$build" --prefix "$prefix" >"$root/install.log" 2>&1 \
    || { cat "$root/install.log" >&2; fail "cmake --install failed"; }

(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort) >"$root/installed"
LC_ALL=C sort "$source/tests/packaging/expected-files.txt" >"$root/expected"
diff "$root/expected" "$root/installed" >&2 || fail "installed files differ from the expected list"
[ -x "$prefix/bin/lumatide" ] || fail "bin/lumatide is not executable"

desktop=$prefix/share/applications/com.vexilo.lumatide.desktop
metainfo=$prefix/share/metainfo/com.vexilo.lumatide.metainfo.xml

desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop file"
appstreamcli validate --no-net --pedantic "$metainfo" >"$root/appstream.log" 2>&1 \
    || { cat "$root/appstream.log" >&2; fail "appstreamcli rejects the metainfo"; }
cat "$root/appstream.log"

# The launcher shows the installed icon, and software centres find the launcher.
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ "$icon" = com.vexilo.lumatide ] || fail "Icon=$icon"
grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$metainfo" \
    || fail "the metainfo does not launch the installed desktop file"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo names no release $version"
for size in 16 24 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png
    [ "$(identify -format '%wx%h' "$png")" = "${size}x$size" ] || fail "$png is not ${size}x$size"
done
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" || fail "the scalable icon is no SVG"

# The screenshots are files of the repository, of the size the metainfo states.
sed -n 's|.*<image type="source" width="\([0-9]*\)" height="\([0-9]*\)">https://github.com/vexilo/lumatide/raw/main/\([^<]*\)</image>.*|\1x\2 \3|p' \
    "$metainfo" >"$root/shots"
[ "$(wc -l <"$root/shots")" -eq 2 ] || fail "expected two screenshots in the metainfo"
while read -r size path; do
    [ -f "$source/$path" ] || fail "screenshot $path is not in the repository"
    [ "$(identify -format '%wx%h' "$source/$path")" = "$size" ] || fail "$path is not $size"
done <"$root/shots"

# The man page formats cleanly and names the program's version-independent options.
zcat "$prefix/share/man/man1/lumatide.1.gz" >"$root/lumatide.1" || fail "the man page is no gzip file"
groff -man -ww -z -Tutf8 "$root/lumatide.1" 2>"$root/groff.log"
[ ! -s "$root/groff.log" ] || { cat "$root/groff.log" >&2; fail "the man page has formatting warnings"; }
grep -q '^\.TH LUMATIDE 1' "$root/lumatide.1" || fail "the man page has no title line"

# The licence travels with the program: the copyright file names it for every file, and the
# change log opens with this version.
doc=$prefix/share/doc/lumatide
grep -q '^License: GPL-3+$' "$doc/copyright" || fail "the copyright file names no GPL-3+"
zcat "$doc/changelog.gz" | head -n 1 | grep -q "^lumatide ($version)" || fail "the change log is not of $version"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" || fail "no project_license"
echo "install_tree: ok"
