# fieldwish: the two commands a fresh Debian 12 machine needs.
#   make run    install what is missing, build, start the dashboard on the virtual instrument
#   make test   install what is missing, build, run every test, then the
#               sanitizer tree (build/asan) with the corpus replays
#   make fuzz   run every fuzz target for FUZZ_SECONDS (default 300) each
#   make soak   the unplug/replug and exchange soaks (also part of make bench)
#   make package  the Debian package, build/fieldwish_VERSION_amd64.deb
#   make dist   the Windows distribution, build/win32/fieldwish-VERSION-win32.zip
# make build, test and run build the Linux tree and the Windows one
# (build/win32, cross-compiled, tested under Wine). FIELDWISH_KEY=<98 hex
# digits> on the command line keys every tree and its packed scripts; without
# it they take the development key.
BUILD_DIR ?= build
WIN_BUILD_DIR ?= $(BUILD_DIR)/win32
SANITIZE_DIR ?= $(BUILD_DIR)/asan
FUZZ_SECONDS ?= 300
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
FIELDWISH_KEY ?=
KEY_FLAG = $(if $(FIELDWISH_KEY),-DFIELDWISH_KEY=$(FIELDWISH_KEY),-UFIELDWISH_KEY)

.PHONY: all deps build build-linux build-win sanitize test run bench screenshot soak fuzz dist package clean

all: build

deps:
	@tools/install-deps.sh

build: build-linux build-win

build-linux: deps
	cmake -S . -B $(BUILD_DIR) $(KEY_FLAG) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The Windows tree packs its scripts with the Linux tree's tinpack.
build-win: build-linux
	cmake -S . -B $(WIN_BUILD_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake \
	  -DFIELDWISH_HOST_TINPACK=$(abspath $(BUILD_DIR))/bin/tinpack $(KEY_FLAG)
	cmake --build $(WIN_BUILD_DIR) -j $(JOBS)

# The sanitizer tree: Clang, AddressSanitizer, LeakSanitizer and UBSan, the
# fuzz targets; no benchmarks.
sanitize: deps
	CC=clang CXX=clang++ cmake -S . -B $(SANITIZE_DIR) -DFIELDWISH_SANITIZE=ON -DFIELDWISH_BENCHMARKS=OFF $(KEY_FLAG) $(CMAKE_FLAGS)
	cmake --build $(SANITIZE_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)
	cd $(WIN_BUILD_DIR) && ctest --output-on-failure -j $(JOBS)
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

package: build-linux
	cmake --build $(BUILD_DIR) --target package
	@ls $(BUILD_DIR)/fieldwish_*_amd64.deb

dist: build-win
	@ls $(WIN_BUILD_DIR)/fieldwish-*-win32.zip

clean:
	rm -rf $(BUILD_DIR)
