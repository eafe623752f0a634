#!/usr/bin/env bash
# Installs what the build needs (Debian 12) when it is missing, then
# configures and builds into build/ (or the folder given as $BUILD_DIR).
# EXTRA_PACKAGES names more Debian packages a caller needs (packaging tools);
# CMAKE_EXTRA more options for CMake.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-charts-dev qt6-svg-dev libgl1-mesa-dev
  libicu-dev libboost-dev libfmt-dev nlohmann-json3-dev libcli11-dev libgtest-dev libgmock-dev libbenchmark-dev
  locales fonts-dejavu-core xvfb xauth clang clang-format libclang-rt-14-dev poppler-utils ccache
  ${EXTRA_PACKAGES:-})

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
if ((${#missing[@]})); then
  echo "Устанавливаются пакеты: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# The tests run texts under a comma decimal separator too; without ru_RU
# they would skip those cases, so a machine that cannot build it fails here.
if ! locale -a 2>/dev/null | grep -qi "^ru_RU.utf8$"; then
  if ! $SUDO localedef -i ru_RU -f UTF-8 ru_RU.UTF-8 || ! locale -a 2>/dev/null | grep -qi "^ru_RU.utf8$"; then
    echo "Не удалось создать локаль ru_RU.UTF-8 (localedef): тесты с десятичной запятой не могут идти" >&2
    exit 1
  fi
fi

BUILD_DIR="${BUILD_DIR:-build}"
LAUNCHER=()
if command -v ccache >/dev/null; then LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
# CMake's findings are quiet unless the configuration fails.
CONFIGURE_LOG=$(mktemp)
trap 'rm -f "$CONFIGURE_LOG"' EXIT
if ! cmake -S . -B "$BUILD_DIR" -G Ninja "${LAUNCHER[@]}" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
  ${CMAKE_EXTRA:-} >"$CONFIGURE_LOG" 2>&1; then
  cat "$CONFIGURE_LOG" >&2
  echo "Конфигурация CMake не удалась (выше её вывод)." >&2
  exit 1
fi
cmake --build "$BUILD_DIR" -j "$(nproc)"
