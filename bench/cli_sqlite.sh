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

# Each run of bench_files_per_second starts from no database, so both measure a new one.
sqlite_new() {
  rm -f "$WORK/archiv.db"
  "$CLI" sqlite --jobs 2 -o "$WORK/archiv.db" "$WORK/archiv"
}
sqlite_again() { "$CLI" sqlite --jobs 2 -o "$WORK/archiv.db" "$WORK/archiv"; }

echo "quandel-cli sqlite, $FILES files of $PAYMENTS payments, --jobs 2"
bench_files_per_second "$FILES" "check (peer)" "$CLI" check --jobs 2 "$WORK/archiv"
bench_files_per_second "$FILES" "sqlite, new database" sqlite_new
tail -n 1 "$WORK/err.txt"
bench_files_per_second "$FILES" "sqlite, all files known" sqlite_again
tail -n 1 "$WORK/err.txt"
echo "database: $(($(wc -c <"$WORK/archiv.db") / 1024)) KiB"
