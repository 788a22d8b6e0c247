# The README's commands. CMake does the building; this file only strings the steps together.
PRESET ?= release
BUILD_DIR := $(if $(filter release,$(PRESET)),build,build-$(PRESET))
JOBS ?= $(shell nproc)

.PHONY: all setup configure build run test assets bench fuzz clean format

all: build

setup:
	@bash scripts/install-deps.sh

configure: setup
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET) -j $(JOBS)

run: build
	./$(BUILD_DIR)/kelvanor

test: build
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

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-debug build-asan build-fuzz
