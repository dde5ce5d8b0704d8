#!/bin/sh
# Whole-process speed and memory of quandel-cli on generated files, as a user runs it, and
# json and csv beside the PHP reader's parse of the same file in the same run.
# Usage: bench/cli_bench.sh [BUILD_DIR] [COUNT] [HTML_COUNT]
#   BUILD_DIR   a build folder holding quandel-cli and gen_dtaus (default: build/dev)
#   COUNT       payments for check, json and csv (default: 100000, 29.9 MB)
#   HTML_COUNT  payments for html and gzip -1 (default: 1000000, 299 MB)
#   PEAR_DIR    (environment) the PHP reader and its parse driver (default: ../shared/peers/pear
#               beside the project's folder); php-cli, php-mbstring and php-pear are installed
#               from Debian when missing and allowed, else the comparison is skipped with a word.
# Targets: check, json and csv of 100,000 payments at most 40 ms each; json and csv each at most
# 1/100 of the PHP reader's parse of the same file; html of 1,000,000 payments at most 0.75
# times gzip -1 of the same file in the same run, peak memory at most 1.5 times the file.
# Uses hyperfine when installed, a loop of timed runs otherwise. Output goes to /dev/null for
# every command alike, so gzip and html are compared on equal terms.
set -eu

BUILD_DIR=${1:-build/dev}
COUNT=${2:-100000}
HTML_COUNT=${3:-1000000}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
PEAR_DIR=${PEAR_DIR:-$ROOT/../shared/peers/pear}
. "$(dirname "$0")/cli_common.sh"
bench_setup "$BUILD_DIR" /usr/bin/time
SMALL="$WORK/small.dta"
BIG="$WORK/big.dta"
"$GEN" "$SMALL" "$COUNT"
"$GEN" "$BIG" "$HTML_COUNT"
# Both files in the page cache before anything is timed.
cat "$SMALL" "$BIG" >/dev/null

# `wall_ms RUNS CMD...`: the command's mean wall time in milliseconds over RUNS runs in a row.
# Timed around the whole loop: a clock read per run would add the start of a `date` process
# (1 to 3 ms here) to every run of a command that itself takes about 30 ms.
# Its own counter: a shell function shares the caller's variables.
wall_ms() {
  wall_runs=$1
  shift
  wall_run=0
  start=$(date +%s%N)
  while [ "$wall_run" -lt "$wall_runs" ]; do
    "$@" >/dev/null 2>&1
    wall_run=$((wall_run + 1))
  done
  end=$(date +%s%N)
  awk -v ns=$((end - start)) -v n="$wall_runs" 'BEGIN { printf "%.1f\n", ns / n / 1e6 }'
}
median() { awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

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

# json and csv beside the PHP reader, on the same file, in turn, in the same run.
have_php() { command -v php >/dev/null 2>&1 && php -r 'exit(function_exists("mb_substr") && (include_once "PEAR.php") ? 0 : 1);' 2>/dev/null; }
if ! have_php && command -v apt-get >/dev/null 2>&1; then
  as_root=""
  [ "$(id -u)" -eq 0 ] || as_root="sudo -n"
  echo "PHP fehlt: installiere php-cli, php-mbstring, php-pear aus Debian ..."
  $as_root apt-get install -y --no-install-recommends php-cli php-mbstring php-pear >"$WORK/apt.log" 2>&1 ||
    echo "Installation nicht möglich (siehe apt-get; ohne Root-Rechte: sudo apt-get install php-cli php-mbstring php-pear)."
fi
if [ ! -f "$PEAR_DIR/parse.php" ]; then
  echo "Vergleich mit dem PHP-Leser übersprungen: $PEAR_DIR/parse.php nicht gefunden (PEAR_DIR setzen)."
elif ! have_php; then
  echo "Vergleich mit dem PHP-Leser übersprungen: php-cli mit mbstring und PEAR ist nicht zu haben."
else
  PHP_RUNS=5
  RUNS=20
  : >"$WORK/php.txt"
  round=0
  while [ "$round" -lt "$PHP_RUNS" ]; do
    php "$PEAR_DIR/parse.php" "$SMALL" --quiet 2>/dev/null >"$WORK/parse.json"
    python3 -c 'import json, sys; r = json.load(open(sys.argv[1])); print(r["parse_seconds"] * 1000, r["count"], len(r["errors"]))' \
      "$WORK/parse.json" >>"$WORK/php.txt"
    wall_ms "$RUNS" "$CLI" json "$SMALL" --locale de_DE >>"$WORK/json.txt"
    wall_ms "$RUNS" "$CLI" csv "$SMALL" --locale de_DE >>"$WORK/csv.txt"
    round=$((round + 1))
  done
  read -r _ PHP_COUNT PHP_ERRORS <"$WORK/php.txt"
  if [ "$PHP_COUNT" != "$COUNT" ] || [ "$PHP_ERRORS" != 0 ]; then
    echo "Achtung: der PHP-Leser las $PHP_COUNT von $COUNT Zahlungen mit $PHP_ERRORS Fehlern."
  fi
  PHP_MS=$(cut -d' ' -f1 "$WORK/php.txt" | sort -n | median)
  printf "PHP-Leser (nur das Parsen), %s Zahlungen: %.1f ms (Median aus %s)\n" "$COUNT" "$PHP_MS" "$PHP_RUNS"
  for command in json csv; do
    MS=$(sort -n "$WORK/$command.txt" | median)
    MIN=$(sort -n "$WORK/$command.txt" | head -1)
    awk -v c="$command" -v ms="$MS" -v min="$MIN" -v php="$PHP_MS" -v rounds="$PHP_RUNS" -v n="$RUNS" 'BEGIN {
      printf "%-4s %7.1f ms (Median aus %d Mitteln über je %d Läufe, min %.1f): %.4f des PHP-Lesers = %.0f-mal so schnell (Ziel: höchstens 0.0100)\n",
        c, ms, rounds, n, min, ms / php, php / ms
    }'
  done
fi
