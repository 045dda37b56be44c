#!/usr/bin/env bash
# Installs the Debian packages the program and its tests need, only when some are missing,
# so that repeated runs do not touch the network.
set -euo pipefail
packages=(
  cmake g++ make ccache pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6svg6-dev libgl-dev
  libqt6sql6-sqlite libqt6sql6-odbc libqt6sql6-psql
  libsqlite3-dev unixodbc unixodbc-dev libsqliteodbc
  postgresql odbc-postgresql
  qt6-translations-l10n fonts-liberation2 fonts-dejavu
  libgtest-dev libbenchmark-dev
  xvfb xdotool imagemagick poppler-utils time
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
