# The two commands a fresh machine needs: `make demo` and `make check`.
.PHONY: all build compile prefixes deps check demo bench clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@$(MAKE) --no-print-directory compile

# Each build runs its own parallel make, outside the job slots of this one.
compile:
	@cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@MAKEFLAGS= cmake --build build/win32 -j2
	@MAKEFLAGS= cmake --build build/win64 -j2

# The tests' Wine prefixes need nothing of the build: `make check` makes them while it compiles.
prefixes:
	@scripts/make-prefixes.sh

check: deps
	@$(MAKE) --no-print-directory -j2 compile prefixes
	@scripts/run-tests.sh

demo: build
	@scripts/demo.sh

bench: build
	@scripts/bench.sh

clean:
	rm -rf build
