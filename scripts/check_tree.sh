#!/usr/bin/env bash
# Checks the tree's rules: every source formatted with the repository's
# .clang-format, no Qt in core/, and no desktop code reached from core/ or
# cli/ except the chart library.
set -euo pipefail
cd "$(dirname "$0")/.."
fail=0
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run --Werror "${sources[@]}" 2>/tmp/tovimo-format.txt; then
  echo "Не отформатированы (clang-format -i ФАЙЛ):"
  grep -o '^[^:]*\.\(cpp\|h\)' /tmp/tovimo-format.txt | sort -u
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
if git grep -n '#include "gui/' -- 'core/'; then
  echo "core/ must not include anything from gui/"
  fail=1
fi
exit $fail
