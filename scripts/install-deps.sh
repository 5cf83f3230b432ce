#!/bin/sh
# Installs the Debian 12 packages Vantrel needs to build, test and run.
set -e
pkgs="cmake ninja-build g++ qt6-base-dev qt6-serialport-dev libgl1-mesa-dev fonts-liberation"
missing=""
for p in $pkgs; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" = 0 ] || SUDO=sudo
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
