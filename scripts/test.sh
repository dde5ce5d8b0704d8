#!/bin/sh
# Installs what is missing, builds Quandel and runs every test: the normal build (every warning an
# error) with its package, installed and removed again; a minute of fuzzing split across the
# parsers of outside input; and a build of everything, the viewer included, with
# AddressSanitizer and UndefinedBehaviorSanitizer. The settings of each build are the presets in
# CMakePresets.json.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh

echo "== Build, tests and package"
cmake --workflow --preset ci
scripts/package-check.sh build

echo "== Fuzzing the reader and the settings file, 30 s each"
cmake --workflow --preset fuzz
mkdir -p build-fuzz/corpus build-fuzz/corpus_profile
build-fuzz/fuzz/load_render_fuzz -max_total_time=30 -max_len=4096 -print_final_stats=1 \
  -artifact_prefix=build-fuzz/ build-fuzz/corpus fuzz/corpus examples
build-fuzz/fuzz/profile_fuzz -max_total_time=30 -max_len=4096 -print_final_stats=1 \
  -artifact_prefix=build-fuzz/profile- build-fuzz/corpus_profile fuzz/corpus_profile

echo "== Sanitizer build and tests (core, command-line tool, viewer)"
cmake --workflow --preset asan-ubsan
