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
  bench_files_per_second "$FILES" "check${1:+ $*} --jobs 2:" "$CLI" check "$@" --jobs 2 "$WORK/archiv"
  tail -n 1 "$WORK/out.txt"
}

echo "quandel-cli check, $FILES files of $PAYMENTS payments"
run
run --accounts
