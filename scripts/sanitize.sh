#!/usr/bin/env bash
# Builds the core and command-line tests with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan (no desktop program, no
# benchmarks) and runs them. Any report of either sanitizer fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=build-asan
LAUNCHER=()
if command -v ccache >/dev/null; then LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$BUILD" -G Ninja "${LAUNCHER[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVIMO_SANITIZE=ON \
  -DTOVIMO_BUILD_GUI=OFF -DTOVIMO_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The chart images and the report are drawn by Qt, which this build leaves out.
ctest --test-dir "$BUILD" --output-on-failure -j "$(nproc)" --timeout 900 -E '^(CliCharts|CliReport)\.'
