#!/usr/bin/env bash
# Installs, from Debian's archive, everything Plotwell needs to build, test,
# benchmark and run. Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config ccache clang-format
  # Qt 6
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools
  qt6-svg-dev libqt6svg6 qt6-tools-dev-tools qt6-l10n-tools libgl-dev
  qt6-qpa-plugins
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev
  nodejs chromium
  xvfb xauth x11-utils imagemagick poppler-utils
  fonts-dejavu-core fonts-liberation2 fontconfig
  # a fallback with the full-width forms, such as the progress label's percent sign
  fonts-droid-fallback
  # peers the benchmarks and round-trip tests compare against
  python3 sqlite3 miller csvkit mariadb-server mariadb-client time
  # desktop hand-over for mail
  xdg-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything is installed"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
