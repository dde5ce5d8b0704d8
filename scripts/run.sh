#!/bin/sh
# Installs what is missing, builds Quandel and starts the viewer with a DTAUS file
# (the shipped example when none is given).
set -eu
# A file named relative to the caller's folder must still be found after the cd below.
FILE=${1:-}
[ -n "$FILE" ] && [ -e "$FILE" ] && FILE=$(realpath "$FILE")
cd "$(dirname "$0")/.."
FILE=${FILE:-examples/beispiel.dta}
scripts/install-deps.sh
scripts/build.sh -DQUANDEL_BUILD_TESTS=OFF -DQUANDEL_BUILD_BENCH=OFF
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Keine grafische Oberfläche gefunden (DISPLAY ist nicht gesetzt)." >&2
  echo "Die Kontrolliste auf der Kommandozeile:" >&2
  exec build/src/cli/quandel-cli check "$FILE"
fi
exec build/src/quandel/quandel "$FILE"
