#!/usr/bin/env bash
# Compares the JSON of two tovimo-cli builds byte for byte: analyze (every fit,
# the genetic algorithm with a seed, both decimal separators) and score, on the
# bundled sample and on simulated fleets. The step-search fits stop on a
# wall-clock rule; TOVIMO_STEP_CLOCK makes both builds read a clock that
# advances by a fixed step per reading, so equal code gives equal bits.
#
#   bash scripts/compare_outputs.sh OLD_CLI NEW_CLI [WORK_DIR]
#
# Exit status 0 when every output is the same, 1 otherwise (the differing
# cases are listed, their outputs kept in WORK_DIR).
set -uo pipefail
cd "$(dirname "$0")/.."

OLD=${1:?old tovimo-cli}
NEW=${2:?new tovimo-cli}
WORK=${3:-$(mktemp -d)}
mkdir -p "$WORK"
export TOVIMO_STEP_CLOCK=${TOVIMO_STEP_CLOCK:-2}

files=(data/sample.txt)
for fleet in "40 1" "300 7" "1500 3"; do
  set -- $fleet
  f="$WORK/fleet_$1_$2.txt"
  "$NEW" simulate --failures "$1" --seed "$2" -o "$f"
  "$OLD" simulate --failures "$1" --seed "$2" -o "$f.old"
  if ! cmp -s "$f" "$f.old"; then echo "differs: simulate --failures $1 --seed $2"; fail=1; fi
  files+=("$f")
done

runs=(
  "analyze --json --models spiral,newton,smirnov"
  "analyze --json --models spiral,newton,smirnov --fit-mean --criterion 1"
  "analyze --json --models newton,smirnov --fit-sd --criterion 2"
  "analyze --json --models spiral --fit-mean --fit-sd"
  "analyze --json --models genetic --seed 5 --population 200 --generations 60 --threads 2"
  "analyze --json --models genetic --seed 9 --population 150 --generations 40 --fit-mean --fit-sd --threads 1"
  "analyze --json --models none --run-in 150"
  "score --json --A 1.2 --B 8000 --K 1.5"
  "score --json --A 0.8 --B 30000 --K 2 --mean 1500 --sd 400 --run-in 100"
)

fail=${fail:-0}
n=0
for f in "${files[@]}"; do
  for r in "${runs[@]}"; do
    for loc in C.UTF-8 ru_RU.UTF-8; do
      # the comma locale once per file is enough for the texts
      if [ "$loc" = ru_RU.UTF-8 ] && [ "$r" != "${runs[0]}" ]; then continue; fi
      n=$((n + 1))
      read -ra args <<<"$r"
      LC_ALL=$loc "$OLD" "${args[0]}" "$f" "${args[@]:1}" >"$WORK/$n.old" 2>&1
      rc_old=$?
      LC_ALL=$loc "$NEW" "${args[0]}" "$f" "${args[@]:1}" >"$WORK/$n.new" 2>&1
      rc_new=$?
      if [ $rc_old -ne $rc_new ] || ! cmp -s "$WORK/$n.old" "$WORK/$n.new"; then
        echo "differs ($n): LC_ALL=$loc $r on $f (exit $rc_old / $rc_new)"
        fail=1
      fi
    done
  done
done
echo "$n cases compared in $WORK"
exit $fail
