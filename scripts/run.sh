#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Lumatide in release mode and runs it. Arguments are passed
# on to the program (for example --demo-work-seconds 20 --lock-minutes 0.5).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
cmake --preset release >/dev/null
cmake --build --preset release
exec build/release/lumatide "$@"
