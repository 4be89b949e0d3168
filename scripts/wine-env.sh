# Sourced by the scripts that run Windows programs: a display, a Wine prefix of the build's own,
# the stand-ins of the outside programs in it, and one wineserver for the whole run.
#   wine_env_start PREFIX_DIR   sets DISPLAY (Xvfb unless USE_DISPLAY=1), WINEPREFIX, starts all;
#                               a prefix created while the i386 emulation is on (i386-emulation.sh)
#                               gets a 32-bit half, about 20 s more, once
#   wine_env_create_prefix      makes the prefix WINEPREFIX if it is not there (as wine_env_start)
#   wine_env_insert_cd IMAGE [PROGRAM]
#                               puts the CD into drive D: of the prefix
#   wine_env_slots_start DIR COUNT
#                               makes COUNT Wine worlds DIR/1 ... DIR/COUNT from the prefix of
#                               wine_env_start, whose session it ends: each a copy of that prefix
#                               with its own wineserver and Xvfb display, described for the programs
#                               run in it by DIR/<n>/env (scripts/in-slot.sh)
#   wine_env_stop               ends the wineservers and the Xvfb displays that were started
#   wine_env_fixed_addresses "$0" "$@"
#                               runs the calling script again without address randomization
ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
WINE64=/usr/lib/wine/wine64
export WINEDEBUG=-all
# No Mono or Gecko installers at prefix creation, and no host menu entries for the shortcuts
# that the group converter makes.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
_xvfb_pids=()
_wine_prefixes=()

# This Wine has no preloader to hold its fixed addresses free: the kernel puts the C library's heap
# of each Wine process at a random place up to 1 GB above the loader (0x7d000000), and now and then
# that heap covers 0x7ffe0000, where Wine maps the data the system shares with every process. The
# process then ends before its first instruction ("failed to map the shared user data"); under the
# interpreter stand-in that is a line of mp3.bat that made no WAV file, and nothing else shows it.
# Without address randomization the heap always lies right behind the loader. Call it before any
# other work: the script starts again from its first line.
wine_env_fixed_addresses() {
  (( 0x$(cat /proc/self/personality) & 0x0040000 )) && return 0  # ADDR_NO_RANDOMIZE
  exec setarch "$(uname -m)" -R bash "$@"
}

wine_env_start() {
  export WINEPREFIX=$1
  if [ "${USE_DISPLAY:-0}" != 1 ]; then _wine_env_display || return 1; fi
  wine_env_create_prefix
  _wine_prefixes+=("$WINEPREFIX")
  _wine_env_session
  wine_env_install_standins
}

# Makes the prefix WINEPREFIX unless it is there, and leaves no wineserver of it running.
wine_env_create_prefix() {
  # A wineserver left from an earlier run may still hold the prefix without a display.
  wineserver -k >/dev/null 2>&1 || true
  _wine_env_end_emulated "$WINEPREFIX"
  local wanted=$WINEPREFIX/system.reg
  [ "${WINE_ENV_I386:-0}" = 1 ] && wanted=$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll
  if [ ! -f "$wanted" ]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    echo "Creating the Wine prefix $WINEPREFIX"
    "$WINE64" wineboot -i >/dev/null 2>&1 </dev/null
    wineserver -w
  fi
}

# An Xvfb on the first free display from :91 on, for DISPLAY. Another run may take the same display
# at the same moment: the display is ours only when its lock file names our server.
_wine_env_display() {
  local n=91 pid attempt
  for attempt in 1 2 3 4 5 6 7 8; do
    while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
    Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 1 100); do
      [ -e /tmp/.X11-unix/X$n ] && [ "$(tr -d ' ' </tmp/.X$n-lock 2>/dev/null)" = "$pid" ] && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null && [ "$(tr -d ' ' </tmp/.X$n-lock 2>/dev/null)" = "$pid" ]; then
      _xvfb_pids+=("$pid")
      export DISPLAY=:$n
      return 0
    fi
    kill "$pid" 2>/dev/null
    n=$((n + 1))
  done
  echo "Xvfb did not start" >&2
  return 1
}

# One wineserver for the prefix's whole run, and the session's services started now, with their
# output away from any pipe of the caller.
_wine_env_session() {
  wineserver -p >/dev/null 2>&1
  "$WINE64" cmd /c exit >/dev/null 2>&1 </dev/null || true
}

# The outside programs' stand-ins go where the system would have its own.
wine_env_install_standins() {
  local tools=$ROOT/build/win64/tools windows=$WINEPREFIX/drive_c/windows
  # Each a new file: the copies of the prefix for the tests share its system folders' files.
  local cp="cp --remove-destination"
  [ -f "$tools/command.exe" ] && $cp "$tools/command.exe" "$windows/system32/command.exe"
  # A 32-bit program that looks in the system directory looks in syswow64.
  [ -f "$tools/command.exe" ] && [ -d "$windows/syswow64" ] && $cp "$tools/command.exe" "$windows/syswow64/command.exe"
  [ -f "$tools/grpconv.exe" ] && $cp "$tools/grpconv.exe" "$windows/grpconv.exe"
  # Wine's own fonts (fonts-wine) as a usual Wine install has them: this Wine does not load them
  # from its data directory, so they go where the system keeps its fonts.
  local font
  for font in /usr/share/wine/fonts/*; do
    [ -e "$font" ] && ln -sf "$font" "$windows/Fonts/"
  done
  # Windows 95 opens .doc documents in WordPad; a new Wine prefix associates nothing with them.
  "$WINE64" reg add 'HKCR\.doc' /ve /d rtffile /f >/dev/null 2>&1 </dev/null
  return 0
}

# The distribution CD in drive D:, a CD-ROM drive whose files come out of IMAGE and are read-only
# as every file on a CD is. A second argument takes the place of the image's setup.exe.
wine_env_insert_cd() {
  local image=$1 program=${2:-} cd=$WINEPREFIX/drive_d
  if [ -d "$cd" ]; then chmod -R u+w "$cd" && rm -rf "$cd"; fi
  if ! xorriso -report_about SORRY -osirrox on -indev "$image" -extract / "$cd" >/dev/null 2>&1; then
    echo "The CD image $image cannot be read" >&2
    return 1
  fi
  if [ -n "$program" ]; then
    chmod u+w "$cd" "$cd/setup.exe" && cp "$program" "$cd/setup.exe" && chmod a-w "$cd/setup.exe" "$cd"
  fi
  # Relative, so that a copy of the prefix has its own CD.
  ln -sfn ../drive_d "$WINEPREFIX/dosdevices/d:"
  # The session's mount manager reads the drive types when it starts: once the prefix records D:
  # as a CD-ROM drive, the session is started again.
  if ! "$WINE64" reg query 'HKLM\Software\Wine\Drives' /v d: 2>/dev/null </dev/null | grep -q cdrom; then
    "$WINE64" reg add 'HKLM\Software\Wine\Drives' /v d: /d cdrom /f >/dev/null 2>&1 </dev/null
    wineserver -k >/dev/null 2>&1
    wineserver -w
    wineserver -p >/dev/null 2>&1
    "$WINE64" cmd /c exit >/dev/null 2>&1 </dev/null || true
  fi
}

wine_env_slots_start() {
  local dir=$1 count=$2 template=$WINEPREFIX display=${DISPLAY:-} slot sessions=()
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w
  _wine_env_end_emulated "$template"
  # The slots of an earlier run that ended without its clean-up.
  for slot in "$dir"/*/prefix; do
    [ -d "$slot" ] || continue
    WINEPREFIX=$slot wineserver -k >/dev/null 2>&1
    _wine_env_end_emulated "$slot"
    chmod -R u+w "$slot/drive_d" 2>/dev/null
  done
  rm -rf "$dir"
  for slot in $(seq 1 "$count"); do
    _wine_env_copy_prefix "$template" "$dir/$slot/prefix" || return 1
    export WINEPREFIX=$dir/$slot/prefix
    _wine_env_display || return 1
    _wine_prefixes+=("$WINEPREFIX")
    printf 'export WINEPREFIX=%q DISPLAY=%q\n' "$WINEPREFIX" "$DISPLAY" >"$dir/$slot/env"
    # The sessions start side by side: a start is mostly waiting.
    { _wine_env_session; _wine_env_keep_desktop; } &
    sessions+=($!)
  done
  # A bare wait, with no slot asked for, would wait for the displays as well, which never end.
  [ ${#sessions[@]} -eq 0 ] || wait "${sessions[@]}"
  export WINEPREFIX=$template DISPLAY=$display
}

# A program that holds the session's desktop until the wineserver ends (tests/support/
# desktop_keeper.cpp): without it the desktop and its X connection start over for every test.
_wine_env_keep_desktop() {
  local keeper=$ROOT/build/win64/tests/desktop_keeper.exe
  [ -f "$keeper" ] || return 0
  "$WINE64" "$keeper" >/dev/null 2>&1 </dev/null &
}

# A copy of a prefix. Wine's own libraries and programs in the system folders, 1.2 GB with a
# 32-bit half, are written by nobody once the prefix is made (the stand-ins are in place before it
# is copied): the copy shares them as hard links, which takes a blink where copying took seconds
# of disk writes per slot. Everything else (the registry, the Windows directory's own files, the
# profile, the CD) is copied.
_wine_env_copy_prefix() {
  local from=$1 to=$2 dir shared=(drive_c/windows/system32 drive_c/windows/syswow64 drive_c/windows/winsxs)
  mkdir -p "$to" &&
    tar -C "$from" "${shared[@]/#/--exclude=./}" -cf - . | tar -C "$to" -xf - || return 1
  for dir in "${shared[@]}"; do
    if [ -d "$from/$dir" ]; then cp -al "$from/$dir" "$to/$dir" || return 1; fi
  done
}

# Emulated 32-bit Wine processes of a session can outlive `wineserver -k`: end them by their id.
_wine_env_end_emulated() {
  local pid
  for pid in $(pgrep -f '^/usr/bin/qemu-i386-static' 2>/dev/null); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$1" && kill -9 "$pid" 2>/dev/null
  done
  return 0
}

wine_env_stop() {
  local prefix pid
  for prefix in "${_wine_prefixes[@]}"; do
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
    _wine_env_end_emulated "$prefix"
  done
  _wine_prefixes=()
  for pid in "${_xvfb_pids[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  _xvfb_pids=()
}
