# The front door: `make test` installs what is missing, builds and runs every
# test; `make bench` runs the benchmarks.
.PHONY: all deps build run test test-asan bench screenshots format clean

JOBS ?= 2

all: build

deps:
	@scripts/install-deps

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

# The dialog over the sample replays; OK writes examples/replistEX.html.
run: build
	cd examples && ../build/default/app/chronolist

test: build
	ctest --preset default -j $(JOBS)

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

bench: deps
	cmake --preset bench
	cmake --build --preset bench -j $(JOBS)
	build/bench/bench/timelist_bench --benchmark_color=false
	bench/startup/measure-startup build/bench/app/chronolist

# PNGs of the dialogs, taken on a private X server, into docs/.
screenshots: build
	cmake --build --preset default --target screenshots

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
