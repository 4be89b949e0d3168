#!/usr/bin/env bash
# The main job: the setup program from the distribution CD (build/win64/quorvane.iso in drive D:),
# in a fresh Wine prefix with the stand-ins of the outside programs installed.
#   With a display (DISPLAY set): the setup program starts and you drive it.
#   Without one: a scripted walk under Xvfb, in Wine's virtual desktop so that windows have their
#   captions, saves a screenshot of each step into build/demo/ and prints what it saw; the wizard
#   window alone on the menu, the directory page and the finish page as well (build/demo/menu.png,
#   directory-page.png, finish.png), the pictures of the README (docs/).
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/wine-env.sh"
wine_env_fixed_addresses "$0" "$@"
prefix=$ROOT/build/demo-prefix
rm -rf "$prefix"
mkdir -p "$ROOT/build/demo"
# The distribution CD, build/win64/quorvane.iso, in the prefix's CD-ROM drive D:.
medium='D:'

if [ -n "${DISPLAY:-}" ] && [ "${CI:-}" != true ]; then
  USE_DISPLAY=1
  export USE_DISPLAY
  trap wine_env_stop EXIT
  wine_env_start "$prefix" || exit 1
  wine_env_insert_cd "$ROOT/build/win64/quorvane.iso" || exit 1
  echo "Starting the setup program from the CD in drive $medium"
  "$WINE64" "$medium\\setup.exe" >/dev/null 2>&1 </dev/null
  exit 0
fi

trap wine_env_stop EXIT
wine_env_start "$prefix" || exit 1
wine_env_insert_cd "$ROOT/build/win64/quorvane.iso" || exit 1
rm -f "$ROOT"/build/demo/*.png
walk='Z:'$(echo "$ROOT/build/win64/tests/demo_walk.exe" | tr / '\\')
summary=$ROOT/build/demo/summary.txt
echo "Walking through the install and the removal under Xvfb (display $DISPLAY)..."
"$WINE64" explorer /desktop=demo,1024x768 "$walk" >"$summary" 2>&1 </dev/null
status=$?
cat "$summary"
echo "Screenshots: $(ls "$ROOT"/build/demo/[0-9][0-9]-*.png 2>/dev/null | wc -l) in build/demo/"
exit $status
