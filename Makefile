# VelvetLister: `make test` builds and runs everything; `make demo` shows the plug-in.
BUILD ?= build
NATIVE := $(BUILD)/native
CROSS := $(BUILD)/cross
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
FUZZ_LONG_SECONDS ?= 3600
SOAK_STEPS ?= 100000
SOAK_SEED ?= $(shell date +%s)

.PHONY: all setup configure build test test-sanitize demo fuzz fuzz-long soak bench dist clean

all: build

setup:
	@scripts/setup

$(NATIVE)/CMakeCache.txt:
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

$(CROSS)/CMakeCache.txt:
	cmake -S . -B $(CROSS) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.toolchain.cmake >/dev/null

configure: $(NATIVE)/CMakeCache.txt $(CROSS)/CMakeCache.txt

build: setup configure
	cmake --build $(NATIVE) -j $(JOBS)
	cmake --build $(CROSS) -j $(JOBS)

test: build
	@scripts/run-tests $(NATIVE) $(CROSS)

test-sanitize: setup
	cmake -S . -B $(BUILD)/sanitize -DVL_SANITIZE=ON >/dev/null
	cmake --build $(BUILD)/sanitize -j $(JOBS)
	cd $(BUILD)/sanitize && ctest --output-on-failure

demo: build
	@scripts/demo $(CROSS)

fuzz: setup
	@scripts/fuzz $(BUILD)/fuzz $(FUZZ_SECONDS)

# Each target in turn for FUZZ_LONG_SECONDS, at low priority; the checked-in
# corpora are then minimised with what was found.
fuzz-long: setup
	@FUZZ_MERGE=1 nice -n 15 scripts/fuzz $(BUILD)/fuzz $(FUZZ_LONG_SECONDS)

bench: build
	cmake --build $(NATIVE) --target native_bench -j $(JOBS) 2>/dev/null || true
	cmake --build $(CROSS) --target win_bench -j $(JOBS) 2>/dev/null || true
	@scripts/bench $(NATIVE) $(CROSS)

# The long soak of the plug-in in the emulated host (SOAK_STEPS, SOAK_SEED).
soak: build
	@SOAK_STEPS=$(SOAK_STEPS) SOAK_SEED=$(SOAK_SEED) $(CROSS)/wine-run.sh $(CROSS)/bin/Soak_test.exe

dist: build
	@scripts/dist $(CROSS)

clean:
	rm -rf $(BUILD)
