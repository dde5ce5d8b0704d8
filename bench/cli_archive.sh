#!/bin/sh
# Files per second of quandel-cli's archive commands find, list and duplicates (with check as
# the peer they share the walk with): FILES files of PAYMENTS payments each, no two payments
# alike, in folders of 100, plus a folder with copies of the first 1 % of the files; two jobs.
# Usage: bench/cli_archive.sh [BUILD_DIR] [FILES] [PAYMENTS]
#   defaults: build/dev, 10000 files, 100 payments.
#   Targets: find and list at least 5000 files/s, duplicates at least 2000 files/s.
set -eu

BUILD_DIR=${1:-build/dev}
FILES=${2:-10000}
PAYMENTS=${3:-100}
. "$(dirname "$0")/cli_common.sh"
bench_setup "$BUILD_DIR"

bench_archive "$FILES" "$PAYMENTS"
mkdir "$WORK/archiv/kopien"
i=0
while [ "$i" -lt $((FILES / 100)) ]; do
  cp "$WORK/archiv/0/$i.dta" "$WORK/archiv/kopien/$i.dta"
  i=$((i + 1))
done
TOTAL=$((FILES + FILES / 100))

run() {
  bench_files_per_second "$TOTAL" "$* --jobs 2:" "$CLI" "$@" --jobs 2 "$WORK/archiv"
  tail -n 1 "$WORK/err.txt"
}

echo "quandel-cli over $TOTAL files of $PAYMENTS payments (load: $(cut -d' ' -f1-3 /proc/loadavg))"
run check
run find --name "nr 4711"
run find --amount 100..200 --purpose "m}nchen"
run list
run duplicates
if [ -x /usr/bin/time ]; then
  /usr/bin/time -f "duplicates: peak memory %M KB" "$CLI" duplicates --jobs 2 "$WORK/archiv" >/dev/null 2>"$WORK/err.txt" || true
  tail -n 1 "$WORK/err.txt"
fi
