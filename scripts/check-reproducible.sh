#!/usr/bin/env bash
# Builds the shipped program and its CD image a second time from the same tree, in another folder,
# and compares them with the first build byte for byte.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
second=$ROOT/build/repro-win32
rm -rf "$second"
cmake -S "$ROOT" -B "$second" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$second" --target setup medium_image -j2 >/dev/null 2>&1
status=0
for file in setup.exe quorvane.iso; do
  if cmp "$ROOT/build/win32/$file" "$second/$file"; then
    echo "build/win32/$file and a second build are byte-identical"
  else
    echo "a second build of $file differs from build/win32/$file" >&2
    status=1
  fi
done
exit $status
