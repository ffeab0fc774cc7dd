# The two commands of the README: `make run` and `make test`. Both install what is missing first.
BUILD ?= build

.PHONY: setup build run test test-sanitize test-thread check-windows bench

setup:
	./scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD) -G Ninja -DDUNSTREL_BUILD_GUI=ON -DDUNSTREL_BUILD_TESTS=ON \
	  -DDUNSTREL_BUILD_BENCH=ON -DDUNSTREL_SANITIZE=
	cmake --build $(BUILD)

run: build
	$(BUILD)/src/app/dunstrel

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

# Every test again under AddressSanitizer with UndefinedBehaviorSanitizer, and under
# ThreadSanitizer.
test-sanitize: setup
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DDUNSTREL_BUILD_GUI=ON -DDUNSTREL_BUILD_BENCH=OFF -DDUNSTREL_SANITIZE=address,undefined
	cmake --build build-asan
	cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

test-thread: setup
	cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DDUNSTREL_BUILD_GUI=ON -DDUNSTREL_BUILD_BENCH=OFF -DDUNSTREL_SANITIZE=thread
	cmake --build build-tsan
	cd build-tsan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

# The core and its Windows platform layer, cross-compiled with MinGW-w64.
check-windows:
	./scripts/setup.sh windows-cross
	cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
	  -DDUNSTREL_BUILD_GUI=OFF -DDUNSTREL_BUILD_TESTS=OFF -DDUNSTREL_BUILD_BENCH=OFF
	cmake --build build-windows

bench: build
	./bench/run-scan-bench.sh
