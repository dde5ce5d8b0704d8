#!/bin/sh
# Configures and builds Quandel with the dev preset into build/dev/. Arguments go to the
# configure step (for example -DQUANDEL_BUILD_BENCH=ON); TARGETS=... builds only those targets.
set -eu
cd "$(dirname "$0")/.."
cmake --preset dev "$@"
# shellcheck disable=SC2086
cmake --build --preset dev ${TARGETS:+--target $TARGETS}
