#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages that building and testing Dunstrel need; only the missing
# ones, with sudo when not run as root. `setup.sh windows-cross` installs instead what building
# the core and its tests for Windows and running them needs: the MinGW-w64 compiler, GoogleTest's
# sources and Wine; `setup.sh package-check` what makes a clean Debian root to install the
# package into; `setup.sh fuzz` clang with its libFuzzer runtime, for the fuzzers. "a|b" names one package that distributions call differently: the first one apt
# knows is installed.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libicu-dev zlib1g-dev libzstd-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools "qt6-svg-dev|libqt6svg6-dev" libqt6svg6 qt6-qpa-plugins libgl-dev
  xdg-utils qt6-translations-l10n
  ncdu
  desktop-file-utils appstream librsvg2-bin dpkg-dev
)
if [ "${1:-}" = "windows-cross" ]; then
  packages=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev cmake ninja-build googletest wine64)
fi
if [ "${1:-}" = "package-check" ]; then
  packages=(debootstrap)
fi
if [ "${1:-}" = "fuzz" ]; then
  packages=(clang libclang-rt-dev cmake ninja-build libicu-dev)
fi

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

missing=()
for choice in "${packages[@]}"; do
  found=no
  for package in ${choice//|/ }; do
    if installed "$package"; then
      found=yes
    fi
  done
  if [ $found = no ]; then
    missing+=("$choice")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
chosen=()
for choice in "${missing[@]}"; do
  pick=${choice%%|*}
  for package in ${choice//|/ }; do
    if apt-cache show "$package" >/dev/null 2>&1; then
      pick=$package
      break
    fi
  done
  chosen+=("$pick")
done
$sudo apt-get install -y -qq --no-install-recommends "${chosen[@]}"
