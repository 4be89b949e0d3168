# Sourced by the scripts that run Windows programs: a display, a Wine prefix of the build's own,
# the stand-ins of the outside programs in it, and one wineserver for the whole run.
#   wine_env_start PREFIX_DIR   sets DISPLAY (Xvfb unless USE_DISPLAY=1), WINEPREFIX, starts all;
#                               a prefix created while the i386 emulation is on (i386-emulation.sh)
#                               gets a 32-bit half, which takes minutes once
#   wine_env_stop               ends the wineserver and Xvfb that wine_env_start started
#   wine_env_fixed_addresses "$0" "$@"
#                               runs the calling script again without address randomization
ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
WINE64=/usr/lib/wine/wine64
export WINEDEBUG=-all
# No Mono or Gecko installers at prefix creation, and no host menu entries for the shortcuts
# that the group converter makes.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
_xvfb_pid=""

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
  if [ "${USE_DISPLAY:-0}" != 1 ]; then
    local n=91
    while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
    Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    _xvfb_pid=$!
    export DISPLAY=:$n
    for _ in $(seq 1 100); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
    [ -e /tmp/.X11-unix/X$n ] || { echo "Xvfb did not start" >&2; return 1; }
  fi
  # A wineserver left from an earlier run may still hold the prefix without a display.
  wineserver -k >/dev/null 2>&1 || true
  _wine_env_end_emulated
  local wanted=$WINEPREFIX/system.reg
  [ "${WINE_ENV_I386:-0}" = 1 ] && wanted=$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll
  if [ ! -f "$wanted" ]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    echo "Creating the Wine prefix $WINEPREFIX"
    "$WINE64" wineboot -i >/dev/null 2>&1 </dev/null
    wineserver -w
  fi
  wineserver -p >/dev/null 2>&1
  # Start the session's services now, with their output away from any pipe of the caller.
  "$WINE64" cmd /c exit >/dev/null 2>&1 </dev/null || true
  wine_env_install_standins
}

# The outside programs' stand-ins go where the system would have its own.
wine_env_install_standins() {
  local tools=$ROOT/build/win64/tools windows=$WINEPREFIX/drive_c/windows
  [ -f "$tools/command.exe" ] && cp "$tools/command.exe" "$windows/system32/command.exe"
  # A 32-bit program that looks in the system directory looks in syswow64.
  [ -f "$tools/command.exe" ] && [ -d "$windows/syswow64" ] && cp "$tools/command.exe" "$windows/syswow64/command.exe"
  [ -f "$tools/grpconv.exe" ] && cp "$tools/grpconv.exe" "$windows/grpconv.exe"
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
  ln -sfn "$cd" "$WINEPREFIX/dosdevices/d:"
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

# Emulated 32-bit Wine processes of a session can outlive `wineserver -k`: end them by their id.
_wine_env_end_emulated() {
  local pid
  for pid in $(pgrep -f '^/usr/bin/qemu-i386-static' 2>/dev/null); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && kill -9 "$pid" 2>/dev/null
  done
  return 0
}

wine_env_stop() {
  wineserver -k >/dev/null 2>&1 || true
  _wine_env_end_emulated
  if [ -n "$_xvfb_pid" ]; then kill "$_xvfb_pid" 2>/dev/null || true; wait "$_xvfb_pid" 2>/dev/null || true; fi
}
