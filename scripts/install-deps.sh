#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building and testing Lumatide needs from Debian's packages, only when missing.
# Usage: scripts/install-deps.sh run|test
# The package names are listed in scripts/packages/run.txt and test.txt.
set -eu
cd "$(dirname "$0")"
mode=${1:-run}

lists="packages/run.txt"
if [ "$mode" = test ]; then
    lists="$lists packages/test.txt"
fi
packages=$(cat $lists | sed 's/#.*//' | tr -s ' \t' '\n' | grep -v '^$' | sort -u)

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
