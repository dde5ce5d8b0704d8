#!/bin/sh
# Whole-process cost of `quandel-cli html` on a generated file of many payments.
# Usage: bench/cli_html.sh [BUILD_DIR] [COUNT]
#   BUILD_DIR  a build folder holding the targets quandel-cli and gen_dtaus (default: build/dev)
#   COUNT      number of C records (default: 1000000)
# Prints wall time and peak memory as /usr/bin/time -v measures them, beside gzip -1 of the same
# file; targets are at most 0.75 times gzip -1 and at most 1.5 times the file's size.
# bench/cli_bench.sh measures all commands with repeated runs.
set -eu

BUILD_DIR=${1:-build/dev}
COUNT=${2:-1000000}
. "$(dirname "$0")/cli_common.sh"
bench_setup "$BUILD_DIR" /usr/bin/time

"$GEN" "$WORK/input.dta" "$COUNT"
# A real file as output (never a device): the tool replaces regular files by renaming.
/usr/bin/time -v "$CLI" html "$WORK/input.dta" -o "$WORK/out.html" --locale de_DE \
  2>"$WORK/time.txt" || { cat "$WORK/time.txt" >&2; exit 1; }

INPUT_BYTES=$(wc -c <"$WORK/input.dta")
OUTPUT_BYTES=$(wc -c <"$WORK/out.html")
WALL=$(sed -n 's/^.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$WORK/time.txt")
RSS_KB=$(sed -n 's/^.*Maximum resident set size (kbytes): //p' "$WORK/time.txt")
USER_S=$(sed -n 's/^.*User time (seconds): //p' "$WORK/time.txt")
SYS_S=$(sed -n 's/^.*System time (seconds): //p' "$WORK/time.txt")

echo "quandel-cli html, $COUNT payments ($INPUT_BYTES bytes in, $OUTPUT_BYTES bytes out)"
echo "wall time:   $WALL (user $USER_S s, system $SYS_S s)"
echo "peak memory: $((RSS_KB / 1024)) MB ($RSS_KB kB, $(awk "BEGIN { printf \"%.2f\", $RSS_KB * 1024 / $INPUT_BYTES }") times the file)"
/usr/bin/time -f "%e" -o "$WORK/gzip.txt" gzip -1 -c "$WORK/input.dta" >/dev/null
echo "gzip -1 of the same file: $(cat "$WORK/gzip.txt") s"
