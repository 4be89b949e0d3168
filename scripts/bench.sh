#!/usr/bin/env bash
# `make bench`: the full install, the start-up and the peak memory of the setup program under
# Wine, each against its yardstick, as medians of several runs. `scripts/bench.sh startup` times
# the start-up alone.
#   install:  Next to the finish page, against its floor: the copies, the group's 4 s wait and 2 s
#             for every poll that found the conversion still running (the conversion's length is
#             the decoder's, not the program's).
#   start-up: process start to the wizard window shown and drawn, marked by the process's
#             input-idle event (to within a millisecond), on one core, against a bare dialog
#             program that loads the same system libraries, plus the menu's own work beyond that
#             dialog's: the steps of its first display, timed one by one with the program's own
#             code (tests/bench/startup_steps.cpp).
#   memory:   peak working set during the install, against the bare dialog program.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/wine-env.sh"
wine_env_fixed_addresses "$0" "$@"
RUNS=${RUNS:-5}
parts=${1:-all}
work=$(mktemp -d)
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv,winepulse.drv=d"
trap 'wine_env_stop; rm -rf "$work"' EXIT
prefix=${QUORVANE_WINEPREFIX:-$ROOT/build/wineprefix}

# Runs bench.exe's part $1 in a Wine session of its own and adds its lines to bench.out.
bench_part() {
  wine_env_start "$prefix" || exit 1
  # Windows programs end their lines with CR LF.
  "$WINE64" "$ROOT/build/win64/tests/bench.exe" "$RUNS" "$1" >"$work/$1.raw" 2>/dev/null </dev/null
  wine_env_stop
  tr -d '\r' <"$work/$1.raw" >>"$work/bench.out"
  grep -v '^RESULT' <(tr -d '\r' <"$work/$1.raw") | sed 's/^/  /'
}

touch "$work/bench.out"
echo "The setup program under Wine ($RUNS install runs, $((5 * RUNS)) start-up runs)..."
[ "$parts" != startup ] && bench_part install
# The start-up on one core, with its wineserver, its display and every program: a Wine process
# waits for the wineserver at each of its thousands of requests, and on this machine a request
# that crosses to the other core costs several times one that stays. Which core a process landed
# on made starts fall into two groups 50 ms apart; on one core they lie within a few ms.
taskset -p -c "$(($(nproc) - 1))" $$ >/dev/null
bench_part startup
result() { awk -v k="$1" '$1 == "RESULT" && $2 == k { print $3 }' "$work/bench.out"; }
setup_start=$(result setup_startup_ms); bare_start=$(result bare_startup_ms); menu_steps=$(result menu_steps_ms)
[ -n "$setup_start" ] && [ -n "$menu_steps" ] || { echo "the measurement failed"; exit 1; }

verdict() { if [ "$(echo "$1" | bc -l)" = 1 ]; then echo "met"; else echo "MISSED"; fi; }
echo
echo "Results (medians):"
if [ "$parts" != startup ]; then
  install=$(result install_seconds); floor=$(result floor_seconds); copies=$(result copies_seconds)
  polls=$(result polls)
  [ -n "$install" ] && [ -n "$floor" ] || { echo "the install's measurement failed"; exit 1; }
  printf '  full install:   %7.2f s   floor %6.2f s   ratio %5.2f   (target <= 1.10: %s)\n' \
    "$install" "$floor" "$(echo "$install / $floor" | bc -l)" "$(verdict "$install / $floor <= 1.10")"
  printf '                  (floor: copies %.2f s + the group'"'"'s 4 s wait + 2 s x %d polls that found the conversion running)\n' \
    "$copies" "$polls"
fi
expected=$(echo "$bare_start + $menu_steps" | bc -l)
printf '  start-up:       %7.1f ms  bare dialog %.1f ms + the menu'"'"'s own work %.1f ms = %.1f ms   ratio %5.2f   (target <= 1.10: %s)\n' \
  "$setup_start" "$bare_start" "$menu_steps" "$expected" "$(echo "$setup_start / $expected" | bc -l)" \
  "$(verdict "$setup_start / $expected <= 1.10")"
if [ "$parts" != startup ]; then
  setup_peak=$(result setup_peak_bytes); bare_peak=$(result bare_peak_bytes); menu_peak=$(result setup_menu_peak_bytes)
  printf '  peak memory:    %7.1f MB  bare dialog %6.1f MB  more by %5.1f MB (target <= 8 MB: %s)\n' \
    "$(echo "$setup_peak / 1048576" | bc -l)" "$(echo "$bare_peak / 1048576" | bc -l)" \
    "$(echo "($setup_peak - $bare_peak) / 1048576" | bc -l)" "$(verdict "($setup_peak - $bare_peak) <= 8 * 1048576")"
  printf '                  (of which %.1f MB already at the menu, before any install)\n' "$(echo "$menu_peak / 1048576" | bc -l)"
fi
