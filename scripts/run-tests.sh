#!/usr/bin/env bash
# Runs every test of the x86_64 build under Wine, on a display of its own.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/wine-env.sh"
trap wine_env_stop EXIT
# No sound card here: without Wine's audio drivers the sounds fail quietly instead of filling the
# test output with the sound system's complaints.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv,winepulse.drv=d"
# QUORVANE_WINEPREFIX lets two runs on one machine keep out of each other's way.
wine_env_start "${QUORVANE_WINEPREFIX:-$ROOT/build/wineprefix}" || exit 1
ctest --test-dir "$ROOT/build/win64" --output-on-failure "$@"
