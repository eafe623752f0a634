#!/usr/bin/env bash
# Checks the tree's rules: every source formatted with the repository's
# .clang-format, no Qt in core/, no desktop code reached from core/ or cli/
# except the chart and report libraries, a chart library that reaches
# nothing else of the desktop program, workers that know no window, and the
# core's folders depending one way only.
set -euo pipefail
cd "$(dirname "$0")/.."
fail=0
# The formatting is that of clang-format 14 (Debian 12's); another version
# may format the same source differently.
CLANG_FORMAT_MAJOR=14
if ! clang-format --version | grep -q "version $CLANG_FORMAT_MAJOR\."; then
  echo "clang-format $CLANG_FORMAT_MAJOR ожидается, найден: $(clang-format --version)"
  fail=1
fi
FORMAT_LOG=$(mktemp)
trap 'rm -f "$FORMAT_LOG"' EXIT
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run --Werror "${sources[@]}" 2>"$FORMAT_LOG"; then
  echo "Не отформатированы (clang-format -i ФАЙЛ):"
  grep -o '^[^:]*\.\(cpp\|h\)' "$FORMAT_LOG" | sort -u
  fail=1
fi
if git grep -n '#include <Q' -- 'core/' ; then
  echo "core/ must not include Qt"
  fail=1
fi
if git grep -n '#include "gui/' -- 'core/' 'cli/' | grep -v '"gui/charts/\|"gui/report/'; then
  echo "core/ and cli/ may include only the chart and report libraries from gui/"
  fail=1
fi
if git grep -n '#include "gui/' -- 'gui/charts/' | grep -v '"gui/charts/'; then
  echo "the chart library stands on its own: it includes nothing else from gui/"
  fail=1
fi
if git grep -n '#include "gui/windows/' -- 'gui/workers/' 'gui/charts/'; then
  echo "workers and charts report to the windows through signals or the call queue: no include of gui/windows/"
  fail=1
fi
if git grep -n '#include "gui/' -- 'core/'; then
  echo "core/ must not include anything from gui/"
  fail=1
fi
# Which core folders each core folder may include (besides itself).
declare -A may_include=(
  [text]=""
  [state]="text"
  [stats]="state text"
  [data]="stats state text"
  [results]="stats state text"
  [fit]="results stats state text"
  [genetic]="stats state text"
)
while IFS=: read -r file line include; do
  from=$(cut -d/ -f2 <<<"$file")
  to=$(sed -E 's|.*"core/([a-z_]+)/.*|\1|' <<<"$include")
  if [ "$from" != "$to" ] && [[ " ${may_include[$from]-} " != *" $to "* ]]; then
    echo "$file:$line: core/$from/ must not include core/$to/"
    fail=1
  fi
done < <(git grep -n '#include "core/' -- 'core/*/*')
exit $fail
