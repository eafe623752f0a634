#!/usr/bin/env bash
# Builds the Debian package build/tovimo_<version>_<arch>.deb from the build in
# build/ (set up and built first) and checks it: lintian without errors, the
# menu entry and the AppStream metadata valid.
#   sudo apt-get install ./build/tovimo_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
EXTRA_PACKAGES="dpkg-dev file lintian desktop-file-utils appstream-util" bash scripts/setup.sh
rm -f build/tovimo_*.deb
(cd build && cpack -G DEB >/dev/null)
deb=$(ls build/tovimo_*.deb)
echo "$deb"
dpkg-deb --field "$deb" Package Version Architecture Depends
lintian --fail-on error --tag-display-limit 0 "$deb"
desktop-file-validate packaging/tovimo.desktop
appstream-util validate-relax --nonet build/packaging/tovimo.metainfo.xml
echo "Пакет собран и проверен: $deb"
