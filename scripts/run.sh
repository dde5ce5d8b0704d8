#!/bin/sh
# Installs what is missing, builds Quandel and starts the viewer with a DTAUS file
# (the shipped example when none is given).
set -eu
cd "$(dirname "$0")/.."
FILE=${1:-examples/beispiel.dta}
scripts/install-deps.sh
scripts/build.sh -DQUANDEL_BUILD_TESTS=OFF -DQUANDEL_BUILD_BENCH=OFF
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Keine grafische Oberfläche gefunden (DISPLAY ist nicht gesetzt)." >&2
  echo "Die Kontrolliste auf der Kommandozeile:" >&2
  exec build/src/cli/quandel-cli check "$FILE"
fi
exec build/src/quandel/quandel "$FILE"
