#!/usr/bin/env bash
# Builds the shipped program a second time from the same tree, in another folder, and compares
# the two programs byte for byte.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
second=$ROOT/build/repro-win32
rm -rf "$second"
cmake -S "$ROOT" -B "$second" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$second" --target setup -j2 >/dev/null
if cmp "$ROOT/build/win32/setup.exe" "$second/setup.exe"; then
  echo "build/win32/setup.exe and a second build are byte-identical"
else
  echo "a second build of setup.exe differs from build/win32/setup.exe" >&2
  exit 1
fi
