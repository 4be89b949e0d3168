#!/usr/bin/env bash
# Makes the two Wine prefixes that scripts/run-tests.sh copies into its test slots, build/wineprefix
# and build/wineprefix32 (with its 32-bit half), where they are not there yet. They need nothing of
# the build, so `make check` makes them while it builds; run-tests.sh would make them otherwise.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/wine-env.sh"
wine_env_fixed_addresses "$0" "$@"
source "$ROOT/scripts/i386-emulation.sh"
trap 'wine_env_stop; i386_emulation_stop' EXIT
[ "${USE_DISPLAY:-0}" != 1 ] && { _wine_env_display || exit 1; }
# The x86_64 prefix is made before the emulation is on, or it would boot a 32-bit half (slowly).
export WINEPREFIX=${QUORVANE_WINEPREFIX:-$ROOT/build/wineprefix}
wine_env_create_prefix
[ "${QUORVANE_SKIP_PE32:-0}" = 1 ] && exit 0
i386_emulation_start || exit 1
export WINEPREFIX=${QUORVANE_WINEPREFIX32:-$ROOT/build/wineprefix32}
WINE_ENV_I386=1 wine_env_create_prefix
