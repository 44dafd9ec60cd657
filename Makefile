# SweepHarbor: `make run` and `make test` work on a fresh Debian 12 machine.
JOBS ?= $(shell nproc)
# B: the build folder; helpers working side by side each use their own.
B ?= build
export SH_BUILD_ROOT := $(B)
NATIVE := $(B)/native
WIN := $(B)/win

.PHONY: all deps build native windows test run bench clean screenshots

all: build

deps:
	@bash tools/setup.sh

native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS) -- --no-print-directory

windows: deps native
	@cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WIN) -j $(JOBS) -- --no-print-directory
	@bash tools/pack-data.sh

build: native windows

test: build
	@bash tools/run-tests.sh

run: build
	@bash tools/run.sh

bench: build
	@bash tools/bench.sh

screenshots: build
	@bash tools/screenshots.sh

clean:
	rm -rf $(NATIVE) $(WIN) $(B)/wine
