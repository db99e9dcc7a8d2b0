# The two commands a newcomer needs:  make run   and   make test
# Everything else here is for developers.

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
MAKEFLAGS += --no-print-directory
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_ARGS ?=

.PHONY: all deps build run test test-asan fuzz bench package screenshots clean

all: build

deps:
	@./scripts/install-deps.sh

# Everything: the programs, the tests and the benchmarks.
build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLOMAT_TESTS=ON -DQUILLOMAT_BENCH=ON $(CMAKE_ARGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# Receive a picture. With a display: the desktop program (with the simulated console unless
# QUILLOMAT_LINK says otherwise). Without one: the CLI receives into received.bmp.
# Installs and builds only what that program needs.
run:
	@./scripts/install-deps.sh --run
	@./scripts/run.sh $(BUILD) $(JOBS) $(CMAKE_ARGS)

test: build
	@./scripts/check-layers.sh
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUILLOMAT_SANITIZE=ON $(CMAKE_ARGS) >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# libFuzzer targets under ASan+UBSan; FUZZ_SECONDS per target (see README).
FUZZ_SECONDS ?= 60
fuzz:
	@./scripts/install-deps.sh --fuzz
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DQUILLOMAT_FUZZ=ON -DQUILLOMAT_SANITIZE=ON -DQUILLOMAT_GUI=OFF -DQUILLOMAT_TESTS=OFF -DQUILLOMAT_BENCH=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@./scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: build
	@$(BUILD)/bench/quillomat_bench

# The Debian package (build/quillomat_<version>_<arch>.deb), then what lintian says of it.
package: build
	@./scripts/install-deps.sh --package
	@cd $(BUILD) && cpack -G DEB
	@lintian --fail-on error,warning --tag-display-limit 0 $(BUILD)/quillomat_*.deb && echo "lintian: no errors or warnings" >&2

# The README's screenshots, taken on a virtual X server.
screenshots: build
	@tests/dialogs/take-screenshots.sh $(BUILD)
	@QT_QPA_PLATFORM=xcb QUILLOMAT_LINK=sim xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
	  $(BUILD)/tests/app/app_screenshots docs/screenshots

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
