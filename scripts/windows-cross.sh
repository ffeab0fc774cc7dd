#!/usr/bin/env bash
# Installs what building the core for Windows and running its tests need (scripts/setup.sh
# windows-cross), then prints the path of the Wine launcher that runs the tests' programs. It is
# looked for only now, after the install, so that a machine that has never had Wine finds the one
# just installed. Fails, saying so, when there is none.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh windows-cross >&2

for candidate in wine64 /usr/lib/wine/wine64 wine; do
  if launcher=$(command -v "$candidate"); then
    echo "$launcher"
    exit 0
  fi
done
echo "windows-cross.sh: no Wine launcher (wine64 or wine) was found after installing wine64;" \
  "the Windows tests cannot run without one" >&2
exit 1
