# Tesmora: `make run` starts the environment, `make test` runs every test.
# Both install missing dependencies, configure and build first.

BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD_DIR)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD_DIR)/CMakeCache.txt

build: configure
	cmake --build $(BUILD_DIR) -j$(JOBS)

run: build
	$(BUILD_DIR)/bin/tesmora

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j$(JOBS)

bench: build
	bash bench/run.sh

clean:
	rm -rf $(BUILD_DIR)
