#!/usr/bin/env bash
# Sets up, builds and runs the program on the bundled sample data.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
SAMPLE="$PWD/data/sample.txt"
if [ -x build/gui/tovimo ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec build/gui/tovimo --sample "$SAMPLE"
fi
if [ -x build/gui/tovimo ]; then
  echo "Нет графического дисплея: анализ образца выполняется без окон (tovimo-cli)."
fi
exec build/cli/tovimo-cli analyze "$SAMPLE" --models spiral,newton,smirnov "$@"
