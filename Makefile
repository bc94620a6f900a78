# make run   - build and run the main job
# make test  - build and run every test
# make fuzz  - build the fuzz targets with clang and run each FUZZ_SECONDS
# make bench - measure speed and footprint against references (BENCH_FLAGS=--quick)
# make package - the Debian package (build/regwizard_*.deb); package-test checks it
# make msi   - the Windows installers (build-win64/regwizard-x64.msi, build-win32/regwizard-x86.msi)
# WERROR=ON turns compiler warnings into errors; CMAKE_FLAGS adds options to
# every configure (e.g. CMAKE_FLAGS=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache).
BUILD       ?= build
ASAN_BUILD  ?= build-asan
NOGUI_BUILD ?= build-nogui
WIN64_BUILD ?= build-win64
WIN32_BUILD ?= build-win32
FUZZ_BUILD  ?= build-fuzz
FUZZ_SECONDS ?= 60
# Empty: every target.
FUZZ_TARGETS ?=
JOBS        ?= 2
WERROR      ?= OFF
CMAKE_FLAGS ?=
PACKAGES    := cmake g++ make pkg-config libgtest-dev libgmock-dev clang-format \
               qt6-base-dev qt6-qpa-plugins fonts-dejavu-core \
               libcurl4-openssl-dev python3-pyftpdlib g++-mingw-w64-x86-64-posix \
               clang libclang-rt-14-dev pandoc
WINDOWS_PACKAGES := g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools \
               libwine-dev wine64 python3-pyftpdlib xvfb xauth wixl
PACKAGE_PACKAGES := dpkg-dev lintian man-db pandoc
BENCH_PACKAGES := libbenchmark-dev hyperfine time
# BENCH_FLAGS=--quick only checks that every measurement runs.
BENCH_FLAGS ?=
CONFIGURE   := cmake -S . -DREGWIZ_WERROR=$(WERROR) $(CMAKE_FLAGS)

.PHONY: all deps configure build run test sanitize nogui portable fuzz bench windows test-windows \
        windows-deps windows64 windows-demo format clean package package-test msi

all: build

deps:
	@tools/install-deps.sh $(PACKAGES)

configure: deps
	@$(CONFIGURE) -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	@tools/run-demo.sh $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# The tests again, built with the address and undefined-behaviour sanitizers
# (without the fault loop's many whole sign-ups).
sanitize: deps
	@$(CONFIGURE) -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DREGWIZ_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j$(JOBS)
	@cd $(ASAN_BUILD) && ctest --output-on-failure -j$(JOBS) -LE fault-loop

# The core and its tests without Qt: nothing of the core needs a toolkit.
nogui: deps
	@$(CONFIGURE) -B $(NOGUI_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DREGWIZ_GUI=OFF >/dev/null
	@cmake --build $(NOGUI_BUILD) -j$(JOBS)
	@cd $(NOGUI_BUILD) && ctest --output-on-failure -j$(JOBS)

# The core's sources compiled for Windows (syntax only): no POSIX in the core.
portable: deps
	@tools/check-core-portable.sh

# libFuzzer targets (tests/fuzz), each over a scratch copy of its seed corpus.
fuzz: deps
	@CC=clang CXX=clang++ $(CONFIGURE) -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DREGWIZ_FUZZ=ON -DREGWIZ_GUI=OFF -DREGWIZ_TESTS=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j$(JOBS) --target regwiz_fuzzers
	@tools/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# Speed and footprint against references measured in the same run, as one
# Markdown table; the benchmarks join the main build.
bench: deps
	@tools/install-deps.sh $(BENCH_PACKAGES)
	@$(CONFIGURE) -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DREGWIZ_BENCH=ON >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)
	@bench/run-bench.py $(BUILD) $(BENCH_FLAGS)

# The component for Windows: i686 (the shipped one) and x86_64 (the one the
# tests run under wine); test-windows runs the x86_64 tests under wine64.
windows-deps:
	@tools/install-deps.sh $(WINDOWS_PACKAGES)

windows64: windows-deps
	@$(CONFIGURE) -B $(WIN64_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake >/dev/null
	@cmake --build $(WIN64_BUILD) -j$(JOBS)

windows: windows64
	@$(CONFIGURE) -B $(WIN32_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake >/dev/null
	@cmake --build $(WIN32_BUILD) -j$(JOBS)

test-windows: windows
	@tools/test-windows.sh $(WIN64_BUILD) -j$(JOBS)

# The demo of the x86_64 build under wine, in a wine prefix of its own below
# $(WIN64_BUILD): quorvale-host.exe on the desktop when there is a display,
# and a picture of every page (on a virtual display) in any case.
windows-demo: windows64
	@tools/run-windows-demo.sh $(WIN64_BUILD)

# The Debian package of the build (CPack), and its check: lintian, install,
# a scenario with the installed programs and server, purge (needs root).
package: build
	@tools/install-deps.sh $(PACKAGE_PACKAGES)
	@cd $(BUILD) && cpack -G DEB >/dev/null && ls regwizard_*.deb

package-test: package
	@tools/test-package.sh $(BUILD)

# The Windows installers, made with every Windows build.
msi: windows
	@ls $(WIN64_BUILD)/regwizard-x64.msi $(WIN32_BUILD)/regwizard-x86.msi

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(NOGUI_BUILD) $(FUZZ_BUILD) $(WIN64_BUILD) $(WIN32_BUILD)
