# Tarnwick: `make run` opens the program, `make test` runs every test.
# Both install what is missing on Debian 12 (as root or through sudo),
# configure build/ with Ninja and build.

BUILD      ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_ARGS ?=

# Debian packages the build, the program and the tests need.
PACKAGES := cmake ninja-build g++ pkg-config \
	libsdl2-dev libsdl2-ttf-dev libfontconfig-dev fonts-liberation \
	libx11-dev libxfixes-dev libcurl4-openssl-dev libsqlite3-dev \
	libgtest-dev libgmock-dev libbenchmark-dev \
	xvfb xdotool xclip x11-apps imagemagick \
	appstream desktop-file-utils lintian groff-base

# What `make fuzz` needs besides: clang and its fuzzer and sanitizer runtimes.
FUZZ_PACKAGES := clang libclang-rt-dev
FUZZ_SECONDS  ?= 30

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test build deps sanitize tsan fuzz fuzz-deps clean

run: build
	$(BUILD)/bin/tarnwick

test: build
	cd $(BUILD) && ctest --output-on-failure -j2

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_ARGS)
	cmake --build $(BUILD)

# Installs only what is missing of the packages given, without questions.
install_missing = @missing=$$(for p in $(1); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "Installing:" $$missing; \
		$(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
		$(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	fi

deps:
	$(call install_missing,$(PACKAGES))

fuzz-deps:
	$(call install_missing,$(FUZZ_PACKAGES))

# The unit and screen tests under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	cmake -S . -B $(BUILD)-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARNWICK_SANITIZE=ON -DTARNWICK_BENCH=OFF -DTARNWICK_WINDOW_TESTS=OFF
	cmake --build $(BUILD)-asan
	cd $(BUILD)-asan && ctest --output-on-failure -j2

# The engine's tests under ThreadSanitizer: the search threads share one
# tree. (The rules are single-threaded; their long random-games test would
# add most of a minute for nothing.)
tsan: deps
	cmake -S . -B $(BUILD)-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_TSAN=ON -DTARNWICK_BENCH=OFF -DTARNWICK_WINDOW_TESTS=OFF
	cmake --build $(BUILD)-tsan --target engine_tests
	$(BUILD)-tsan/bin/engine_tests

# Every fuzz target (record, clipboard, documentation, reply body, rules, game tree, GTP) under
# AddressSanitizer and UndefinedBehaviorSanitizer, FUZZ_SECONDS each from its
# seed corpus; fails on any crash.
fuzz: deps fuzz-deps
	cmake -S . -B $(BUILD)-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
		-DTARNWICK_FUZZ=ON -DTARNWICK_SANITIZE=ON -DTARNWICK_BENCH=OFF -DTARNWICK_WINDOW_TESTS=OFF
	cmake --build $(BUILD)-fuzz --target tarnwick_fuzzers
	tools/fuzz.sh $(BUILD)-fuzz $(FUZZ_SECONDS)

# Installs the program, its data, a desktop entry and an icon under PREFIX.
.PHONY: install package package-test
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# A Debian package (CPack) in $(BUILD); package-test installs it with apt and
# runs the installed program under Xvfb.
package: build
	cd $(BUILD) && cpack -G DEB
package-test: package
	tools/package_test.sh $(BUILD)

# The README's pictures: the program under Xvfb on real records, into docs/.
.PHONY: screenshots
screenshots: build
	tools/screenshots.sh $(BUILD) docs

clean:
	rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-tsan $(BUILD)-fuzz
