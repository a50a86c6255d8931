# Wraps CMake (Ninja) so that building, running and testing are one command each.

JOBS       ?= $(shell nproc)
BUILD_TYPE ?= RelWithDebInfo
# CI sets WERROR=ON: a warning then fails the build.
WERROR     ?= OFF
CONFIGURE   = cmake -S . -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DCORVEX_WERROR=$(WERROR)

# GUI tests need an X server; a desktop session already has one.
XVFB := $(if $(DISPLAY),,xvfb-run -a)

# On kernels with many bits of mmap randomisation TSan aborts with "unexpected memory
# mapping"; running its tests with ASLR off avoids that where personality() is allowed.
ARCH       := $(shell uname -m)
NO_ASLR    := $(shell setarch $(ARCH) -R true >/dev/null 2>&1 && echo setarch $(ARCH) -R)

.PHONY: all deps build run test test-main test-asan test-tsan bench fuzz clean

all: build

deps:
	bash scripts/install-deps.sh

build: deps
	$(CONFIGURE) -B build
	cmake --build build -j$(JOBS)

run: build
	build/app/Corvex2

test: test-main test-asan test-tsan

test-main: build
	$(XVFB) ctest --test-dir build --output-on-failure -j$(JOBS)

# JUCE and everything above it are built with the sanitizers too, so the GUI tests need the X server here as well.
test-asan: deps
	$(CONFIGURE) -B build-asan -DCORVEX_SANITIZE=address
	cmake --build build-asan -j$(JOBS)
	$(XVFB) ctest --test-dir build-asan --output-on-failure -j$(JOBS)

# TSan looks for races, so it runs the suites where threads meet (rings, queues, the audio thread against the
# message thread); the single-threaded rest runs in the other two builds, and under TSan it only cost CI time.
# tests/engine and tests/instrument compile only those suites' files in this build: keep the two lists together.
TSAN_TESTS := ^(instrument_core\.)?(BlockRenderer|BlockRendererWithKernel|ControllerThreads|CpuLoad|MessagePosting|MidiControlCoreTest|MidiDispatch|NotificationQueue|RealTime|RealTimeChecks)\.

test-tsan: deps
	$(CONFIGURE) -B build-tsan -DCORVEX_SANITIZE=thread
	cmake --build build-tsan -j$(JOBS)
	$(NO_ASLR) ctest --test-dir build-tsan --output-on-failure -j$(JOBS) -R '$(TSAN_TESTS)'

# Benchmarks measure an optimised build of their own; the kernel needs no JUCE.
bench: deps
	$(CONFIGURE) -B build-bench -DCMAKE_BUILD_TYPE=Release -DCORVEX_WITH_JUCE=OFF
	cmake --build build-bench -j$(JOBS) --target engine_bench
	build-bench/bench/engine_bench

# libFuzzer comes with clang only: each fuzz target runs FUZZ_SECONDS from its corpus (fuzz/run.sh sums up).
FUZZ_SECONDS ?= 60
fuzz: deps
	@command -v clang++ >/dev/null 2>&1 || { echo "make fuzz needs clang and its libFuzzer runtime" \
		"(Debian: apt-get install clang libclang-rt-14-dev)" >&2; exit 1; }
	$(CONFIGURE) -B build-fuzz -DCORVEX_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build build-fuzz -j$(JOBS) --target fuzz_all
	bash fuzz/run.sh build-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf build build-asan build-tsan build-bench build-fuzz
