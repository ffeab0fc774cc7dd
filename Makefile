# The two commands of the README: `make run` and `make test`. Both install what is missing first.
BUILD ?= build

.PHONY: setup build run test test-sanitize test-thread test-release check-windows test-windows fuzz bench

setup:
	./scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD) -G Ninja -DDUNSTREL_BUILD_GUI=ON -DDUNSTREL_BUILD_TESTS=ON \
	  -DDUNSTREL_BUILD_BENCH=ON -DDUNSTREL_SANITIZE= -DDUNSTREL_WERROR=ON
	cmake --build $(BUILD)

run: build
	$(BUILD)/src/app/dunstrel

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

# Every test again under AddressSanitizer with UndefinedBehaviorSanitizer, and under
# ThreadSanitizer.
test-sanitize: setup
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DDUNSTREL_BUILD_GUI=ON -DDUNSTREL_BUILD_BENCH=OFF -DDUNSTREL_SANITIZE=address,undefined \
	  -DDUNSTREL_WERROR=ON
	cmake --build build-asan
	cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

test-thread: setup
	cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DDUNSTREL_BUILD_GUI=ON -DDUNSTREL_BUILD_BENCH=OFF -DDUNSTREL_SANITIZE=thread \
	  -DDUNSTREL_WERROR=ON
	cmake --build build-tsan
	cd build-tsan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

# The build a user or a packager makes: optimised, warnings shown but never errors; it must
# build and pass.
test-release: setup
	cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DDUNSTREL_BUILD_GUI=ON -DDUNSTREL_BUILD_BENCH=OFF -DDUNSTREL_SANITIZE= -DDUNSTREL_WERROR=OFF
	cmake --build build-release
	cd build-release && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

# The core and its Windows platform layer, cross-compiled with MinGW-w64, with their tests
# (GoogleTest built from Debian's sources by the same compiler). The Wine launcher that runs the
# tests is looked for when the recipe runs, after its install, and handed to CMake every time.
check-windows:
	wine=$$(./scripts/windows-cross.sh) && \
	cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
	  -DDUNSTREL_BUILD_GUI=OFF -DDUNSTREL_BUILD_TESTS=ON -DDUNSTREL_BUILD_BENCH=OFF \
	  -DDUNSTREL_WERROR=ON -DDUNSTREL_GTEST_SOURCE=/usr/src/googletest \
	  -DCMAKE_CROSSCOMPILING_EMULATOR="$$wine"
	cmake --build build-windows

# Those tests run under Wine, in a Wine prefix of their own that is removed afterwards; the
# recycle bin Wine keeps (the desktop's trash) is a temporary one too. Wine takes the system's
# time zone from TZ.
test-windows: check-windows
	wine=$$(./scripts/windows-cross.sh) && \
	scratch=$$(mktemp -d) && trap 'rm -rf "$$scratch"' EXIT && cd build-windows && \
	  export WINEPREFIX="$$scratch/prefix" XDG_DATA_HOME="$$scratch/data" TZ=UTC WINEDEBUG=-all \
	    WINEDLLOVERRIDES="mscoree,mshtml=" && \
	  mkdir -p "$$XDG_DATA_HOME/Trash" && "$$wine" wineboot --init && \
	  ctest --output-on-failure --no-tests=error -j2

# The Debian package of the program (build-package/dunstrel_VERSION_ARCH.deb).
package: setup
	cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DDUNSTREL_BUILD_GUI=ON \
	  -DDUNSTREL_BUILD_TESTS=OFF -DDUNSTREL_BUILD_BENCH=OFF -DDUNSTREL_SANITIZE= -DDUNSTREL_WERROR=OFF
	cmake --build build-package
	cd build-package && cpack

# The package installed into a clean Debian root, where it must run.
check-package: package
	./scripts/setup.sh package-check
	./scripts/check-package.sh

# The fuzzers of the saved-scan and translation-file readers, built with clang and its libFuzzer
# under AddressSanitizer and UBSan, each run for FUZZ_SECONDS.
FUZZ_SECONDS ?= 60
fuzz:
	./scripts/setup.sh fuzz
	cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DDUNSTREL_BUILD_GUI=OFF -DDUNSTREL_BUILD_TESTS=OFF -DDUNSTREL_BUILD_BENCH=OFF \
	  -DDUNSTREL_SANITIZE=address,undefined -DDUNSTREL_BUILD_FUZZERS=ON -DDUNSTREL_WERROR=ON
	cmake --build build-fuzz
	./scripts/run-fuzzers.sh $(FUZZ_SECONDS)

bench: build
	./bench/run-scan-bench.sh
