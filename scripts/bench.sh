#!/usr/bin/env bash
# `make bench`: the full install, the start-up and the peak memory of the setup program under
# Wine, each against its yardstick, as medians of several runs.
#   install:  Next to the finish page, against the same work done directly on this machine (cp of
#             the 139 files, mpg123 decoding the 83 MP3 files) plus the program's fixed 4 s wait,
#             and against its fixed floor under Wine: the copies, the group's 4 s wait and the
#             wait's first look at the conversion.
#   conversion: the interpreter on the medium's mp3.bat alone; it must end before the install's
#             wait begins, or the install pays a 2 s poll.
#   start-up: process start to the wizard window drawn, against a bare dialog program.
#   memory:   peak working set during the install, against the bare dialog program.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/wine-env.sh"
wine_env_fixed_addresses "$0" "$@"
RUNS=${RUNS:-5}
medium=$ROOT/build/win64/medium
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

echo "Lower bound of the install work, measured directly ($RUNS runs)..."
bounds=()
for run in $(seq 1 "$RUNS"); do
  rm -rf "$work/dest"; mkdir -p "$work/dest"
  start=$(date +%s.%N)
  (cd "$medium" && find . -type f ! -name '*.mp3' ! -name l3dec.exe ! -name go32.exe -exec cp --parents {} "$work/dest" \;)
  (cd "$medium" && find . -name '*.mp3' | while read -r mp3; do mpg123 -q -w "$work/dest/${mp3%mp3}wav" "$mp3"; done)
  end=$(date +%s.%N)
  bounds+=("$(echo "$end - $start + 4" | bc -l)")
  echo "  run $run: $(printf '%.2f' "${bounds[-1]}") s (including the fixed 4 s)"
done
copied=$(cd "$medium" && find . -type f ! -name '*.mp3' ! -name l3dec.exe ! -name go32.exe | wc -l)
bound=$(printf '%s\n' "${bounds[@]}" | median)

export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv,winepulse.drv=d"
trap 'wine_env_stop; rm -rf "$work"' EXIT
wine_env_start "${QUORVANE_WINEPREFIX:-$ROOT/build/wineprefix}" || exit 1
echo "The setup program under Wine ($RUNS runs each)..."
# Windows programs end their lines with CR LF.
"$WINE64" "$ROOT/build/win64/tests/bench.exe" "$RUNS" >"$work/bench.raw" 2>/dev/null </dev/null
tr -d '\r' <"$work/bench.raw" >"$work/bench.out"
grep -v '^RESULT' "$work/bench.out" | sed 's/^/  /'
result() { awk -v k="$1" '$1 == "RESULT" && $2 == k { print $3 }' "$work/bench.out"; }
install=$(result install_seconds); setup_start=$(result setup_startup_seconds)
bare_start=$(result bare_startup_seconds); setup_peak=$(result setup_peak_bytes); bare_peak=$(result bare_peak_bytes)
menu_peak=$(result setup_menu_peak_bytes)
conversion=$(result conversion_seconds); conversion_max=$(result conversion_max_seconds)
copies=$(result copies_seconds); floor=$(result floor_seconds)
early=$(result conversions_before_wait); installs=$(result install_runs)
[ -n "$install" ] && [ -n "$setup_start" ] && [ -n "$floor" ] || { echo "the measurement failed"; cat "$work/bench.out"; exit 1; }

verdict() { if [ "$(echo "$1" | bc -l)" = 1 ]; then echo "met"; else echo "MISSED"; fi; }
echo
echo "Results (medians of $RUNS runs; $copied files copied, 83 sounds decoded):"
printf '  full install:   %7.2f s   lower bound %6.2f s   ratio %5.2f   (target <= 2.0: %s)\n' \
  "$install" "$bound" "$(echo "$install / $bound" | bc -l)" "$(verdict "$install / $bound <= 2.0")"
printf '  full install:   %7.2f s   fixed floor %6.2f s   ratio %5.2f   (target <= 1.1: %s)\n' \
  "$install" "$floor" "$(echo "$install / $floor" | bc -l)" "$(verdict "$install / $floor <= 1.1")"
printf '                  (floor: copies %.2f s + the group'"'"'s 4 s wait + the first look at once)\n' "$copies"
printf '  conversion:     %7.2f s   alone, at most %.2f s; it ended before the wait in %d of %d installs (target all: %s)\n' \
  "$conversion" "$conversion_max" "$early" "$installs" "$(verdict "$early == $installs")"
printf '  start-up:       %7.3f s   bare dialog %6.3f s   ratio %5.2f   (target <= 1.2: %s)\n' \
  "$setup_start" "$bare_start" "$(echo "$setup_start / $bare_start" | bc -l)" "$(verdict "$setup_start / $bare_start <= 1.2")"
printf '  peak memory:    %7.1f MB  bare dialog %6.1f MB  more by %5.1f MB (target <= 8 MB: %s)\n' \
  "$(echo "$setup_peak / 1048576" | bc -l)" "$(echo "$bare_peak / 1048576" | bc -l)" \
  "$(echo "($setup_peak - $bare_peak) / 1048576" | bc -l)" "$(verdict "($setup_peak - $bare_peak) <= 8 * 1048576")"
printf '                  (of which %.1f MB already at the menu, before any install)\n' "$(echo "$menu_peak / 1048576" | bc -l)"
