#!/bin/sh
# Files per second of `quandel-cli sqlite` over an archive folder: FILES files of PAYMENTS
# payments each, in folders of 100, read with two jobs into a new database, then the same
# archive again (every file already in it), beside `check` of the same archive as the peer.
# Usage: bench/cli_sqlite.sh [BUILD_DIR] [FILES] [PAYMENTS]
#   defaults: build/dev, 10000 files, 100 payments. Target: at least 1000 files/s into a new
#   database (1,000,000 payments in 10 s).
set -eu

BUILD_DIR=${1:-build/dev}
FILES=${2:-10000}
PAYMENTS=${3:-100}
. "$(dirname "$0")/cli_common.sh"
bench_setup "$BUILD_DIR"

bench_archive "$FILES" "$PAYMENTS"
# The archive in the page cache before anything is timed.
"$CLI" check --jobs 2 "$WORK/archiv" >/dev/null || true

timed() {
  what=$1
  shift
  start=$(date +%s.%N)
  "$@" >/dev/null 2>"$WORK/err.txt" || true
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" -v n="$FILES" -v what="$what" 'BEGIN {
    t = e - s
    printf "%-28s %d files in %.3f s = %.0f files/s\n", what, n, t, n / t
  }'
}

echo "quandel-cli sqlite, $FILES files of $PAYMENTS payments, --jobs 2"
timed "check (peer)" "$CLI" check --jobs 2 "$WORK/archiv"
timed "sqlite, new database" "$CLI" sqlite --jobs 2 -o "$WORK/archiv.db" "$WORK/archiv"
tail -n 1 "$WORK/err.txt"
timed "sqlite, all files known" "$CLI" sqlite --jobs 2 -o "$WORK/archiv.db" "$WORK/archiv"
tail -n 1 "$WORK/err.txt"
echo "database: $(($(wc -c <"$WORK/archiv.db") / 1024)) KiB"
