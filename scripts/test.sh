#!/bin/bash
# Installs what is missing, builds Quandel and runs every test:
#   ci          the normal build (every warning an error), its tests, and its package, installed,
#               tried and removed again;
#   fuzz        a minute of fuzzing split across the parsers of outside input;
#   asan-ubsan  every test again with AddressSanitizer and UndefinedBehaviorSanitizer;
#   tsan        every test again with ThreadSanitizer.
# Each build has its own folder under build/ (the presets in CMakePresets.json), so this script
# and scripts/run.sh never share settings. Every step runs even when an earlier one failed; the
# last line counts the tests of all steps: "N passed, M failed".
set -u
cd "$(dirname "$0")/.."
scripts/install-deps.sh || exit 2

passed=0
failed=0
failures=""
log=$(mktemp)
trap 'rm -f "$log"' EXIT

fail() { failed=$((failed + ${2:-1})); failures="$failures\n  $1"; }

# Runs one test preset and adds what ctest counted ("100% tests passed, 0 tests failed out of 388").
run_ctest() {
  ctest --preset "$1" 2>&1 | tee "$log"
  local line total bad
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$line" ]; then
    fail "$1: ctest lief nicht durch"
    return
  fi
  total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$line")
  passed=$((passed + total - bad))
  [ "$bad" -eq 0 ] || fail "$1: $bad Tests fehlgeschlagen" "$bad"
}

# Runs a step that is one check of its own (a build, the package check, a fuzzer).
run_step() {
  local name=$1
  shift
  if "$@"; then passed=$((passed + 1)); else fail "$name"; fi
}

echo "== ci: build, tests and package"
run_step "ci: Build" cmake --workflow --preset ci
if [ -x build/ci/src/cli/quandel-cli ]; then
  run_ctest ci
  run_step "ci: Paket" cpack --preset ci
  run_step "ci: Paketprüfung" scripts/package-check.sh build/ci
fi

echo "== fuzz: the reader, the settings file and the walk's sniffing, 20 s each"
run_step "fuzz: Build" cmake --workflow --preset fuzz
if [ -x build/fuzz/fuzz/load_render_fuzz ]; then
  mkdir -p build/fuzz/corpus build/fuzz/corpus_profile build/fuzz/corpus_sniff
  run_step "fuzz: Leser" build/fuzz/fuzz/load_render_fuzz -max_total_time=20 -max_len=4096 \
    -print_final_stats=1 -artifact_prefix=build/fuzz/ build/fuzz/corpus fuzz/corpus examples
  run_step "fuzz: Einstellungen" build/fuzz/fuzz/profile_fuzz -max_total_time=20 -max_len=4096 \
    -print_final_stats=1 -artifact_prefix=build/fuzz/profile- build/fuzz/corpus_profile fuzz/corpus_profile
  run_step "fuzz: Ordnerdurchlauf" build/fuzz/fuzz/sniff_fuzz -max_total_time=20 -max_len=512 \
    -print_final_stats=1 -artifact_prefix=build/fuzz/sniff- build/fuzz/corpus_sniff fuzz/corpus_sniff
fi

for preset in asan-ubsan tsan; do
  echo "== $preset: build and tests"
  run_step "$preset: Build" cmake --workflow --preset "$preset"
  [ -x "build/$preset/src/cli/quandel-cli" ] && run_ctest "$preset"
done

if [ "$failed" -ne 0 ]; then
  printf 'Fehlgeschlagen:%b\n' "$failures"
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
