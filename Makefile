# Thin wrapper over CMake presets. Every target installs what it needs first.
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 20
CTEST_ARGS ?=

.PHONY: all deps build test sanitize tsan bench fuzz demo clean

all: build

deps:
	./scripts/install-deps

build: deps
	cmake --preset release
	cmake --build build/release -j $(JOBS)

demo: build
	./scripts/demo build/release/bin

test: build
	ctest --test-dir build/release --output-on-failure -j $(JOBS) $(CTEST_ARGS)

sanitize: deps
	cmake --preset asan
	cmake --build build/asan -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:allow_user_segv_handler=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir build/asan --output-on-failure -j $(JOBS) $(CTEST_ARGS)

tsan: deps
	cmake --preset tsan
	cmake --build build/tsan -j $(JOBS)
	TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:report_signal_unsafe=0 \
	  ctest --test-dir build/tsan --output-on-failure -j $(JOBS) -L threads $(CTEST_ARGS)

bench: deps
	cmake --preset bench
	cmake --build build/bench -j $(JOBS)
	./scripts/run-benchmarks build/bench/bin

fuzz: deps
	cmake --preset fuzz
	cmake --build build/fuzz -j $(JOBS)
	./scripts/run-fuzzers build/fuzz/bin $(FUZZ_SECONDS)

clean:
	rm -rf build
