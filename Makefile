# Tesmora: `make run` starts the environment, `make test` runs every test.
# Both install missing dependencies, configure and build first.

BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run test package package-check sanitize fuzz bench clean

# The sanitizer build (engine, runner, tests without widgets) and the fuzz
# build (clang's libFuzzer) live in folders of their own.
ASAN_DIR ?= build-asan
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60

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

# The Debian package (build/tesmora_VERSION_ARCH.deb), and its check: file
# list, dependencies, lintian, and the unpacked programs at work.
package: build
	cmake --build $(BUILD_DIR) --target package

package-check: package
	bash packaging/check_package.sh $(BUILD_DIR) .

$(ASAN_DIR)/CMakeCache.txt: | deps
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESMORA_SANITIZE=ON

sanitize: deps $(ASAN_DIR)/CMakeCache.txt
	cmake --build $(ASAN_DIR) -j$(JOBS)
	ctest --test-dir $(ASAN_DIR) --output-on-failure -j$(JOBS)

$(FUZZ_DIR)/CMakeCache.txt: | deps
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESMORA_FUZZ=ON \
	  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14

# Runs the fuzz target for FUZZ_SECONDS over the conformance scripts; new
# inputs it finds stay in $(FUZZ_DIR)/corpus.
fuzz: deps $(FUZZ_DIR)/CMakeCache.txt
	cmake --build $(FUZZ_DIR) -j$(JOBS) --target fuzz_script
	bash tests/fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

bench: build
	bash bench/run.sh

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR)
