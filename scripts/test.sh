#!/bin/sh
# Installs what is missing, builds Quandel and runs every test: the normal build, a minute of
# fuzzing split across the parsers of outside input, and a build of everything, the viewer
# included, with AddressSanitizer and UndefinedBehaviorSanitizer.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

echo "== Build and tests"
QUANDEL_BUILD_DIR=build scripts/build.sh -DQUANDEL_BUILD_BENCH=OFF -DQUANDEL_WARNINGS_AS_ERRORS=ON
ctest --test-dir build --output-on-failure -j 2

echo "== Fuzzing the reader and the settings file, 30 s each"
CXX=clang++ QUANDEL_BUILD_DIR=build-fuzz scripts/build.sh -DQUANDEL_BUILD_GUI=OFF \
  -DQUANDEL_BUILD_BENCH=OFF -DQUANDEL_BUILD_TESTS=OFF -DQUANDEL_FUZZ=ON
mkdir -p build-fuzz/corpus build-fuzz/corpus_profile
build-fuzz/fuzz/load_render_fuzz -max_total_time=30 -max_len=4096 -print_final_stats=1 \
  -artifact_prefix=build-fuzz/ build-fuzz/corpus fuzz/corpus examples
build-fuzz/fuzz/profile_fuzz -max_total_time=30 -max_len=4096 -print_final_stats=1 \
  -artifact_prefix=build-fuzz/profile- build-fuzz/corpus_profile fuzz/corpus_profile

echo "== Sanitizer build and tests (core, command-line tool, viewer)"
QUANDEL_BUILD_DIR=build-asan scripts/build.sh -DQUANDEL_BUILD_BENCH=OFF -DQUANDEL_SANITIZE=ON
ctest --test-dir build-asan --output-on-failure -j 2
