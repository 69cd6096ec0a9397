# fieldwish: the commands a fresh Debian 12 machine needs.
#   make run    install what the dashboard needs, build it (the Linux shells
#               and their scripts only), start it on the virtual instrument
#   make check  the edit-test loop: the Linux tree's unit and tcltest suites
#               and the layering check (ctest label "check")
#   make test   install what is missing, build both trees, run every test,
#               then the sanitizer tree (build/asan) with the corpus replays
#   make fuzz   run every fuzz target for FUZZ_SECONDS (default 300) each
#   make soak   the unplug/replug and exchange soaks (also part of make bench), and a
#               simulated week of unattended recording
#   make package  the Debian package, build/fieldwish_VERSION_amd64.deb
#   make dist   the Windows distribution, build/win32/fieldwish-VERSION-win32.zip
#   make clean  remove the build trees but keep the slow caches (the Windows
#               Tcl/Tk, build/win32-deps; the VM's kernel, hidvm-cache)
#   make distclean  remove build/ whole
# make build and test build the Linux tree and the Windows one (build/win32,
# cross-compiled, tested under Wine). FIELDWISH_KEY=<98 hex digits> on the
# command line keys every tree and its packed scripts; without it they take
# the development key.
BUILD_DIR ?= build
WIN_BUILD_DIR ?= $(BUILD_DIR)/win32
SANITIZE_DIR ?= $(BUILD_DIR)/asan
FUZZ_SECONDS ?= 300
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
FIELDWISH_KEY ?=
KEY_FLAG = $(if $(FIELDWISH_KEY),-DFIELDWISH_KEY=$(FIELDWISH_KEY),-UFIELDWISH_KEY)
CONFIGURE_LINUX = cmake -S . -B $(BUILD_DIR) -DFIELDWISH_DASHBOARD_ONLY=OFF $(KEY_FLAG) $(CMAKE_FLAGS)

.PHONY: all deps build build-linux build-win sanitize test check run bench screenshot soak fuzz dist package \
        clean distclean

all: build

deps:
	@tools/install-deps.sh test

build: build-linux build-win

build-linux: deps
	$(CONFIGURE_LINUX)
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

check:
	@tools/install-deps.sh check
	$(CONFIGURE_LINUX)
	cmake --build $(BUILD_DIR) -j $(JOBS)
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) -L check

fuzz: sanitize
	tests/fuzz/run-fuzz.sh $(SANITIZE_DIR) $(FUZZ_SECONDS)

# A tree configured before keeps its configuration; a new one gets only the
# dashboard's part.
run:
	@tools/install-deps.sh run
	@if [ -f $(BUILD_DIR)/CMakeCache.txt ]; then cmake -S . -B $(BUILD_DIR) $(KEY_FLAG) $(CMAKE_FLAGS); \
	else cmake -S . -B $(BUILD_DIR) -DFIELDWISH_DASHBOARD_ONLY=ON $(KEY_FLAG) $(CMAKE_FLAGS); fi
	cmake --build $(BUILD_DIR) -j $(JOBS) --target dashboard
	@tools/run-dashboard.sh $(BUILD_DIR)

bench: build
	@bench/run-all.sh $(BUILD_DIR)

screenshot: build
	@tools/screenshot.sh $(BUILD_DIR)

soak: build
	bench/soak-sim.sh $(BUILD_DIR)
	bench/soak-hidvm.sh $(BUILD_DIR)
	bench/soak-recording.sh $(BUILD_DIR)

package: build-linux
	cmake --build $(BUILD_DIR) --target package
	@ls $(BUILD_DIR)/fieldwish_*_amd64.deb

dist: build-win
	@ls $(WIN_BUILD_DIR)/fieldwish-*-win32.zip

clean:
	@tools/clean-build.sh $(BUILD_DIR)

distclean:
	rm -rf $(BUILD_DIR)
