#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks for building and testing the setup program, and 32-bit
# Wine with the emulator that runs it here, for the tests of the shipped 32-bit program (not with
# QUORVANE_SKIP_PE32=1).
set -euo pipefail
# fonts-wine: Wine's own fonts, which Debian's Wine recommends, so a usual Wine install has them;
# without them Wine falls back to a wider font and the dialogs grow. libz-mingw-w64-dev: zlib for
# the cross compilers, which compresses the tests' screenshots.
packages=(cmake g++ make g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 fonts-wine xvfb xauth
          imagemagick icoutils lame mpg123 googletest bc xorriso locales libz-mingw-w64-dev)
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ "${QUORVANE_SKIP_PE32:-0}" != 1 ]; then
  packages+=(qemu-user-static wine32:i386)
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "Adding the i386 architecture for 32-bit Wine"
    $sudo dpkg --add-architecture i386
  fi
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# Wine takes the ANSI and OEM code pages from the Unix locale of each process: the Japanese one
# (code page 932, double-byte names) exists only once the locale is generated.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf-\?8'; then
  echo "Generating the locale ja_JP.UTF-8"
  grep -qx 'ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
