#!/bin/sh
# Whole-process speed and memory of quandel-cli on generated files, as a user runs it.
# Usage: bench/cli_bench.sh [BUILD_DIR] [COUNT] [HTML_COUNT]
#   BUILD_DIR   a build folder holding quandel-cli and gen_dtaus (default: build/dev)
#   COUNT       payments for check, json and csv (default: 100000, 29.9 MB)
#   HTML_COUNT  payments for html and gzip -1 (default: 1000000, 299 MB)
# Targets: check, json and csv of 100,000 payments at most 40 ms each; html of 1,000,000
# payments at most 0.75 times gzip -1 of the same file in the same run, peak memory at most
# 1.5 times the file. Uses hyperfine when installed, /usr/bin/time otherwise. Output goes to
# /dev/null for every command alike, so gzip and html are compared on equal terms.
set -eu

BUILD_DIR=${1:-build/dev}
COUNT=${2:-100000}
HTML_COUNT=${3:-1000000}
. "$(dirname "$0")/cli_common.sh"
bench_setup "$BUILD_DIR" /usr/bin/time
SMALL="$WORK/small.dta"
BIG="$WORK/big.dta"
"$GEN" "$SMALL" "$COUNT"
"$GEN" "$BIG" "$HTML_COUNT"
# Both files in the page cache before anything is timed.
cat "$SMALL" "$BIG" >/dev/null

if command -v hyperfine >/dev/null 2>&1; then
  hyperfine -N --warmup 3 --runs 30 --style basic --export-json "$WORK/small.json" \
    "$CLI check $SMALL" "$CLI json $SMALL --locale de_DE" "$CLI csv $SMALL --locale de_DE"
  hyperfine -N --warmup 1 --runs 5 --style basic --export-json "$WORK/big.json" \
    "$CLI html $BIG --locale de_DE" "gzip -1 -c $BIG"
  python3 - "$WORK/small.json" "$WORK/big.json" <<'PY'
import json, sys
small = json.load(open(sys.argv[1]))["results"]
big = json.load(open(sys.argv[2]))["results"]
for r in small:
    print("%-6s %7.1f ms (min %.1f, user+system %.1f ms)" % (
        r["command"].split()[1], r["mean"] * 1e3, r["min"] * 1e3, (r["user"] + r["system"]) * 1e3))
html, gzip = big
print("html %.3f s, gzip -1 %.3f s: %.2f of gzip (by minimum %.2f)" % (
    html["mean"], gzip["mean"], html["mean"] / gzip["mean"], html["min"] / gzip["min"]))
PY
else
  for command in check json csv; do
    /usr/bin/time -f "$command %e s (user %U s, system %S s)" "$CLI" "$command" "$SMALL" >/dev/null
  done
  /usr/bin/time -f "html %e s" "$CLI" html "$BIG" >/dev/null
  /usr/bin/time -f "gzip -1 %e s" gzip -1 -c "$BIG" >/dev/null
fi

/usr/bin/time -f "%M" -o "$WORK/rss.txt" "$CLI" html "$BIG" --locale de_DE >/dev/null
RSS_KB=$(cat "$WORK/rss.txt")
BYTES=$(wc -c <"$BIG")
echo "html peak memory: $((RSS_KB / 1024)) MiB for a file of $((BYTES / 1048576)) MiB" \
  "($(awk "BEGIN { printf \"%.2f\", $RSS_KB * 1024 / $BYTES }") times the file)"
