#!/usr/bin/env bash
# Checks the tree's rules: every source formatted with the repository's
# .clang-format, no Qt in core/, no desktop code reached from core/ or cli/
# except the chart and report libraries, and a chart library that reaches
# nothing else of the desktop program.
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
if git grep -n '#include "gui/' -- 'gui/charts/' | grep -v '"gui/charts/'; then
  echo "the chart library stands on its own: it includes nothing else from gui/"
  fail=1
fi
if git grep -n '#include "gui/' -- 'core/'; then
  echo "core/ must not include anything from gui/"
  fail=1
fi
exit $fail
