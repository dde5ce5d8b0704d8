#!/bin/sh
# Files per second of `quandel-cli check` over an archive folder: FILES files of PAYMENTS
# payments each, in folders of 100, checked with two jobs, without and with the account check.
# Usage: bench/cli_check.sh [BUILD_DIR] [FILES] [PAYMENTS]
#   defaults: build/dev, 2000 files, 100 payments. Target: at least 1000 files/s without accounts.
set -eu

BUILD_DIR=${1:-build/dev}
FILES=${2:-2000}
PAYMENTS=${3:-100}
. "$(dirname "$0")/cli_common.sh"
bench_setup "$BUILD_DIR"

bench_archive "$FILES" "$PAYMENTS"

run() {
  # The first run warms the page cache; the second is measured.
  "$CLI" check "$@" --jobs 2 "$WORK/archiv" >/dev/null || true
  start=$(date +%s.%N)
  "$CLI" check "$@" --jobs 2 "$WORK/archiv" >"$WORK/out.txt" || true
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" -v n="$FILES" -v what="$*" 'BEGIN {
    t = e - s
    printf "check %-11s --jobs 2: %d files in %.3f s = %.0f files/s\n", what, n, t, n / t
  }'
  tail -n 1 "$WORK/out.txt"
}

echo "quandel-cli check, $FILES files of $PAYMENTS payments"
run
run --accounts
