# Two commands do everything on a fresh Debian 12 machine:
#   make run    install what is missing, build, start the app (headless demo without a display)
#   make test   install what is missing, build, run every test
PRESET ?= release
BUILD_DIR := build/$(PRESET)
FUZZ_SECONDS ?= 60
export QTWEBENGINE_CHROMIUM_FLAGS ?= --no-sandbox --disable-gpu

.PHONY: deps configure build run test fuzz bench format clean

deps:
	@scripts/install-deps.sh

configure: deps
	@if [ ! -f $(BUILD_DIR)/build.ninja ]; then cmake --preset $(PRESET); fi

build: configure
	cmake --build $(BUILD_DIR)

run: build
	@scripts/run.sh $(BUILD_DIR)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure --no-tests=error

fuzz: deps
	@if [ ! -f build/fuzz/build.ninja ]; then cmake --preset fuzz; fi
	cmake --build build/fuzz
	@scripts/run-fuzz.sh build/fuzz $(FUZZ_SECONDS)

bench: build
	@scripts/run-bench.sh $(BUILD_DIR)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
