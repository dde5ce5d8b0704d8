#!/bin/sh
# Installs the package built in BUILD_DIR (default build) as a user would, tries what it
# brings, and removes it again, checking that nothing it installed stays behind.
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive

deb=$(ls "$BUILD_DIR"/quandel_*.deb)
echo "Paket: $deb ($(du -k "$deb" | cut -f1) KiB)"
dpkg-deb -f "$deb" Depends
if dpkg-query -W -f '${db:Status-Abbrev}' quandel 2>/dev/null | grep -q '^ii'; then
  echo "quandel ist schon installiert; die Paketprüfung würde es entfernen." >&2
  exit 1
fi

$SUDO apt-get install -y -q "./$deb"
trap '$SUDO apt-get remove -y quandel >/dev/null 2>&1 || true' EXIT

quandel-cli --version
quandel-cli check examples/beispiel.dta
# The spreadsheet writer and SQLite are opened at their first call, so only the package's
# dependencies bring them: both commands run from the installed package.
scratch=$(mktemp -d)
trap '$SUDO apt-get remove -y quandel >/dev/null 2>&1 || true; rm -rf "$scratch"' EXIT
quandel-cli xlsx examples/beispiel.dta -o "$scratch/beispiel.xlsx"
quandel-cli sqlite examples/beispiel.dta -o "$scratch/beispiel.db"
rm -rf "$scratch"
desktop-file-validate /usr/share/applications/quandel.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.example.quandel.metainfo.xml
man -w quandel-cli
man -w quandel
bash -c '. /usr/share/bash-completion/completions/quandel-cli && complete -p quandel-cli'
# The MIME database knows the type by content: a DTAUS file without a telling name.
test -f /usr/share/mime/application/x-dtaus.xml
grep -q '0128A' /usr/share/mime/magic
for size in 16x16 32x32 48x48 128x128 scalable; do
  ls /usr/share/icons/hicolor/$size/apps/quandel.* >/dev/null
done

installed=$(dpkg-query -L quandel)
$SUDO apt-get remove -y -q quandel
trap - EXIT
left=""
for path in $installed; do
  [ -f "$path" ] && left="$left $path"
done
if [ -n "$left" ]; then
  echo "Nach dem Entfernen noch da:$left" >&2
  exit 1
fi
echo "Paketprüfung bestanden."
