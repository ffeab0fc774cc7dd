#!/usr/bin/env bash
# Installs the Debian package made by `make package` into a new, minimal Debian root made with
# debootstrap, with apt resolving its dependencies there, and runs `dunstrel --version` from it:
# the package must bring everything it needs. The root is kept in build-package/ for the next run.
set -euo pipefail
cd "$(dirname "$0")/.."

deb=$(ls build-package/dunstrel_*.deb | head -n 1)
root=build-package/clean-root
suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
# The package mirror this machine's own apt configuration names for that release; where it names
# none, debootstrap's default.
mirror=$(apt-get indextargets --format '$(REPO_URI)' "Release: $suite" "Identifier: Packages" \
  2>/dev/null | head -n 1 || true)

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
if [ ! -x "$root/usr/bin/apt-get" ]; then
  $sudo rm -rf "$root"
  $sudo debootstrap --variant=minbase "$suite" "$root" ${mirror:+"$mirror"} >/dev/null
fi
$sudo cp "$deb" "$root/tmp/dunstrel.deb"
$sudo chroot "$root" apt-get update -qq
$sudo chroot "$root" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -qq --no-install-recommends /tmp/dunstrel.deb >/dev/null
version=$($sudo chroot "$root" env -u DISPLAY -u QT_QPA_PLATFORM dunstrel --version)
echo "installed package says: $version"
for file in usr/share/applications/org.example.dunstrel.desktop \
            usr/share/metainfo/org.example.dunstrel.metainfo.xml \
            usr/share/icons/hicolor/scalable/apps/org.example.dunstrel.svg \
            usr/share/icons/hicolor/48x48/apps/org.example.dunstrel.png; do
  [ -f "$root/$file" ] || { echo "missing from the package: /$file" >&2; exit 1; }
done
$sudo chroot "$root" apt-get remove -y -qq dunstrel >/dev/null
[ "$version" = "Dunstrel $(sed -n 's/^project(Dunstrel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)" ]
