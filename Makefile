# Two build trees: build/native (this host) and build/aarch64 (cross-built, run under qemu-aarch64).
# `make` sets up what is missing, configures and builds both; `make test` also runs every test.

NATIVE  := build/native
AARCH64 := build/aarch64
CMAKE_FLAGS ?=
CTEST_FLAGS ?= --output-on-failure

.PHONY: all deps configure build test test-native test-aarch64 bench clean

all: build

deps:
	@tools/setup/ensure-deps

$(NATIVE)/build.ninja: | deps
	cmake -S . -B $(NATIVE) -G Ninja $(CMAKE_FLAGS)

$(AARCH64)/build.ninja: | deps
	cmake -S . -B $(AARCH64) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake $(CMAKE_FLAGS)

configure: $(NATIVE)/build.ninja $(AARCH64)/build.ninja

build: configure
	cmake --build $(NATIVE)
	cmake --build $(AARCH64)
	@tools/setup/link-bin $(NATIVE) build/bin

test: build test-native test-aarch64

test-native:
	ctest --test-dir $(NATIVE) $(CTEST_FLAGS)

test-aarch64:
	ctest --test-dir $(AARCH64) $(CTEST_FLAGS)

bench: build
	$(NATIVE)/bin/ostrel-bench

clean:
	rm -rf build
