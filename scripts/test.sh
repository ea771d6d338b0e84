#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, then builds and runs every test: the whole suite in an optimised
# build with warnings as errors, and the unit tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh test

jobs=$(nproc 2>/dev/null || echo 2)

echo "== Optimised build, every test"
cmake --preset ci >/dev/null
cmake --build --preset ci -j "$jobs"
ctest --preset ci -j "$jobs"

echo "== Unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ASAN_OPTIONS=abort_on_error=0:detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --preset asan -j "$jobs"

echo "== Fuzzing the input readers (libFuzzer, clang), ten seconds each"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
ctest --preset fuzz
