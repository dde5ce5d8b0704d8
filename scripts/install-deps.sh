#!/bin/sh
# Installs what building and testing Quandel needs on Debian 12. Runs as root (or via sudo).
set -eu
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
  ca-certificates cmake ninja-build make g++ clang libclang-rt-14-dev \
  libgtest-dev libgmock-dev googletest libbenchmark-dev \
  libcli11-dev nlohmann-json3-dev \
  libktoblzcheck1-dev libktoblzcheck1v5 \
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-translations-l10n \
  qt6-qpa-plugins libgl-dev fonts-dejavu-core \
  xvfb xauth poppler-utils imagemagick xdotool
