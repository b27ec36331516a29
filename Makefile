# The front door: `make test` installs what is missing, builds the Linux and
# the Windows program and runs every test; `make run` opens the dialog over
# the sample replays; `make bench` runs the benchmarks; `make package` writes
# the Debian package and the Windows zip.
.PHONY: all deps build windows run test test-linux test-windows test-asan test-package bench \
	package screenshots format clean

JOBS ?= 2

all: build

deps:
	@scripts/install-deps

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

# Chronolist.exe (build/windows/app/), cross-built with MinGW-w64.
windows: deps
	cmake --preset windows
	cmake --build --preset windows -j $(JOBS)

# The dialog over the sample replays; OK writes examples/replistEX.html.
run: build
	cd examples && ../build/default/app/chronolist

# Windows first: the Linux tree's GUI tests also drive Chronolist.exe under
# Wine, when it has been built by the time they run (else they skip).
test: test-windows test-linux test-package

test-windows: windows
	ctest --preset windows

test-linux: build
	ctest --preset default -j $(JOBS)

# The .deb in build/package/packages/ (built with Debian's hardening flags,
# Depends from dpkg-shlibdeps, then checked by lintian) and the Windows zip in
# build/windows/packages/.
package: deps
	export DEB_BUILD_MAINT_OPTIONS=hardening=+all; \
	cmake --preset package \
	  -DCMAKE_C_FLAGS="$$(dpkg-buildflags --get CFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	  -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS) -Wl,--as-needed"
	cmake --build --preset package -j $(JOBS)
	cpack --config build/package/CPackConfig.cmake
	cmake --preset windows
	cmake --build --preset windows --target windows_zip -j $(JOBS)
	cmake --build --preset package --target lint_deb
	@ls -l build/package/packages/*.deb build/windows/packages/*.zip

# Installs the .deb (as root), runs it and removes it; checks the zip.
test-package: package build
	ctest --preset package

# The Linux tests under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

bench: deps
	cmake --preset bench
	cmake --build --preset bench -j $(JOBS)
	build/bench/bench/timelist_bench
	bench/startup/measure-startup build/bench/app/chronolist

# PNGs of the dialogs, taken on a private X server, and of the page they
# write, rendered by Chromium, into docs/.
screenshots: build
	@scripts/install-deps screenshots
	cmake --build --preset default --target screenshots

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
