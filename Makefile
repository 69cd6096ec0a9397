# fieldwish: the two commands a fresh Debian 12 machine needs.
#   make run    install what is missing, build, start the dashboard on the virtual instrument
#   make test   install what is missing, build, run every test
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: all deps build test run bench screenshot clean

all: build

deps:
	@tools/install-deps.sh

build: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

run: build
	@tools/run-dashboard.sh $(BUILD_DIR)

bench: build
	@bench/run-all.sh $(BUILD_DIR)

screenshot: build
	@tools/screenshot.sh $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR)
