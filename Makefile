# fieldwish: the two commands a fresh Debian 12 machine needs.
#   make run    install what is missing, build, start the dashboard on the virtual instrument
#   make test   install what is missing, build, run every test, then the
#               sanitizer tree (build/asan) with the corpus replays
#   make fuzz   run every fuzz target for FUZZ_SECONDS (default 300) each
#   make soak   the unplug/replug and exchange soaks (also part of make bench)
#   make package  the Debian package, build/fieldwish_VERSION_amd64.deb
BUILD_DIR ?= build
SANITIZE_DIR ?= $(BUILD_DIR)/asan
FUZZ_SECONDS ?= 300
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: all deps build sanitize test run bench screenshot soak fuzz package clean

all: build

deps:
	@tools/install-deps.sh

build: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The sanitizer tree: Clang, AddressSanitizer, LeakSanitizer and UBSan, the
# fuzz targets; no benchmarks.
sanitize: deps
	CC=clang CXX=clang++ cmake -S . -B $(SANITIZE_DIR) -DFIELDWISH_SANITIZE=ON -DFIELDWISH_BENCHMARKS=OFF $(CMAKE_FLAGS)
	cmake --build $(SANITIZE_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) sanitize
	cd $(SANITIZE_DIR) && ctest --output-on-failure -j $(JOBS)

fuzz: sanitize
	tests/fuzz/run-fuzz.sh $(SANITIZE_DIR) $(FUZZ_SECONDS)

run: build
	@tools/run-dashboard.sh $(BUILD_DIR)

bench: build
	@bench/run-all.sh $(BUILD_DIR)

screenshot: build
	@tools/screenshot.sh $(BUILD_DIR)

soak: build
	bench/soak-sim.sh $(BUILD_DIR)
	bench/soak-hidvm.sh $(BUILD_DIR)

package: build
	cmake --build $(BUILD_DIR) --target package
	@ls $(BUILD_DIR)/fieldwish_*_amd64.deb

clean:
	rm -rf $(BUILD_DIR)
