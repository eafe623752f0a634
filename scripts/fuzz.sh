#!/usr/bin/env bash
# Builds the libFuzzer targets into build-fuzz (clang, ASan + UBSan) and runs
# them for a fixed time each, one on each core.
#   scripts/fuzz.sh TARGET SECONDS
#   scripts/fuzz.sh all SECONDS      (every target in turn; what CI runs)
# TARGET: data_file, warranty_file, run_inputs or likelihood. The seed corpus (the test
# files, the bundled sample and simulated fleets) is written to
# build-fuzz/corpus/TARGET, which also keeps what the run adds. Crashing
# inputs land in build-fuzz/findings/TARGET and fail the run; keep each one
# under tests/data/fuzz-regressions/TARGET/ with a test that loads it. Those
# kept go into the corpus first, so that a fix is seen to hold.
set -euo pipefail
cd "$(dirname "$0")/.."
TARGETS=(data_file warranty_file run_inputs likelihood)
if [ $# -ne 2 ]; then
  echo "usage: $0 all|data_file|warranty_file|run_inputs|likelihood SECONDS" >&2
  exit 2
fi
if [ "$1" = all ]; then
  chosen=("${TARGETS[@]}")
else
  [[ " ${TARGETS[*]} " == *" $1 "* ]] || { echo "unknown target: $1" >&2; exit 2; }
  chosen=("$1")
fi
SECONDS_TO_RUN="$2"

BUILD=build-fuzz
if [ ! -f "$BUILD/build.ninja" ]; then
  LAUNCHER=()
  if command -v ccache >/dev/null; then LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
  CONFIGURE_LOG=$(mktemp)
  if ! cmake -S fuzz -B "$BUILD" -G Ninja "${LAUNCHER[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ >"$CONFIGURE_LOG" 2>&1; then
    cat "$CONFIGURE_LOG" >&2
    rm -f "$CONFIGURE_LOG"
    exit 1
  fi
  rm -f "$CONFIGURE_LOG"
fi
mkdir -p "$BUILD/logs"
if ! ninja -C "$BUILD" -j2 make_seeds "${chosen[@]/%/_fuzzer}" >"$BUILD/logs/build.txt" 2>&1; then
  tail -n 40 "$BUILD/logs/build.txt" >&2
  exit 1
fi
"$BUILD/make_seeds" "$BUILD/corpus"

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ROOT="$PWD"

# The project's own files, each behind an option byte.
seed_file() { { printf '\000'; cat "$1"; } >"$2/file_$(basename "$1")"; }

run_target() {
  local target=$1 unit_timeout
  # One input may run fits: the Newton fit with both warranty flags takes many
  # million evaluations by design, half a minute under the sanitizers.
  case "$target" in
    data_file | warranty_file) unit_timeout=30 ;;
    run_inputs) unit_timeout=180 ;;
    likelihood) unit_timeout=120 ;;
  esac
  local corpus="$BUILD/corpus/$target" findings="$BUILD/findings/$target" logs="$BUILD/logs/$target"
  rm -rf "$findings" # what an earlier run found was listed then
  mkdir -p "$corpus" "$findings" "$logs"
  case "$target" in
    data_file)
      for f in tests/data/*.txt data/sample.txt; do
        case "$(basename "$f")" in gar_*) ;; *) seed_file "$f" "$corpus" ;; esac
      done ;;
    warranty_file)
      for f in tests/data/gar_*.txt; do seed_file "$f" "$corpus"; done ;;
  esac
  if [ -d "tests/data/fuzz-regressions/$target" ]; then
    cp tests/data/fuzz-regressions/"$target"/* "$corpus"/ 2>/dev/null || true
  fi
  echo "== $target: $SECONDS_TO_RUN s"
  # One job on one core; libFuzzer writes the job's log into the current folder.
  local status=0
  (cd "$logs" && "$ROOT/$BUILD/${target}_fuzzer" "$ROOT/$corpus" -artifact_prefix="$ROOT/$findings/" \
    -max_total_time="$SECONDS_TO_RUN" -timeout="$unit_timeout" -rss_limit_mb=2048 -max_len=65536 \
    -workers=1 -jobs=1 -print_final_stats=1) || status=$?
  tail -n 12 "$logs/fuzz-0.log"
  # A slow unit is written there too, but only a crash, a leak, a timeout or
  # running out of memory is a finding.
  local found
  found=$(ls -1 "$findings" | grep -v '^slow-unit-' || true)
  if [ -n "$found" ]; then
    echo "$target: найдены входы, на которых программа падает:" >&2
    echo "$found" >&2
    status=1
  fi
  return "$status"
}

# As many targets at a time as there are cores, each on one.
status=0
batch=$(nproc)
for ((first = 0; first < ${#chosen[@]}; first += batch)); do
  running=("${chosen[@]:first:batch}")
  pids=()
  for target in "${running[@]}"; do
    run_target "$target" >"$BUILD/logs/$target.out" 2>&1 &
    pids+=($!)
  done
  for i in "${!running[@]}"; do
    wait "${pids[$i]}" || status=1
    cat "$BUILD/logs/${running[$i]}.out"
  done
done
exit "$status"
