# The suite's two commands:
#   make run   builds and opens the utility Kelvadiag on the embedded default simulated machine
#   make test  installs what is missing, builds, and runs every test (under ASan+UBSan, the
#              worker suites under ThreadSanitizer, a brief fuzzing of every fuzz target, and the
#              Windows build under wine)
# and for longer fuzzing: make fuzz (every fuzz target for FUZZ_SECONDS, default 60).
.PHONY: run test build deps clean format bench windows-test fuzz fuzz-ci screenshots tsan installer windows-screenshots

JOBS ?= $(shell nproc)
# A test that fails runs once more before it fails the run: the Send and Receive suites talk over
# real sockets on the loopback network and have, on a machine loaded by other builds, lost a race
# with it now and then. Its first failure is still printed in full.
CTEST_RETRY ?= --repeat until-pass:2
BUILD := build
ASAN_BUILD := build-asan
TSAN_BUILD := build-tsan

deps:
	./scripts/install-deps.sh base utility

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(BUILD) -j $(JOBS)

# Without a display it says how to run it instead (xvfb-run -a make run). ARGS go to the program:
# make run ARGS=/allpages
run: build
	@./scripts/run-utility.sh $(BUILD) $(ARGS)

# Regenerates the pictures in docs/screenshots/ offscreen from the default machine.
screenshots: build
	$(BUILD)/utility/kelvadiag_screenshots docs/screenshots

# Every test runs in the ASan+UBSan build (the plain build of `make run` is not built again for
# them); line tables alone (-g1) are enough for the sanitizers' reports and link much faster.
# Qt for mingw-w64, when it is not in its cache yet, builds in the background at the lowest
# priority from the start, on what the other steps leave of the processors; windows-test waits
# for it (scripts/build-qt-mingw.sh).
test: deps
	./scripts/build-qt-mingw.sh --background
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DCMAKE_C_FLAGS_DEBUG=-g1 \
		-DKV_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) \
		$(CTEST_RETRY)
	$(MAKE) tsan
	$(MAKE) fuzz-ci
	$(MAKE) windows-test

# The suites labelled "workers" (worker threads and what they share with the user-interface
# thread) under ThreadSanitizer, in build-tsan, which builds only them. Qt's libraries are not
# instrumented: utility/tests/tsan.supp lists the reports that come from inside them.
tsan: deps
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DCMAKE_C_FLAGS_DEBUG=-g1 \
		-DKV_TSAN=ON -DKV_BUILD_BENCHMARKS=OFF
	cmake --build $(TSAN_BUILD) --target worker_tests -j $(JOBS)
	TSAN_OPTIONS="halt_on_error=1 history_size=7 second_deadlock_stack=1 suppressions=$(CURDIR)/utility/tests/tsan.supp" \
		ctest --test-dir $(TSAN_BUILD) -L workers --output-on-failure -j $(JOBS) $(CTEST_RETRY)

# The fuzz targets (fuzz/, clang with libFuzzer, in build-fuzz); see scripts/fuzz.sh.
fuzz:
	./scripts/install-deps.sh fuzz
	JOBS=$(JOBS) ./scripts/fuzz.sh

# The brief run of the tests: every kept regression input, then each target for FUZZ_SECONDS
# (default 10), as many at a time as there are cores.
fuzz-ci:
	./scripts/install-deps.sh fuzz
	JOBS=$(JOBS) ./scripts/fuzz.sh --ci

# The Windows build (mingw-w64, with Qt cross-built once into ~/.cache/kelvadiag) and its tests
# under wine; see scripts/windows-test.sh.
windows-test:
	JOBS=$(JOBS) ./scripts/windows-test.sh

# The Windows builds alone, the installer build-win64/Kelvadiag-setup.exe among them.
installer:
	JOBS=$(JOBS) ./scripts/windows-test.sh --build

# Retakes docs/screenshots/windows/ under wine (the Windows look of the utility).
windows-screenshots:
	JOBS=$(JOBS) ./scripts/windows-test.sh --screenshots

bench: build
	KELVA_CLOCK=virtual $(BUILD)/benchmarks/kv_benchmarks
	$(BUILD)/utility/utility_benchmarks

format:
	find common platform sim library reloaddrv installer tools utility fuzz -name '*.cpp' -o -name '*.h' 2>/dev/null | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) build-fuzz build-win64 build-win64-sim build-win32
