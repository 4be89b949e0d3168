/* Preloaded into every emulated 32-bit Wine process (scripts/i386-emulation.sh).
 *
 * At its start 32-bit Wine reserves the upper part of a 32-bit address space, 0x7ffe0000 to 4 GB,
 * with address-hinted mmap calls that must not replace anything (MAP_FIXED_NOREPLACE); a request
 * that fails is halved and tried again, down to 64 KB pieces. qemu gives the program a smaller
 * address space (QEMU_RESERVED_VA), so every piece above it fails, 32,000 of them, and qemu serves
 * each failure by scanning its page table for some other free range, which Wine then unmaps again:
 * about 2 s of processor time per process start. A request that reaches beyond the address space
 * fails here at once, as it would have failed there. Every other call goes to the C library.
 *
 * Built by the host compiler as a 32-bit library without the C library's headers, so that it
 * needs no 32-bit development package: cc -m32 -shared -nostdlib -DADDRESS_LIMIT=<bytes>. */

typedef unsigned int size_t;
typedef long long off64_t;

#define MAP_FIXED_NOREPLACE 0x100000
#define ENOMEM 12
#define MAP_FAILED ((void *)-1)
#define RTLD_NEXT ((void *)-1l)

void *dlsym(void *handle, const char *name);
int *__errno_location(void);
int unsetenv(const char *name);

/* Wine's Unix side calls mmap64; the 32-bit mmap is not used for these reservations. */
void *mmap64(void *address, size_t length, int protection, int flags, int fd, off64_t offset) {
    static void *(*next)(void *, size_t, int, int, int, off64_t);
    const unsigned long start = (unsigned long)address;
    if ((flags & MAP_FIXED_NOREPLACE) && (start + length < start || start + length > ADDRESS_LIMIT)) {
        *__errno_location() = ENOMEM;
        return MAP_FAILED;
    }
    if (!next) next = (void *(*)(void *, size_t, int, int, int, off64_t))dlsym(RTLD_NEXT, "mmap64");
    return next(address, length, protection, flags, fd, offset);
}

/* The x86_64 programs that an emulated one starts must not try to preload a 32-bit library; the
 * 32-bit ones get it again from qemu (QEMU_SET_ENV). */
__attribute__((constructor)) static void ForgetThePreload(void) { unsetenv("LD_PRELOAD"); }
