# The two commands of the README: `make run` and `make test`. Both install what is missing first.
BUILD ?= build
SANITIZE_BUILD ?= build-asan
SCAN_PATH ?= $(HOME)

.PHONY: setup build run test test-sanitize bench

setup:
	./scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD) -G Ninja
	cmake --build $(BUILD)

run: build
	$(BUILD)/src/app/dunstrel

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

# The core tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: setup
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DDUNSTREL_BUILD_GUI=OFF -DDUNSTREL_BUILD_BENCH=OFF -DDUNSTREL_SANITIZE=address,undefined
	cmake --build $(SANITIZE_BUILD)
	cd $(SANITIZE_BUILD) && ctest --output-on-failure -j2

bench: build
	./bench/run-scan-bench.sh
