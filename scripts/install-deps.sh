#!/usr/bin/env bash
# Installs, from Debian's archive, what one kind of work on Plotwell needs. Safe to run again:
# it only installs what is missing.
#
#   scripts/install-deps.sh [run]   build and run the application
#   scripts/install-deps.sh test    run, plus the test suite and its peers
#   scripts/install-deps.sh bench   test, plus the benchmarks and the programs they race
#   scripts/install-deps.sh fuzz    run, plus clang for the libFuzzer targets
#   scripts/install-deps.sh package run, plus what `make package` needs to build the .deb
set -euo pipefail

run=(
  # build
  build-essential cmake ninja-build pkg-config ccache
  # Qt 6
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools
  qt6-webchannel-dev qt6-svg-dev libqt6svg6 qt6-tools-dev-tools qt6-l10n-tools libgl-dev
  qt6-qpa-plugins
  # joins the batches of a chart printed on many sheets into one PDF
  libqpdf-dev
  # the chart's fonts; Linux Biolinum, a classic humanist sans, is the boxes' default face
  fonts-dejavu-core fonts-liberation2 fontconfig fonts-linuxlibertine
  # a fallback with the full-width forms, such as the progress label's percent sign
  fonts-droid-fallback
  # desktop hand-over for mail
  xdg-utils
)
clang=(clang-14 libclang-rt-14-dev)
test=(
  "${run[@]}" "${clang[@]}"
  googletest libgtest-dev libgmock-dev clang-format
  # the chart page's script tests
  nodejs
  # PDF facts of the exports; the emoji font lets the exact-text test read emoji back from a PDF
  poppler-utils fonts-noto-color-emoji
  # the independent readers the converters' round trips are checked against
  python3 mariadb-server mariadb-client
  # the desktop entry and the AppStream metainfo are validated
  desktop-file-utils appstream
  # window screenshots on a virtual display
  xvfb xauth x11-utils imagemagick xdotool
)
bench=(
  "${test[@]}"
  libbenchmark-dev
  # peers the benchmarks compare against
  chromium sqlite3 miller csvkit time
)
fuzz=("${run[@]}" "${clang[@]}")
# dpkg-shlibdeps finds the package's dependencies; CPack recognises the binaries with file.
package=("${run[@]}" dpkg-dev file)

set_name=${1:-run}
case "$set_name" in
  run) packages=("${run[@]}") ;;
  test) packages=("${test[@]}") ;;
  bench) packages=("${bench[@]}") ;;
  fuzz) packages=("${fuzz[@]}") ;;
  package) packages=("${package[@]}") ;;
  *)
    echo "install-deps: unknown set '$set_name' (run, test, bench, fuzz or package)" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything for '$set_name' is installed"
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
