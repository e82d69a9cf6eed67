# Two build trees: build/native (this host) and build/aarch64 (cross-built, run under qemu-aarch64).
# `make` sets up what is missing, configures and builds both; `make test` also runs every test.

NATIVE  := build/native
AARCH64 := build/aarch64
CMAKE_FLAGS ?=
CTEST_FLAGS ?= --output-on-failure

# The DynamoRIO that the client libostrel.so is built against: its cmake directory, given as
# `make DynamoRIO_DIR=<DynamoRIO>/cmake` (or in the environment). Without one the client is skipped
# and everything else builds and tests as before. Once given, a tree remembers it.
DynamoRIO_DIR ?=
DR_FLAGS := $(if $(DynamoRIO_DIR),-DDynamoRIO_DIR=$(abspath $(DynamoRIO_DIR)))

.PHONY: all deps configure build test test-native test-aarch64 bench demo install clean

all: build

deps:
	@tools/setup/ensure-deps

$(NATIVE)/build.ninja: | deps
	cmake -S . -B $(NATIVE) -G Ninja $(DR_FLAGS) $(CMAKE_FLAGS)

$(AARCH64)/build.ninja: | deps
	cmake -S . -B $(AARCH64) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake $(DR_FLAGS) $(CMAKE_FLAGS)

configure: $(NATIVE)/build.ninja $(AARCH64)/build.ninja
ifneq ($(DynamoRIO_DIR),)
	@grep -q '^DynamoRIO_DIR:.*=$(abspath $(DynamoRIO_DIR))$$' $(NATIVE)/CMakeCache.txt || \
		cmake -S . -B $(NATIVE) $(DR_FLAGS) > /dev/null
	@grep -q '^DynamoRIO_DIR:.*=$(abspath $(DynamoRIO_DIR))$$' $(AARCH64)/CMakeCache.txt || \
		cmake -S . -B $(AARCH64) $(DR_FLAGS) | grep -i dynamorio || true
endif

build: configure
	cmake --build $(NATIVE)
	cmake --build $(AARCH64)
	@tools/setup/link-bin $(NATIVE) build/bin
	@tools/setup/link-client $(AARCH64) build/lib

test: build test-native test-aarch64

test-native:
	ctest --test-dir $(NATIVE) $(CTEST_FLAGS)

test-aarch64:
	ctest --test-dir $(AARCH64) $(CTEST_FLAGS)

# The main job: an SVE program run on a processor without SVE, its region of interest traced.
DEMO_PROGRAM := $(AARCH64)/examples/region_of_interest
DEMO_TRACE := build/demo.trace
DEMO_MIX := build/demo-mix.txt
DEMO_PICTURE := build/demo-trace.png

demo: build
	@echo "== $(DEMO_PROGRAM) under ostrel-run, tracing into $(DEMO_TRACE), its instruction mix into $(DEMO_MIX)"
	@rm -f $(DEMO_TRACE) $(DEMO_MIX) $(DEMO_PICTURE)
	build/bin/ostrel-run --trace $(DEMO_TRACE) --mix $(DEMO_MIX) $(DEMO_PROGRAM)
	@echo "== the trace"
	build/bin/ostrel-trace summary $(DEMO_TRACE)
	@echo "== the instruction mix of the region of interest ($(DEMO_MIX))"
	@cat $(DEMO_MIX)
	@echo "== the picture of the trace"
	build/bin/ostrel-trace plot $(DEMO_TRACE) -o $(DEMO_PICTURE)

# The host's programs and libraries under PREFIX, the AArch64 libraries (trap runner, client, trace
# support) under PREFIX/lib/aarch64-linux-gnu where the host's ostrel-run finds them.
PREFIX ?= /usr/local

install: build
	cmake --install $(NATIVE) --prefix $(abspath $(PREFIX))
	cmake --install $(AARCH64) --prefix $(abspath $(PREFIX)) --component runtime

# The micro-benchmarks and the two front ends, then the side-by-side table against QEMU's SVE,
# whose summary lines end the output (bench/side_by_side/run; BENCH_CLIENT_ITERATIONS sets the
# two lengths of the client's counted runs).
BENCH_CLIENT_ITERATIONS ?= 10 110

bench: build
	$(NATIVE)/bin/ostrel-bench
	bench/front_ends
	bench/side_by_side/run $(BENCH_CLIENT_ITERATIONS)

clean:
	rm -rf build
