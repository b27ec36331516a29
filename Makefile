# The front door: `make test` installs what is missing, builds the Linux and
# the Windows program and runs every test; `make run` opens the dialog over
# the sample replays; `make bench` runs the benchmarks; `make package` writes
# the Debian package and the Windows zip.
.PHONY: all deps build windows run test test-linux test-windows test-asan test-package bench \
	package screenshots format lint clean

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
# build/windows/packages/. Every time stamp in them is SOURCE_DATE_EPOCH, else
# the last commit's time (cmake/source_date_epoch.cmake).
package: deps
	$(call build_packages,build/package,build/windows)
	cmake --build --preset package --target lint_deb
	@ls -l build/package/packages/*.deb build/windows/packages/*.zip

# Installs the .deb (as root), runs it and removes it; checks the zip. Then
# builds both packages again in other trees and wants the same bytes: the
# build must not depend on when or in which folder it ran.
test-package: package build
	ctest --preset package
	$(call build_packages,build/package-again,build/windows-again)
	@for file in build/package/packages/*.deb build/windows/packages/*.zip; do \
	  cmp $$file $$(echo $$file | sed 's|^build/[a-z]*|&-again|') || \
	    { echo "$$file differs between two builds of one commit" >&2; exit 1; }; \
	done
	@echo "Both packages are the same bytes in two builds"

# The .deb into the build tree $(1), the Windows zip into $(2). The tree's own
# path is mapped to one name in the debug information the build id sums up.
define build_packages
	export DEB_BUILD_MAINT_OPTIONS=hardening=+all; \
	prefix_map="-ffile-prefix-map=$(CURDIR)/$(1)=build"; \
	cmake --preset package -B $(1) \
	  -DCMAKE_C_FLAGS="$$(dpkg-buildflags --get CFLAGS) $$(dpkg-buildflags --get CPPFLAGS) $$prefix_map" \
	  -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS) $$prefix_map" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS) -Wl,--as-needed"
	cmake --build $(1) -j $(JOBS)
	cpack --config $(1)/CPackConfig.cmake
	cmake --preset windows -B $(2)
	cmake --build $(2) --target windows_zip -j $(JOBS)
endef

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

# clang-tidy with .clang-tidy's checks over our own sources in the Linux
# tree's compile database, and over the Windows-only ones in the Windows
# tree's (clang as MinGW's compiler, told where its C++ headers are), then
# clang-format's check over every tracked source; any finding fails it.
MINGW_CXX = $(firstword $(wildcard /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++))
lint: deps
	cmake --preset default
	run-clang-tidy -quiet -j $(JOBS) -p build/default \
	  '^$(CURDIR)/(app|bench|framework|res|tests|timelist)/'
	cmake --preset windows
	run-clang-tidy -quiet -j $(JOBS) -p build/windows -extra-arg=--target=x86_64-w64-mingw32 \
	  -extra-arg=-isystem$(MINGW_CXX) -extra-arg=-isystem$(MINGW_CXX)/x86_64-w64-mingw32 \
	  '^$(CURDIR)/(framework/win32/|timelist/.*_win32|tests/system/windows/|app/main_app).*\.cpp$$'
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf build
