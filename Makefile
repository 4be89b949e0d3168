# The two commands a fresh machine needs: `make demo` and `make check`.
.PHONY: all build deps check demo bench clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build/win32 -j2
	@cmake --build build/win64 -j2

check: build
	@scripts/run-tests.sh

demo: build
	@scripts/demo.sh

bench: build
	@scripts/bench.sh

clean:
	rm -rf build
