#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks for building and testing the setup program.
set -euo pipefail
packages=(cmake g++ make g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 xvfb xauth
          imagemagick icoutils lame mpg123 googletest bc)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
