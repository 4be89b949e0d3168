#!/usr/bin/env bash
# Runs every test under Wine, on a display of its own: first the x86_64 suite, then the tests that
# drive the shipped 32-bit setup.exe (CTest label pe32) in 32-bit Wine under CPU emulation, in a
# prefix of their own with a 32-bit half. Fails when either part fails.
# QUORVANE_SKIP_PE32=1 leaves the 32-bit part out, for a machine that cannot emulate i386.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/wine-env.sh"
wine_env_fixed_addresses "$0" "$@"
source "$ROOT/scripts/i386-emulation.sh"
trap 'wine_env_stop; i386_emulation_stop' EXIT
# No sound card here: without Wine's audio drivers the sounds fail quietly instead of filling the
# test output with the sound system's complaints.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv,winepulse.drv=d"
# Wine's own error reports stay on: a test program that Wine ends before its main (a library that
# does not load, a fault in start-up) otherwise ends without a word. CTest shows them only for a
# test that fails.
export WINEDEBUG=fixme-all

# QUORVANE_WINEPREFIX lets two runs on one machine keep out of each other's way.
wine_env_start "${QUORVANE_WINEPREFIX:-$ROOT/build/wineprefix}" || exit 1
wine_env_insert_cd "$ROOT/build/win64/quorvane.iso" || exit 1
ctest --test-dir "$ROOT/build/win64" --output-on-failure -LE pe32 "$@"
status=$?
wine_env_stop

if [ "${QUORVANE_SKIP_PE32:-0}" = 1 ]; then
  echo "QUORVANE_SKIP_PE32=1: the shipped 32-bit program was not tested."
  exit $status
fi
echo "The shipped 32-bit program, build/win32/setup.exe, under emulated 32-bit Wine:"
i386_emulation_start || exit 1
# Its medium, build/pe32/medium, is the build's: the shipped setup.exe beside the x86_64
# stand-ins of the outside programs, which run natively; only the setup program is emulated.
WINE_ENV_I386=1 wine_env_start "${QUORVANE_WINEPREFIX32:-$ROOT/build/wineprefix32}" || exit 1
wine_env_insert_cd "$ROOT/build/win64/quorvane.iso" "$ROOT/build/win32/setup.exe" || exit 1
ctest --test-dir "$ROOT/build/win64" --output-on-failure -L pe32 "$@" || status=1
exit $status
