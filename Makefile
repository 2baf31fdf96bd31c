# Thin wrapper over CMake: every target installs what is missing first, so a fresh Debian 12
# machine needs nothing but `make demo` or `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test demo bench fuzz install asan clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@if [ ! -f $(BUILD_DIR)/build.ninja ]; then cmake --preset default; fi

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

demo: build
	scripts/demo.sh

bench: deps
	@if [ ! -f build-bench/build.ninja ]; then cmake --preset bench; fi
	cmake --build build-bench -j $(JOBS)
	scripts/bench.sh

fuzz: deps
	@if [ ! -f build-fuzz/build.ninja ]; then cmake --preset fuzz; fi
	cmake --build build-fuzz -j $(JOBS) --target fuzz_targets

asan: deps
	@if [ ! -f build-asan/build.ninja ]; then cmake --preset asan; fi
	cmake --build build-asan -j $(JOBS)
	ctest --test-dir build-asan --output-on-failure -j $(JOBS)

install: build
	cmake --install $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) build-bench build-asan build-fuzz
