#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package with CPack and inspects it as apt would see it: its control data
# (name, version, section, maintainer, dependencies computed from the libraries the program
# links), no maintainer scripts or configuration files, and exactly the installed files
# under /usr, with the licence, the change log and a compressed man page; lintian-clean and
# built with Debian's hardening.
# Usage: debian_package.sh <cpack> <build dir> <source dir> <version>
set -eu
cpack=$1
build=$2
source=$3
version=$4

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

started=$(date +%s)
"$cpack" -G DEB -B "$root/out" --config "$build/CPackConfig.cmake" >"$root/cpack.log" 2>&1 \
    || { cat "$root/cpack.log" >&2; fail "cpack failed"; }
echo "cpack took $(($(date +%s) - started)) s"
set -- "$root"/out/lumatide_*.deb
[ "$#" -eq 1 ] && [ -f "$1" ] || fail "no single lumatide_*.deb: $*"
deb=$1
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "lumatide_${version}_$arch.deb" ] || fail "package file $(basename "$deb")"
echo "$(basename "$deb"): $(wc -c <"$deb") bytes"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = lumatide ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = utils ] || fail "Section: $(field Section)"
field Maintainer | grep -Eq '^[^<]+ <[^@>]+@[^>]+>$' || fail "Maintainer: $(field Maintainer)"
field Description | head -n 1 | grep -q 'break reminder' || fail "Description: $(field Description)"
[ "$(field Description | wc -l)" -ge 3 ] || fail "the description has no long text"
field Description | awk 'length > 80 { exit 1 }' || fail "description lines over 80 characters"

# Computed dependencies: one entry per shared library the program links, with versions.
depends=$(field Depends)
echo "Depends: $depends"
echo "$depends" | tr ',' '\n' | sed 's/^ *//' >"$root/depends"
for library in libc6 libstdc++6 libx11-6 libxss1 libxrandr2; do
    grep -q "^$library\( \|$\)" "$root/depends" || fail "Depends lacks $library"
done
# Qt with the lowest version of the symbols the program uses.
for library in libqt6core6 libqt6gui6 libqt6widgets6 libqt6dbus6 libqt6network6; do
    grep -Eq "^$library \(>= 6\.[0-9.]+\)$" "$root/depends" || fail "Depends lacks a versioned $library"
done
field Recommends | grep -q 'fonts-wqy-microhei' || fail "Recommends: $(field Recommends)"

# Nothing runs at install or removal time, and nothing is left behind as configuration.
dpkg-deb -e "$deb" "$root/control"
extra=$(ls "$root/control" | grep -vx -e control -e md5sums || true)
[ -z "$extra" ] || fail "unexpected control files: $extra"
[ ! -s "$root/control/conffiles" ] || fail "the package has configuration files"

# Exactly the installed files, all below /usr; directories only on the way to them.
dpkg-deb -c "$deb" >"$root/contents"
awk '$1 !~ /^d/ { sub(/^\.\/usr\//, "", $6); print $6 }' "$root/contents" | LC_ALL=C sort \
    >"$root/files"
LC_ALL=C sort "$source/tests/packaging/expected-files.txt" >"$root/expected"
diff "$root/expected" "$root/files" >&2 || fail "package files differ from the expected list"
awk '{ print $6 }' "$root/contents" | grep -Ev '^\./(usr/.*)?$' >&2 && fail "paths outside /usr"
grep -Eq ' \./usr/bin/lumatide$' "$root/contents" || fail "no /usr/bin/lumatide"
grep -E '^-rwxr-xr-x .* \./usr/bin/lumatide$' "$root/contents" >/dev/null \
    || fail "/usr/bin/lumatide is not mode 0755"
# Debian's own checks find no error and no warning. Running as root earns a note of its own.
lintian --tag-display-limit 0 "$deb" >"$root/lintian.log" 2>&1 || true
grep -v 'running with root privileges' "$root/lintian.log" || true
grep -E '^[EW]: ' "$root/lintian.log" >/dev/null && fail "lintian reports errors or warnings"

# The program is built hardened: relocations read-only at start, checked buffer functions.
dpkg-deb -x "$deb" "$root/tree"
readelf -d "$root/tree/usr/bin/lumatide" | grep -Eq 'BIND_NOW|FLAGS.*NOW' || fail "no BIND_NOW"
# The checked functions come with the optimiser only: not in a Debug build.
if ! grep -q '^CMAKE_BUILD_TYPE:STRING=Debug$' "$build/CMakeCache.txt"; then
    readelf --dyn-syms -W "$root/tree/usr/bin/lumatide" | grep -q '__[a-z_]*_chk@' || fail "no FORTIFY"
fi
echo "debian_package: ok"
