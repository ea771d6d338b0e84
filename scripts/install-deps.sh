#!/bin/sh
# Installs what building and testing Lumatide needs from Debian's packages, only when missing.
# Usage: scripts/install-deps.sh run|test
set -eu
mode=${1:-run}

packages="cmake ninja-build g++ pkg-config qt6-base-dev"
if [ "$mode" = test ]; then
    packages="$packages libgtest-dev libgmock-dev locales"
fi

if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi

missing=""
for package in $packages; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    $sudo apt-get update -qq
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
fi

# A decimal-comma locale lets the tests prove that numbers are read the same in every locale.
if [ "$mode" = test ] && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    $sudo sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    $sudo locale-gen >/dev/null
fi
