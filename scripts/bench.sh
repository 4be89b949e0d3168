#!/usr/bin/env bash
# `make bench`: the full install, the start-up and the peak memory of the setup program under
# Wine, each against its yardstick, as medians of several runs.
#   install:  Next to the finish page, against its floor: the copies, the group's 4 s wait and 2 s
#             for every poll that found the conversion still running (the conversion's length is
#             the decoder's, not the program's).
#   start-up: process start to the wizard window drawn, against a bare dialog program.
#   memory:   peak working set during the install, against the bare dialog program.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/wine-env.sh"
wine_env_fixed_addresses "$0" "$@"
RUNS=${RUNS:-5}
work=$(mktemp -d)
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv,winepulse.drv=d"
trap 'wine_env_stop; rm -rf "$work"' EXIT
wine_env_start "${QUORVANE_WINEPREFIX:-$ROOT/build/wineprefix}" || exit 1
echo "The setup program under Wine ($RUNS runs each)..."
# Windows programs end their lines with CR LF.
"$WINE64" "$ROOT/build/win64/tests/bench.exe" "$RUNS" >"$work/bench.raw" 2>/dev/null </dev/null
tr -d '\r' <"$work/bench.raw" >"$work/bench.out"
grep -v '^RESULT' "$work/bench.out" | sed 's/^/  /'
result() { awk -v k="$1" '$1 == "RESULT" && $2 == k { print $3 }' "$work/bench.out"; }
install=$(result install_seconds); floor=$(result floor_seconds); copies=$(result copies_seconds)
polls=$(result polls)
setup_start=$(result setup_startup_seconds); bare_start=$(result bare_startup_seconds)
setup_peak=$(result setup_peak_bytes); bare_peak=$(result bare_peak_bytes); menu_peak=$(result setup_menu_peak_bytes)
[ -n "$install" ] && [ -n "$setup_start" ] && [ -n "$floor" ] || { echo "the measurement failed"; cat "$work/bench.out"; exit 1; }

verdict() { if [ "$(echo "$1" | bc -l)" = 1 ]; then echo "met"; else echo "MISSED"; fi; }
echo
echo "Results (medians of $RUNS runs):"
printf '  full install:   %7.2f s   floor %6.2f s   ratio %5.2f   (target <= 1.10: %s)\n' \
  "$install" "$floor" "$(echo "$install / $floor" | bc -l)" "$(verdict "$install / $floor <= 1.10")"
printf '                  (floor: copies %.2f s + the group'"'"'s 4 s wait + 2 s x %d polls that found the conversion running)\n' \
  "$copies" "$polls"
printf '  start-up:       %7.3f s   bare dialog %6.3f s   ratio %5.2f   (target <= 1.2: %s)\n' \
  "$setup_start" "$bare_start" "$(echo "$setup_start / $bare_start" | bc -l)" "$(verdict "$setup_start / $bare_start <= 1.2")"
printf '  peak memory:    %7.1f MB  bare dialog %6.1f MB  more by %5.1f MB (target <= 8 MB: %s)\n' \
  "$(echo "$setup_peak / 1048576" | bc -l)" "$(echo "$bare_peak / 1048576" | bc -l)" \
  "$(echo "($setup_peak - $bare_peak) / 1048576" | bc -l)" "$(verdict "($setup_peak - $bare_peak) <= 8 * 1048576")"
printf '                  (of which %.1f MB already at the menu, before any install)\n' "$(echo "$menu_peak / 1048576" | bc -l)"
