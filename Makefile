# The README's commands. CMake does the building; this file only strings the steps together.
PRESET ?= release
BUILD_DIR := $(if $(filter release,$(PRESET)),build,build-$(PRESET))
JOBS ?= $(shell nproc)

.PHONY: all setup configure build run test assets bench fuzz soak soak-ci clean format web web-serve

all: build

setup:
	@bash scripts/install-deps.sh

configure: setup
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET) -j $(JOBS)

run: build
	./$(BUILD_DIR)/kelvanor

# Only what the suite runs (and the game); `make build` builds the benchmark and the tools too.
test: configure
	@cmake --build --preset $(PRESET) --target kelvanor_test_programs -j $(JOBS)
	@bash scripts/check-layers.sh
	@bash scripts/run-tests.sh $(BUILD_DIR)

assets: configure
	@cmake --build --preset $(PRESET) --target assets -j $(JOBS)
	@echo "Assets written to $(BUILD_DIR)/assets/"

bench: build
	./$(BUILD_DIR)/bench/kelvanor_bench

# Each loader's libFuzzer target for a bounded time; scripts/fuzz.sh says how to change the bounds.
fuzz:
	@bash scripts/install-deps.sh --fuzz
	@bash scripts/fuzz.sh

# Whole seeded runs under AddressSanitizer and UndefinedBehaviorSanitizer, checked every frame. Every tenth
# run, the first included, is kept alive to the end of level 20; the rest lose lives, end and enter names.
# The session fails unless, from three runs on, it finished level 20 and saw every enemy kind and pattern.
SOAK_RUNS ?= 100
# The CI's share: three runs, the first of them to the end of level 20, then the replay tests, in the same
# sanitizer build.
SOAK_CI_RUNS ?= 3

soak: setup
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan --target kelvanor_soak -j $(JOBS)
	@bash scripts/run-soak.sh build-asan soak --runs $(SOAK_RUNS)

soak-ci: setup
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan --target kelvanor_soak_ci -j $(JOBS)
	@bash scripts/run-soak.sh build-asan soak --runs $(SOAK_CI_RUNS) --seed 9001
	@bash scripts/run-soak.sh build-asan replays

# The browser build (build-web/index.html, kelvanor.js, kelvanor.wasm) with Debian's emscripten. The assets
# come from the native generator in the release build; the page fetches nothing else.
PORT ?= 8080
export NODE_PATH := /usr/share/nodejs

web:
	@bash scripts/install-deps.sh --web
	@cmake --preset release >/dev/null
	@cmake --build --preset release --target assets -j $(JOBS)
	@cmake --preset web -DKELVANOR_ASSET_DIR=$(CURDIR)/build/assets >/dev/null
	@cmake --build --preset web -j $(JOBS)
	@ls -l build-web/index.html build-web/kelvanor.js build-web/kelvanor.wasm

web-serve: web
	@python3 scripts/web-serve.py build-web $(PORT)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-debug build-asan build-fuzz build-web build-web-test

# The web build in Debian's headless Chromium with software WebGL, driven through the DevTools protocol
# (tests/web/run.mjs): title, play, steering and firing, pause, a hiscore entry kept across a reload,
# no console errors. Failing cases leave their last picture in build-web-test/failures/. Then the replay
# files in the web build's game code (web-replays below).
.PHONY: test-web web-figures web-replays
test-web: web
	@bash scripts/run-web-tests.sh build-web
	@bash scripts/web-replays.sh build-web

# The desktop's replay files played by the web build's game code under Node (null backend), and the math
# library calls the game makes compared between glibc and emscripten.
web-replays: web
	@bash scripts/web-replays.sh build-web

# The web build's figures for the README: the page's weight, start-up to the first title frame, frame
# times of the title and of level-1 play in headless Chromium.
web-figures: web
	@bash scripts/run-web-tests.sh --figures build-web
