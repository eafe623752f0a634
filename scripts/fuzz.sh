#!/usr/bin/env bash
# Builds the libFuzzer targets into build-fuzz (clang, ASan + UBSan) and runs
# one of them for a fixed time on one core.
#   scripts/fuzz.sh TARGET SECONDS
# TARGET: data_file, warranty_file, run_inputs or likelihood. The seed corpus (the test
# files, the bundled sample and simulated fleets) is written to
# build-fuzz/corpus/TARGET, which also keeps what the run adds. Crashing
# inputs land in build-fuzz/findings/TARGET; keep each one under
# tests/data/fuzz-regressions/TARGET/ with a test that loads it.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ne 2 ]; then
  echo "usage: $0 data_file|warranty_file|run_inputs|likelihood SECONDS" >&2
  exit 2
fi
TARGET="$1"
SECONDS_TO_RUN="$2"
# One input may run fits: the Newton fit with both warranty flags takes many
# million evaluations by design, half a minute under the sanitizers.
case "$TARGET" in
  data_file|warranty_file) UNIT_TIMEOUT=30 ;;
  run_inputs) UNIT_TIMEOUT=180 ;;
  likelihood) UNIT_TIMEOUT=120 ;;
  *) echo "unknown target: $TARGET" >&2; exit 2 ;;
esac

BUILD=build-fuzz
if [ ! -f "$BUILD/build.ninja" ]; then
  cmake -S fuzz -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ >/dev/null
fi
ninja -C "$BUILD" -j2 "${TARGET}_fuzzer" make_seeds >/dev/null

CORPUS="$BUILD/corpus/$TARGET"
FINDINGS="$BUILD/findings/$TARGET"
mkdir -p "$CORPUS" "$FINDINGS"
"$BUILD/make_seeds" "$BUILD/corpus"
# The project's own files, each behind an option byte.
seed_file() { { printf '\000'; cat "$1"; } >"$CORPUS/file_$(basename "$1")"; }
case "$TARGET" in
  data_file)
    for f in tests/data/*.txt data/sample.txt; do
      case "$(basename "$f")" in gar_*) ;; *) seed_file "$f" ;; esac
    done ;;
  warranty_file)
    for f in tests/data/gar_*.txt; do seed_file "$f"; done ;;
esac
# Earlier findings stay in the corpus so that a fix is seen to hold.
if [ -d "tests/data/fuzz-regressions/$TARGET" ]; then
  cp tests/data/fuzz-regressions/"$TARGET"/* "$CORPUS"/ 2>/dev/null || true
fi

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# One job on one core; libFuzzer writes the job's log into the current folder.
ROOT="$PWD"
LOGS="$BUILD/logs/$TARGET"
mkdir -p "$LOGS"
cd "$LOGS"
status=0
"$ROOT/$BUILD/${TARGET}_fuzzer" "$ROOT/$CORPUS" -artifact_prefix="$ROOT/$FINDINGS/" \
  -max_total_time="$SECONDS_TO_RUN" -timeout="$UNIT_TIMEOUT" -rss_limit_mb=2048 -max_len=65536 \
  -workers=1 -jobs=1 -print_final_stats=1 || status=$?
tail -n 40 fuzz-0.log
ls -1 "$ROOT/$FINDINGS"
exit "$status"
