#!/usr/bin/env bash
# Looks for data races in the genetic algorithm: builds with clang and
# ThreadSanitizer into build-tsan (or $TSAN_BUILD_DIR), runs the core tests of
# the engine and the generation loop (whose threads share the evaluations and
# the sorts), then the window tests that start runs on the worker thread, under
# both separators. The build takes the project's warnings as errors.
#   scripts/tsan.sh              the targets those tests need
#   scripts/tsan.sh --everything every target: CI's clang build of the whole tree
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${TSAN_BUILD_DIR:-build-tsan}"
TARGETS=(--target gen_thread_test core_tests)
if [ "${1:-}" = --everything ]; then TARGETS=(); fi
LAUNCHER=()
if command -v ccache >/dev/null; then LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
CONFIGURE_LOG=$(mktemp)
trap 'rm -f "$CONFIGURE_LOG"' EXIT
if ! cmake -S . -B "$BUILD_DIR" -G Ninja "${LAUNCHER[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DTOVIMO_WERROR=ON \
  -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >"$CONFIGURE_LOG" 2>&1; then
  cat "$CONFIGURE_LOG" >&2
  exit 1
fi
cmake --build "$BUILD_DIR" -j "$(nproc)" "${TARGETS[@]}"
export QT_QPA_PLATFORM=offscreen
export TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1 suppressions=$PWD/scripts/tsan.supp"
"$BUILD_DIR/tests/core/core_tests" --gtest_filter='Genetic*:Threads/GeneticSort.*:Threads/Pool.*'
for loc in C.UTF-8 ru_RU.UTF-8; do
  LC_ALL=$loc LANG=$loc "$BUILD_DIR/tests/gui/gen_thread_test"
done
echo "ThreadSanitizer: no data race found"
