# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# The two commands a fresh machine needs: `make run` and `make test`.
BUILD ?= build
ASAN_BUILD ?= build-asan
GEN := $(shell command -v ninja >/dev/null 2>&1 && echo -G Ninja)

.PHONY: run test deps build install package screenshots asan-test soak format format-check fuzz bench clean

run: deps build
	@if [ -x $(BUILD)/velmia ]; then cd $(BUILD)/run && exec ../velmia; \
	else echo "velmia: the program is not built yet"; fi

test: deps build
	cd $(BUILD) && ctest --output-on-failure -j2 --timeout 900

deps:
	@bash scripts/install-deps

build:
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j2

# Installs the program, its pictures, menu entry, icons and manual page under
# PREFIX (DESTDIR, when set, is put in front of every path).
PREFIX ?= /usr/local
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# The Debian packages (velmia_VERSION_ARCH.deb and velmia-data_VERSION_all.deb
# in the build folder).
package: build
	cmake --build $(BUILD) --target package

# Copies the README's screenshots, made by the build, into docs/screenshots.
screenshots: build
	cmake --build $(BUILD) --target screenshots

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer.
asan-test: deps
	@[ -f $(ASAN_BUILD)/CMakeCache.txt ] || cmake -S . -B $(ASAN_BUILD) $(GEN) -DCMAKE_BUILD_TYPE=Debug -DVELMIA_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j2
	cd $(ASAN_BUILD) && ctest --output-on-failure -j2 --timeout 1800

# The seeded random driver under AddressSanitizer and UndefinedBehaviorSanitizer
# for SOAK_TICKS ticks of 100 ms (864000 is one simulated day). Its own
# optimised sanitizer build keeps a day within the hour; failure replays land
# in $(SOAK_BUILD)/soak (shrink one with velmia-soak --shrink FILE).
SOAK_BUILD ?= build-soak
SOAK_TICKS ?= 864000
SOAK_SEED ?= 1
SOAK_ARGS ?= --events-per-tick 0.1 --keep-going
soak: deps
	@[ -f $(SOAK_BUILD)/CMakeCache.txt ] || cmake -S . -B $(SOAK_BUILD) $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMIA_SANITIZE=ON
	cmake --build $(SOAK_BUILD) -j2 --target velmia-soak
	mkdir -p $(SOAK_BUILD)/soak
	$(SOAK_BUILD)/tools/soak/velmia-soak --seed $(SOAK_SEED) --ticks $(SOAK_TICKS) $(SOAK_ARGS) --out $(SOAK_BUILD)/soak

# libFuzzer targets (clang); FUZZ_SECONDS per target.
FUZZ_SECONDS ?= 600
fuzz: deps
	@[ -f build-fuzz/CMakeCache.txt ] || CXX=clang++ CC=clang cmake -S . -B build-fuzz $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMIA_FUZZ=ON
	cmake --build build-fuzz -j2 --target fuzz_bmp_reader bmp_write_samples
	mkdir -p build-fuzz/corpus build-fuzz/samples
	build-fuzz/tests/bmp/bmp_write_samples build-fuzz/samples
	build-fuzz/fuzz/fuzz_bmp_reader -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=4096 build-fuzz/corpus build-fuzz/samples \
		$(wildcard ../shared/testdata/bmp)

bench: deps build
	for b in $(BUILD)/bench/bench_*; do [ -x $$b ] && $$b; done

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(SOAK_BUILD) build-fuzz
