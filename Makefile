# Two entry points for a fresh Debian 12 machine:
#   make run   installs what building and running need, builds the program alone and starts it
#   make test  also installs what the tests need, builds and runs every test (also under ASan + UBSan)

BUILD      ?= build
ASAN_BUILD ?= build-asan
WIN_BUILD  ?= build-windows
JOBS       ?= $(shell nproc)
# How many tests run at once: the whole-program tests mostly wait for the program's
# once-a-second cycle, so twice the cores.
TEST_JOBS  ?= $(shell echo $$(( 2 * $$(nproc) )))
CMAKE_GEN  := -G Ninja
# Optimised as Debian builds its packages (-O2; -O3 meets false array-bounds warnings of GCC
# 12), without debug information: neither the program nor the tests need it, and writing it
# is a third of the compile time. The sanitizer build keeps line tables for its reports.
OPTIMISED  := -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG"
SUDO       := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
# Compiler cache where one is installed (not needed, and not installed, on a fresh machine).
LAUNCHER   := $(shell command -v ccache >/dev/null 2>&1 && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# What building and running the monitor needs (make run) ...
RUN_PACKAGES := cmake ninja-build g++ pkg-config qt6-base-dev qt6-multimedia-dev libgl-dev \
            nlohmann-json3-dev qtkeychain-qt6-dev libsecret-1-0 fonts-dejavu-core qt6-wayland
# ... and what only the tests and benchmarks add (make test).
TEST_PACKAGES := libgtest-dev libgmock-dev libbenchmark-dev python3 python3-aiosmtpd strace iproute2 \
            dbus-daemon desktop-file-utils appstream man-db dpkg-dev lintian librsvg2-bin \
            xvfb openbox trayer weston xwayland x11-utils xdotool imagemagick python3-dbus python3-gi \
            prometheus openssl gnome-keyring libsecret-tools clang

# ... and what the Windows build and its tests under Wine need (make windows): the mingw-w64
# cross compiler, Wine, GoogleTest's sources and the JSON header (both used as they are).
WINDOWS_PACKAGES := cmake ninja-build g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 googletest \
            nlohmann-json3-dev python3-aiosmtpd openssl iproute2 xvfb openbox trayer xdotool x11-utils imagemagick \
            nsis

.PHONY: all deps test-deps configure-tests build run test test-core test-asan windows-deps windows test-windows \
        bench install package icons clean

all: build

# Install only the packages that are missing, so a prepared machine needs no network.
define install_missing
	@missing=""; for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install_missing,$(RUN_PACKAGES))

test-deps: deps
	$(call install_missing,$(TEST_PACKAGES))

# The first configuration is the program's alone (make run needs no test library); make test
# switches the tests on in the same build folder.
$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN) $(LAUNCHER) $(OPTIMISED) -DBUILD_TESTING=OFF

configure-tests: test-deps $(BUILD)/build.ninja
	@grep -q '^BUILD_TESTING:BOOL=ON' $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) -DBUILD_TESTING=ON

build: configure-tests
	cmake --build $(BUILD) -j $(JOBS)

# Only the program and the libraries it links; tests and benchmarks wait for `make test`.
run: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target kelvanto
	./$(BUILD)/kelvanto

# The sanitizer build of the core uses Clang, so every test run also proves the core builds
# warning-free with a second compiler.
$(ASAN_BUILD)/build.ninja: | test-deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) $(LAUNCHER) -DCMAKE_BUILD_TYPE=Debug \
	  "-DCMAKE_CXX_FLAGS_DEBUG=-O0 -gline-tables-only" -DCMAKE_CXX_COMPILER=clang++ \
	  -DKELVANTO_WITH_QT=OFF -DKELVANTO_SANITIZE=ON -DKELVANTO_BENCH=OFF

test-asan: test-deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# The core and its tests only: no Qt code is compiled.
test-core: configure-tests
	cmake --build $(BUILD) -j $(JOBS) --target kelvanto_core_tests
	cd $(BUILD) && ctest --output-on-failure -L core -j $(JOBS)

# The Windows build: the core, the Win32 platform layer and their tests, cross-built with
# mingw-w64 into $(WIN_BUILD) (statically linked, no DLLs). kelvanto.exe joins them here.
windows-deps:
	$(call install_missing,$(WINDOWS_PACKAGES))

$(WIN_BUILD)/build.ninja: | windows-deps
	cmake -S . -B $(WIN_BUILD) $(CMAKE_GEN) $(LAUNCHER) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  $(OPTIMISED) -DKELVANTO_WITH_QT=OFF -DKELVANTO_BENCH=OFF

windows: windows-deps $(WIN_BUILD)/build.ninja
	cmake --build $(WIN_BUILD) -j $(JOBS)

# The Windows tests under Wine, in one Wine prefix that the run makes and removes.
test-windows: windows
	cd $(WIN_BUILD) && ctest --output-on-failure -j $(JOBS)

test: build test-asan
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(TEST_JOBS)
	$(MAKE) test-windows

bench: build
	./$(BUILD)/bench/kelvanto_bench

# Install into PREFIX (default /usr/local); DESTDIR=... stages the files elsewhere.
PREFIX ?= /usr/local
install: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)
	$(SUDO) env DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package $(BUILD)/kelvanto_<version>_<arch>.deb, checked by lintian.
package: build
	cmake --build $(BUILD) --target package
	lintian --fail-on error $(BUILD)/kelvanto_*.deb

# Renders the PNG application icons again after a change of data/icons/kelvanto.svg.
icons:
	for s in 16 32 48 256; do rsvg-convert -w $$s -h $$s data/icons/kelvanto.svg -o data/icons/kelvanto-$$s.png; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(WIN_BUILD)
