#!/bin/sh
# Installs what is missing, builds the viewer and the command-line tool (dev preset, build/dev/)
# and starts the viewer with a DTAUS file (the shipped example when none is given).
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
FILE=${1:-$ROOT/examples/beispiel.dta}
"$ROOT/scripts/install-deps.sh"
TARGETS="quandel quandel-cli" "$ROOT/scripts/build.sh"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Keine grafische Oberfläche gefunden (DISPLAY ist nicht gesetzt)." >&2
  echo "Die Kontrolliste auf der Kommandozeile:" >&2
  exec "$ROOT/build/dev/src/cli/quandel-cli" check "$FILE"
fi
# Started from the caller's folder, so a relative name stays as typed in the status text.
exec "$ROOT/build/dev/src/quandel/quandel" "$FILE"
