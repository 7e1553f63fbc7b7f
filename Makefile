# Two commands do everything on a fresh Debian 12 machine:
#   make run    install what building and running need, build, start the app (headless demo
#               without a display)
#   make test   install what the tests need as well, build with the tests, run every test
# Each target installs only its own set of packages (scripts/install-deps.sh). The build folder
# is shared: `make run` on a fresh folder leaves the tests and benchmarks out, `make test` and
# `make bench` switch them on.
PRESET ?= release
BUILD_DIR := build/$(PRESET)
FUZZ_SECONDS ?= 60
export QTWEBENGINE_CHROMIUM_FLAGS ?= --no-sandbox --disable-gpu

# Configures the build folder when there is none yet, and again when one of the options in
# $(1) is off in it.
define configure_with
	@if [ ! -f $(BUILD_DIR)/build.ninja ] || \
	    grep -qE '^($(1)):BOOL=OFF$$' $(BUILD_DIR)/CMakeCache.txt; then \
	  cmake --preset $(PRESET) $(2); \
	fi
endef

.PHONY: deps configure build run test fuzz bench package format clean

deps:
	@scripts/install-deps.sh run

configure: deps
	@if [ ! -f $(BUILD_DIR)/build.ninja ]; then \
	  cmake --preset $(PRESET) -DPLOTWELL_BUILD_TESTS=OFF -DPLOTWELL_BUILD_BENCH=OFF; \
	fi

build: configure
	cmake --build $(BUILD_DIR)

run: build
	@scripts/run.sh $(BUILD_DIR)

test:
	@scripts/install-deps.sh test
	$(call configure_with,PLOTWELL_BUILD_TESTS,-DPLOTWELL_BUILD_TESTS=ON)
	cmake --build $(BUILD_DIR)
	ctest --test-dir $(BUILD_DIR) --output-on-failure --no-tests=error

fuzz:
	@scripts/install-deps.sh fuzz
	@if [ ! -f build/fuzz/build.ninja ]; then cmake --preset fuzz; fi
	cmake --build build/fuzz
	@scripts/run-fuzz.sh build/fuzz $(FUZZ_SECONDS)

# The benchmarks use the tests' scripted desktop, so they need the tests' build too.
bench:
	@scripts/install-deps.sh bench
	$(call configure_with,PLOTWELL_BUILD_TESTS|PLOTWELL_BUILD_BENCH,-DPLOTWELL_BUILD_TESTS=ON -DPLOTWELL_BUILD_BENCH=ON)
	cmake --build $(BUILD_DIR)
	@scripts/run-bench.sh $(BUILD_DIR)

# A Debian package in $(BUILD_DIR)/package, its dependencies read from what the binaries link.
package: build
	@scripts/install-deps.sh package
	cd $(BUILD_DIR) && cpack

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
