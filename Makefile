# The two commands of the README: `make run` and `make test`. Both install what is missing first.
BUILD ?= build
SANITIZE_BUILD ?= build-asan
SCAN_PATH ?= $(HOME)

.PHONY: setup build run test test-sanitize check-windows bench

setup:
	./scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD) -G Ninja
	cmake --build $(BUILD)

run: build
	$(BUILD)/bench/dunstrel-scan-bench "$(SCAN_PATH)"

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

# The core tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: setup
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DDUNSTREL_BUILD_GUI=OFF -DDUNSTREL_BUILD_BENCH=OFF -DDUNSTREL_SANITIZE=address,undefined
	cmake --build $(SANITIZE_BUILD)
	cd $(SANITIZE_BUILD) && ctest --output-on-failure -j2

# The core and its Windows platform layer, cross-compiled with MinGW-w64.
check-windows:
	./scripts/setup.sh windows-cross
	cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
	  -DDUNSTREL_BUILD_GUI=OFF -DDUNSTREL_BUILD_TESTS=OFF -DDUNSTREL_BUILD_BENCH=OFF
	cmake --build build-windows

bench: build
	./bench/run-scan-bench.sh
