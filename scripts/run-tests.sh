#!/usr/bin/env bash
# Runs every test of the x86_64 build under Wine, on a display of its own.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start "$ROOT/build/wineprefix" || exit 1
ctest --test-dir "$ROOT/build/win64" --output-on-failure "$@"
