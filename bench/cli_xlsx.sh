#!/bin/sh
# Whole-process time of `quandel-cli xlsx` on a generated file of COUNT payments, beside
# `csv -o` of the same file as the peer. Both write a real file in the scratch folder.
# Usage: bench/cli_xlsx.sh [BUILD_DIR] [COUNT]
#   defaults: build/dev, 1000000 payments (299 MB). Target: at most 3 s for 1,000,000.
set -eu

BUILD_DIR=${1:-build/dev}
COUNT=${2:-1000000}
. "$(dirname "$0")/cli_common.sh"
bench_setup "$BUILD_DIR" /usr/bin/time

"$GEN" "$WORK/input.dta" "$COUNT" >/dev/null
cat "$WORK/input.dta" >/dev/null

echo "quandel-cli xlsx, $COUNT payments"
/usr/bin/time -f "csv (peer): %e s wall, user %U s, system %S s, %M kB peak" \
  "$CLI" csv "$WORK/input.dta" -o "$WORK/out.csv" --locale de_DE 2>&1
rm -f "$WORK/out.csv"
/usr/bin/time -f "xlsx:       %e s wall, user %U s, system %S s, %M kB peak" \
  "$CLI" xlsx "$WORK/input.dta" -o "$WORK/out.xlsx" --locale de_DE 2>&1
echo "workbook: $(($(wc -c <"$WORK/out.xlsx") / 1024)) KiB"
