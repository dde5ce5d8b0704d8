#!/bin/sh
# Configures and builds Quandel into ./build (or $QUANDEL_BUILD_DIR).
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR=${QUANDEL_BUILD_DIR:-build}
GENERATOR=""
command -v ninja >/dev/null 2>&1 && GENERATOR="-G Ninja"
# shellcheck disable=SC2086
cmake -S . -B "$BUILD_DIR" $GENERATOR -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$BUILD_DIR" -j "$(nproc)"
