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

.PHONY: all game deps configure play test test-plain test-asan bench soak fuzz clean install uninstall deb

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

test: test-plain test-asan

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
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
