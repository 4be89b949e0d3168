# Sourced by the scripts that run the shipped 32-bit program. This machine's kernel does not run
# 32-bit x86 programs, and 32-bit Wine is one: qemu-user runs it through CPU emulation once the
# kernel's binfmt_misc hands i386 programs to it. The registration is made for the run and taken
# back afterwards, since it slows down the creation of every 64-bit Wine prefix on the machine.
#   i386_emulation_start   makes 32-bit Wine runnable, or says in one line why it cannot
#   i386_emulation_stop    leaves binfmt_misc as i386_emulation_start found it
_i386_binfmt=/proc/sys/fs/binfmt_misc
_i386_entry=quorvane-i386
_i386_mounted=0
_i386_registered=0
_i386_sudo=""
[ "$(id -u)" -ne 0 ] && _i386_sudo="sudo"
# The guest address space that qemu gives a 32-bit program: the 2 GB that Windows 95 and NT 4 give
# a program, and 16 MB above for the emulator's own stack. Left at 4 GB, 32-bit Wine spends about
# 50 s of every process start reserving the upper half in 64 KB pieces (qemu ignores its address
# hints there); with this limit, and the library below, a start takes about a second.
export QEMU_RESERVED_VA=0x81000000
# Wine still asks for the 2 GB above that, piece by piece, at every start: scripts/i386-reserve.c
# answers those requests at once (2 s of processor time less per start).
_i386_reserve=$ROOT/build/i386-reserve.so

_i386_wine_runs() { /usr/lib/wine/wine --version >/dev/null 2>&1 </dev/null; }

i386_emulation_start() {
  if [ ! -x /usr/lib/wine/wine ]; then
    echo "The shipped 32-bit program cannot be tested: 32-bit Wine (wine32:i386) is not installed." >&2
    return 1
  fi
  _i386_preload_reserve
  _i386_wine_runs && return 0
  local qemu=/usr/bin/qemu-i386-static
  if [ ! -x "$qemu" ]; then
    echo "The shipped 32-bit program cannot be tested: $qemu (qemu-user-static) is not installed." >&2
    return 1
  fi
  if [ ! -e "$_i386_binfmt/register" ]; then
    if ! $_i386_sudo mount -t binfmt_misc binfmt_misc "$_i386_binfmt" >/dev/null 2>&1; then
      echo "The shipped 32-bit program cannot be tested: binfmt_misc cannot be mounted at $_i386_binfmt." >&2
      return 1
    fi
    _i386_mounted=1
  fi
  # ELF, 32-bit, little-endian, an executable or a shared object, machine i386. F opens the
  # emulator now, so it is found whatever the namespace of the program started later.
  local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  if ! printf '%s' ":$_i386_entry:M::$magic:$mask:$qemu:F" | $_i386_sudo tee "$_i386_binfmt/register" >/dev/null 2>&1; then
    echo "The shipped 32-bit program cannot be tested: the i386 emulation cannot be registered with binfmt_misc." >&2
    i386_emulation_stop
    return 1
  fi
  _i386_registered=1
  if ! _i386_wine_runs; then
    echo "The shipped 32-bit program cannot be tested: 32-bit Wine does not start under $qemu." >&2
    i386_emulation_stop
    return 1
  fi
}

# Builds the preload library for this address space and hands it to every emulated program. Without
# it the programs run all the same, only slower.
_i386_preload_reserve() {
  local source=$ROOT/scripts/i386-reserve.c
  # Built again when its source or the address space above changes.
  if [ ! -f "$_i386_reserve" ] || [ "$source" -nt "$_i386_reserve" ] ||
     [ "${BASH_SOURCE[0]}" -nt "$_i386_reserve" ]; then
    mkdir -p "$(dirname "$_i386_reserve")"
    if ! cc -m32 -O2 -fPIC -shared -nostdlib -DADDRESS_LIMIT="${QEMU_RESERVED_VA}u" -o "$_i386_reserve" \
        "$source" /lib/i386-linux-gnu/libc.so.6 >/dev/null 2>&1; then
      echo "Note: $source did not build; emulated programs start slowly." >&2
      rm -f "$_i386_reserve"
      return 0
    fi
  fi
  export QEMU_SET_ENV=LD_PRELOAD=$_i386_reserve
}

i386_emulation_stop() {
  if [ "$_i386_registered" = 1 ]; then
    echo -1 | $_i386_sudo tee "$_i386_binfmt/$_i386_entry" >/dev/null 2>&1
    _i386_registered=0
  fi
  if [ "$_i386_mounted" = 1 ]; then
    $_i386_sudo umount "$_i386_binfmt" >/dev/null 2>&1
    _i386_mounted=0
  fi
  return 0
}
