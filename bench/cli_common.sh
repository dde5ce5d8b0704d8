# Shared set-up of the whole-process benchmarks: sourced, not run.
# After `bench_setup BUILD_DIR [TOOL...]`: CLI and GEN name the programs, WORK a scratch folder
# that is removed on exit. `bench_archive FILES PAYMENTS` then fills $WORK/archiv with FILES
# files of PAYMENTS payments each, no two payments alike, in folders of 100.
bench_setup() {
  CLI="$1/src/cli/quandel-cli"
  GEN="$1/bench/gen_dtaus"
  shift
  for tool in "$CLI" "$GEN" "$@"; do
    if [ ! -x "$tool" ]; then
      echo "Nicht gefunden: $tool (erst bauen: cmake --build ${CLI%/src/cli/quandel-cli} --target quandel-cli gen_dtaus)" >&2
      exit 2
    fi
  done
  WORK=$(mktemp -d "${TMPDIR:-/tmp}/quandel-bench-XXXXXX")
  trap 'rm -rf "$WORK"' EXIT INT TERM
}

bench_archive() {
  "$GEN" "$WORK/archiv" "$2" "$1"
}

# `bench_files_per_second FILES WHAT CMD...` runs CMD twice with standard output to $WORK/out.txt
# and standard error to $WORK/err.txt: the first run warms the page cache, the second is
# measured and reported as files per second.
bench_files_per_second() {
  files=$1
  what=$2
  shift 2
  "$@" >/dev/null 2>&1 || true
  start=$(date +%s.%N)
  "$@" >"$WORK/out.txt" 2>"$WORK/err.txt" || true
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" -v n="$files" -v what="$what" 'BEGIN {
    t = e - s
    printf "%-44s %d files in %.3f s = %.0f files/s\n", what, n, t, n / t
  }'
}
