#!/bin/sh
# Installs what building, testing and packaging Quandel needs on Debian 12. Runs as root (or
# via sudo); does nothing when every package is already installed.
set -eu
PACKAGES="ca-certificates ccache cmake ninja-build make g++ clang libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libcli11-dev nlohmann-json3-dev libxlsxwriter-dev libsqlite3-dev
  libktoblzcheck1-dev libktoblzcheck1v5
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-translations-l10n
  qt6-qpa-plugins libgl-dev fonts-dejavu-core
  xvfb xauth poppler-utils imagemagick xdotool
  scdoc dpkg-dev file man-db shared-mime-info desktop-file-utils appstream unzip"

# dpkg-query names unknown packages on stderr and lists installed ones as "ii".
# shellcheck disable=SC2086
missing=$(dpkg-query -W -f '${db:Status-Abbrev} ${Package}\n' $PACKAGES 2>&1 | grep -cv '^ii ' || true)
if [ "$missing" -eq 0 ]; then
  echo "Alle benötigten Pakete sind installiert."
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
# shellcheck disable=SC2086
$SUDO apt-get install -y --no-install-recommends $PACKAGES
