# Mivo: build, run and test on Linux (Windows program under Wine).
MAKEFLAGS += --no-print-directory
JOBS ?= $(shell nproc)
WIN_TOOLCHAIN := cmake/mingw32.cmake

.PHONY: all setup native win tsan test run bench fuzz dist format clean

all: native win

setup:
	@scripts/setup

native: setup
	@cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build build/native -j $(JOBS)

win: setup
	@cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=$(WIN_TOOLCHAIN) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build/win -j $(JOBS)
	@scripts/wine-prefix

# The portable core and its tests again under ThreadSanitizer, for the count stress test.
tsan: setup
	@cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIVO_SANITIZE=thread >/dev/null
	@cmake --build build/tsan -j $(JOBS)

test: native win tsan
	@scripts/run-tests

run: win
	@scripts/run-mivo

# The core benchmarks, then the whole-process figures of Mivo.exe under Wine (scripts/bench-win);
# the Windows bench programs are built only here (target win_bench), never by `all`.
bench: setup
	@cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DMIVO_BENCH=ON -DMIVO_SANITIZE=none >/dev/null
	@cmake --build build/bench -j $(JOBS)
	@cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=$(WIN_TOOLCHAIN) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build/win -j $(JOBS) --target win_bench
	@scripts/wine-prefix
	@scripts/run-bench
	@scripts/bench-win

fuzz: setup
	@CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIVO_FUZZ=ON >/dev/null
	@cmake --build build/fuzz -j $(JOBS)
	@scripts/run-fuzz

# The portable zip and the installer in dist/.
dist: win
	@scripts/make-dist

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build dist
