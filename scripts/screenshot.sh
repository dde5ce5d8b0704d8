#!/bin/sh
# Starts the viewer under a virtual X display on a DTAUS file and saves a screenshot.
# Usage: scripts/screenshot.sh [DTAUS-file] [PNG-file]
#   QUANDEL_BIN  the viewer to start (default: the first build found under build/)
#   SHOT_DELAY   seconds to wait for the window (default 3)
#   SHOT_LOCALE  the user's locale for numbers and dates (default de_DE.UTF-8)
#   SHOT_FIND    text typed into the find bar (Strg+F) before the shot, e.g. SHOT_FIND=MUELLER
# Needs xvfb-run (xvfb, xauth), import (imagemagick) and, for SHOT_FIND, xdotool.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)

BIN=${QUANDEL_BIN:-}
if [ -z "$BIN" ]; then
  for candidate in "$ROOT"/build/dev/src/quandel/quandel "$ROOT"/build/*/src/quandel/quandel; do
    if [ -x "$candidate" ]; then BIN=$candidate; break; fi
  done
fi
[ -n "$BIN" ] && [ -x "$BIN" ] || { echo "Kein ausführbares quandel gefunden; QUANDEL_BIN setzen." >&2; exit 1; }

FILE=${1:-$ROOT/examples/beispiel.dta}
OUT=${2:-$PWD/quandel-screenshot.png}
[ -f "$FILE" ] || { echo "Datei nicht gefunden: $FILE" >&2; exit 1; }
case "$OUT" in /*) ;; *) OUT=$PWD/$OUT ;; esac

export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
export QT_QPA_PLATFORM=xcb
export LC_ALL=${SHOT_LOCALE:-de_DE.UTF-8}
xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
  "$1" "$2" &
  viewer=$!
  sleep "$4"
  if [ -n "$5" ]; then
    window=$(xdotool search --onlyvisible --pid "$viewer" | head -n 1)
    xdotool windowfocus --sync "$window" key --window "$window" ctrl+f
    sleep 0.5
    xdotool type --window "$window" --delay 50 "$5"
    sleep 1
  fi
  import -window root "$3"
  kill "$viewer"
' screenshot "$BIN" "$FILE" "$OUT" "${SHOT_DELAY:-3}" "${SHOT_FIND:-}"
echo "$OUT"
