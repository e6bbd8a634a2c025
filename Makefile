# The suite's two commands:
#   make run   builds and opens the utility Kelvadiag on the embedded default simulated machine
#   make test  installs what is missing, builds, and runs every test (also under ASan+UBSan, and
#              the Windows build under wine)
.PHONY: run test build deps clean format bench windows-test screenshots

JOBS ?= $(shell nproc)
BUILD := build
ASAN_BUILD := build-asan

deps:
	./scripts/install-deps.sh base utility

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(BUILD) -j $(JOBS)

# Without a display it says how to run it instead (xvfb-run -a make run).
run: build
	@./scripts/run-utility.sh $(BUILD)

# Regenerates the pictures in docs/screenshots/ offscreen from the default machine.
screenshots: build
	$(BUILD)/utility/kelvadiag_screenshots docs/screenshots

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKV_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)
	$(MAKE) windows-test

# The Windows build (mingw-w64) and its tests under wine; see scripts/windows-test.sh.
windows-test:
	JOBS=$(JOBS) ./scripts/windows-test.sh

bench: build
	KELVA_CLOCK=virtual $(BUILD)/benchmarks/kv_benchmarks
	$(BUILD)/utility/utility_benchmarks

format:
	find common platform sim library reloaddrv installer tools utility -name '*.cpp' -o -name '*.h' 2>/dev/null | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-win64 build-win64-sim build-win32
