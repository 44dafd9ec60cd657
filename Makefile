# SweepHarbor: `make run` and `make test` work on a fresh Debian 12 machine.
JOBS ?= $(shell nproc)
# B: the build folder; helpers working side by side each use their own.
B ?= build
export SH_BUILD_ROOT := $(B)
NATIVE := $(B)/native
# The 64-bit Windows build: tests, benchmarks, `make run` under wine64.
WIN := $(B)/win
# The 32-bit Windows build: the shipped programs (Windows XP SP3 and later).
WIN32 := $(B)/win32

.PHONY: all deps build native windows installer test run bench clean screenshots

all: build

deps:
	@bash tools/setup.sh

native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS) -- --no-print-directory

# $(call fresh_if_other_compiler,DIR,COMPILER): cmake keeps the compiler a
# build folder was first configured with, whatever the toolchain file says
# now; a folder made with another one (the former posix thread model) starts
# afresh.
fresh_if_other_compiler = grep -qs 'CMAKE_CXX_COMPILER "[^"]*/$(2)"' $(1)/CMakeFiles/*/CMakeCXXCompiler.cmake \
	|| rm -rf $(1)/CMakeCache.txt $(1)/CMakeFiles

windows: deps native
	@$(call fresh_if_other_compiler,$(WIN),x86_64-w64-mingw32-g++-win32)
	@cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WIN) -j $(JOBS) -- --no-print-directory
	@$(call fresh_if_other_compiler,$(WIN32),i686-w64-mingw32-g++-win32)
	@cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake -DCMAKE_BUILD_TYPE=Release -DSH_BUILD_TESTS=OFF >/dev/null
	@cmake --build $(WIN32) -j $(JOBS) -- --no-print-directory
	@bash tools/pack-data.sh

build: native windows

# The setup programs (NSIS): the shipped 32-bit one and the 64-bit one the
# tests install under Wine, in $(B)/installer.
installer: build
	@bash tools/make-installer.sh

test: installer
	@bash tools/run-tests.sh

run: build
	@bash tools/run.sh

bench: build
	@bash tools/bench.sh

screenshots: installer
	@bash tools/screenshots.sh

clean:
	rm -rf $(NATIVE) $(WIN) $(WIN32) $(B)/wine $(B)/installer
