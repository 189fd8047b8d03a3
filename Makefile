# Wraps CMake: `make` builds the programs, the speech engine and the data,
# optimised, into build/; `make run` opens the window, or without a display
# runs a short demonstration through parrot-cli; `make test` builds a
# sanitizer build with the tests into build-test/ and runs them through
# CTest, then the fuzz targets over their seeds and a few seconds of fuzzing
# each; `make fuzz` builds only the fuzz targets, with clang, into
# build-fuzz/; `make bench` adds the benchmarks to build/.
BUILD      ?= build
TEST_BUILD ?= build-test
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)

.PHONY: all deps build test fuzz run bench clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DPARROT_BUILD_TESTS=OFF >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

test: deps
	@cmake -S . -B $(TEST_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPARROT_SANITIZE=ON -DPARROT_BUILD_TESTS=ON >/dev/null
	@cmake --build $(TEST_BUILD) -j $(JOBS)
	@cd $(TEST_BUILD) && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory fuzz
	@cd $(FUZZ_BUILD) && ctest --output-on-failure -j $(JOBS)

fuzz: deps
	@cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
	    -DCMAKE_CXX_COMPILER=clang++ -DPARROT_FUZZ=ON -DPARROT_BUILD_TESTS=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets

run: build
	@if [ -n "$${DISPLAY:-}$${WAYLAND_DISPLAY:-}" ]; then \
	    $(BUILD)/bin/parrot; \
	else \
	    resources/demo/run_demo.sh $(BUILD)/bin/parrot-cli; \
	fi

bench: build
	@cmake --build $(BUILD) -j $(JOBS) --target benchmarks

clean:
	rm -rf $(BUILD) $(TEST_BUILD) $(FUZZ_BUILD)
