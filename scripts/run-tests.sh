#!/usr/bin/env bash
# Runs every test under Wine, side by side, and fails when one fails. CTest hands each test a slot
# (RESOURCE_GROUPS in tests/CMakeLists.txt), and each slot is a Wine world of its own: a prefix with
# the CD in its drive D: and the stand-ins in its system folders, its wineserver and its Xvfb
# display. The x86_64 tests take slots of the type x86_64, copies of build/wineprefix; the tests of
# the shipped 32-bit setup.exe (label pe32) take slots of the type pe32, copies of
# build/wineprefix32, which has a 32-bit half and the shipped program on its CD.
# Arguments go to ctest: `scripts/run-tests.sh -R NAME` runs the tests whose names match NAME.
#   QUORVANE_SKIP_PE32=1   leaves the tests of the shipped program out, for a machine that cannot
#                          emulate i386
#   QUORVANE_SLOTS="X P"   X slots of the type x86_64 and P of the type pe32 (defaults below)
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

# The tests are bound by the processor: the shipped program runs under CPU emulation and keeps a
# core busy, so one at a time per core; an x86_64 test takes about half a core (most of it for the
# install's 83 decoder processes), so two at a time per core keep the cores busy beside them. More
# x86_64 slots were measured to gain nothing.
cores=$(nproc)
read -r x86_64_slots pe32_slots <<<"${QUORVANE_SLOTS:-$((2 * cores)) $cores}"
pe32=1
[ "${QUORVANE_SKIP_PE32:-0}" = 1 ] && pe32=0 pe32_slots=0
slots=$ROOT/build/slots

# The x86_64 prefix is made before the emulation is on, or it would boot a 32-bit half (slowly).
wine_env_start "${QUORVANE_WINEPREFIX:-$ROOT/build/wineprefix}" || exit 1
wine_env_insert_cd "$ROOT/build/win64/quorvane.iso" || exit 1
wine_env_slots_start "$slots/x86_64" "$x86_64_slots" || exit 1
if [ $pe32 = 1 ]; then
  i386_emulation_start || exit 1
  # Its CD is the build's: the shipped setup.exe beside the x86_64 stand-ins of the outside
  # programs, which run natively; only the setup program is emulated.
  WINE_ENV_I386=1 wine_env_start "${QUORVANE_WINEPREFIX32:-$ROOT/build/wineprefix32}" || exit 1
  wine_env_insert_cd "$ROOT/build/win64/quorvane.iso" "$ROOT/build/win32/setup.exe" || exit 1
  wine_env_slots_start "$slots/pe32" "$pe32_slots" || exit 1
fi

ids() { seq -s, -f '{"id": "%g"}' 1 "$1"; }
printf '{"version": {"major": 1, "minor": 0}, "local": [{"x86_64": [%s], "pe32": [%s]}]}\n' \
  "$(ids "$x86_64_slots")" "$(ids "$pe32_slots")" >"$slots/resources.json"
skip=()
if [ $pe32 = 0 ]; then
  skip=(-LE pe32)
  echo "QUORVANE_SKIP_PE32=1: the shipped 32-bit program is not tested."
fi
echo "Tests side by side in $x86_64_slots x86_64 and $pe32_slots pe32 Wine worlds"
ctest --test-dir "$ROOT/build/win64" --output-on-failure --resource-spec-file "$slots/resources.json" \
  -j $((x86_64_slots + pe32_slots)) "${skip[@]}" "$@"
