# The two commands of the README: `make run` and `make test`. Everything else
# is a step of theirs. CMake does the building underneath:
#   build/native  gcc: core unit tests, art generator, tools, benchmarks
#   build/asan    clang with ASan+UBSan: the unit tests again, and the fuzzers
#   build/win     MinGW i686: Ionsift.dll, the stand-ins, the Windows tests

BUILD  := build
NATIVE := $(BUILD)/native
ASAN   := $(BUILD)/asan
WIN    := $(BUILD)/win
JOBS   ?= $(shell nproc)
FUZZ_SECONDS ?= 10
# Compiler-cache entries are keyed on paths relative to the checkout, so that
# every clone and worktree of the repository shares them (debug information
# may then name the build folder of the first compile).
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1
# The Windows side is built and run from a path Wine's programs can take
# whole: the checkout itself, or a short link to it when it lies deep.
WINROOT := $(shell scripts/short-root)

.PHONY: all bootstrap native asan win dist run test test-native test-asan test-win test-fuzz bench clean

all: win

bootstrap:
	@scripts/bootstrap

native: bootstrap
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(NATIVE) -j$(JOBS)

asan: bootstrap
	@cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
	  -DCMAKE_CXX_COMPILER=clang++ -DIONSIFT_SANITIZE=ON -DIONSIFT_FUZZ=ON >/dev/null
	@cmake --build $(ASAN) -j$(JOBS)

win: native
	@cmake -S $(WINROOT) -B $(WINROOT)/$(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DIONSIFT_ART_DIR=$(abspath $(NATIVE))/art \
	  -DIONSIFT_DATA_DIR=$(abspath $(NATIVE))/data >/dev/null
	@cmake --build $(WINROOT)/$(WIN) -j$(JOBS)

# The release archive and its SHA256SUMS under dist/.
dist: win
	@scripts/make-dist $(WINROOT)/$(WIN) dist

run: win
	@$(WINROOT)/scripts/run-host

test: test-native test-asan test-fuzz test-win

test-native: native
	@ctest --test-dir $(NATIVE) --output-on-failure

test-asan: asan
	@ctest --test-dir $(ASAN) --output-on-failure

test-fuzz: asan
	@scripts/run-fuzzers $(ASAN)/fuzz $(FUZZ_SECONDS)

test-win: win
	@$(WINROOT)/scripts/win-test $(WINROOT)/$(WIN)

bench: win
	@$(WINROOT)/scripts/run-benchmarks $(abspath $(NATIVE)) $(WINROOT)/$(WIN)

clean:
	rm -rf $(BUILD) dist
