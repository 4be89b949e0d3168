#!/usr/bin/env bash
# The emulator through which CTest starts every test program (tests/CMakeLists.txt): wine64 in the
# Wine world of the slot that CTest handed the test. A test takes one slot of the resource x86_64 or
# pe32 (its RESOURCE_GROUPS); CTest names the type in CTEST_RESOURCE_GROUP_0 and the slot in
# CTEST_RESOURCE_GROUP_0_<TYPE> ("id:<n>,slots:1"), and scripts/run-tests.sh made the world
# <slots>/<type>/<n> for it.
#   in-slot.sh <slots> <program> [argument...]
set -euo pipefail
slots=$1
shift
type=${CTEST_RESOURCE_GROUP_0:-}
if [ -z "$type" ]; then
  echo "The tests run in Wine worlds that scripts/run-tests.sh makes; scripts/run-tests.sh -R NAME runs one alone." >&2
  exit 1
fi
handed=CTEST_RESOURCE_GROUP_0_${type^^}
slot=${!handed#id:}
slot=${slot%%,*}
source "$slots/$type/$slot/env"
exec /usr/lib/wine/wine64 "$@"
