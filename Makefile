# Two commands set everything up on a fresh Debian 12 machine:
#   make play   installs what is missing, builds and starts the game
#   make test   installs what is missing, builds and runs every test (plain and sanitized)
# Installing (see README.md, "Installing"):
#   make install [PREFIX=/usr/local] [DESTDIR=staging root]   and   make uninstall (same variables)
#   make deb     a Debian package in $(BUILD)/

BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX     ?= /usr/local
DESTDIR    ?=
PACKAGES   := $(shell grep -v '^\s*\#' tools/debian-packages.txt)

.PHONY: all game deps configure play test test-plain test-asan test-web bench soak fuzz clean \
        install uninstall deb web web-deps serve-web bench-web

# Everything: the game, its data, the tests, the benchmarks and the developer tools.
all: deps configure
	cmake --build $(BUILD) -j $(JOBS)

deps:
	@tools/install-deps.sh $(PACKAGES)

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: $(BUILD)/CMakeCache.txt

# Only what playing needs, so a first `make play` does not wait for the tests.
game: deps configure
	cmake --build $(BUILD) -j $(JOBS) --target parapet

play: game
	./$(BUILD)/parapet $(ARGS)

test: test-plain test-asan test-web

test-plain: all
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DPARAPET_SANITIZE=ON -DPARAPET_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp \
	  UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

bench: deps configure
	cmake --build $(BUILD) -j $(JOBS) --target parapet_bench
	./$(BUILD)/parapet_bench

install: all
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

uninstall:
	tools/uninstall.sh "$(BUILD)" "$(PREFIX)" "$(DESTDIR)"

deb: all
	cd $(BUILD) && cpack -G DEB

# The bot plays 1,000,000 frames headless: frames per second and peak RSS at 100,000 and at
# the end (fails if memory grows 512 KB or more, or the game runs under 100,000 frames/s).
soak: deps configure
	cmake --build $(BUILD) -j $(JOBS) --target parapet_soak
	./$(BUILD)/parapet_soak $(BUILD)/data

# libFuzzer on every fuzz/<name>_fuzz.cpp for FUZZ_S seconds each, two at a time (clang only).
FUZZ_BUILD   ?= build-fuzz
FUZZ_S       ?= 60
FUZZ_TARGETS := $(patsubst fuzz/%.cpp,%,$(wildcard fuzz/*_fuzz.cpp))

fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPARAPET_FUZZ=ON -DPARAPET_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZ_TARGETS)
	tools/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_S) $(FUZZ_TARGETS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WEB_BUILD)

# The browser build (README.md, "Play in a browser"): page, script, wasm and the data of the
# native build, gzipped, in $(WEB_BUILD)/.
WEB_BUILD    ?= build-web
WEB_PACKAGES := $(shell grep -v '^\s*\#' tools/web-packages.txt)

web-deps:
	@tools/install-deps.sh $(WEB_PACKAGES)
	@command -v npm >/dev/null || tools/install-deps.sh npm

web: deps configure web-deps
	cmake --build $(BUILD) -j $(JOBS) --target parapet data
	emcmake cmake -S web -B $(WEB_BUILD)/cmake -DNATIVE_BUILD=$(abspath $(BUILD)) >/dev/null
	cmake --build $(WEB_BUILD)/cmake -j $(JOBS)

serve-web: web
	@echo "Parapet: open http://127.0.0.1:8080/ in a browser (Ctrl+C stops the server)"
	python3 -m http.server 8080 --bind 127.0.0.1 --directory $(WEB_BUILD)

bench-web: web
	cd tests/web && npm ci --no-audit --no-fund --silent
	node bench/web/page_bench.mjs

# The page in headless Chromium against the native game (tests/web/). The files run side by
# side: two of them mostly wait for frames shown in real time.
test-web: web game
	cd tests/web && npm ci --no-audit --no-fund --silent
	PARAPET_BUILD=$(abspath $(BUILD)) PARAPET_WEB=$(abspath $(WEB_BUILD)) \
	  node --test --test-concurrency=3 tests/web/

FORCE:
