# make run: install what is missing, build, start Inkwisp under Wine.
# make test: install what is missing, build, run the host, wine and e2e tests.
# Where the kernel starts no 32-bit program, the x64 build runs under 64-bit Wine instead of the
# x86 one (scripts/arch.sh); INKWISP_ARCH=x86 or x64 chooses.
# make dist: the portable zips, the installers and SHA256SUMS in dist/, for x86 and x64.
# make fuzz: build, then fuzz the settings reader, the path handling, the image-header reader, the
# clipboard's DIB reader and the snapshot's place chunk for a bounded time.
# make lint: the Windows product built with Clang for x86 and x64 (warnings are errors), then
# clang-tidy.
# make coverage: line coverage per room from the host and wine tests, in builds of its own.
.PHONY: all deps build build-host build-windows run dist test lint coverage fuzz bench format clean

JOBS ?= $(shell nproc)
MAKEFLAGS += --no-print-directory

# Each step of a run writes its wall time to one file of build/steps (scripts/step.sh); make test
# and make lint print the table at their end.
ifndef INKWISP_STEPS
INKWISP_STEPS := $(CURDIR)/build/steps/$(shell date +%Y%m%d-%H%M%S)-$(firstword $(MAKECMDGOALS) all).tsv
INKWISP_STEPS_STARTED := $(shell date +%s)
endif
export INKWISP_STEPS INKWISP_STEPS_STARTED
STEP := bash scripts/step.sh

all: build

deps:
	@$(STEP) "installs (make deps)" bash scripts/deps.sh

# Both programs; the tests and the bench of the one this machine runs (scripts/arch.sh).
build-windows: deps
	@JOBS=$(JOBS) bash scripts/build-windows.sh

build-host: deps
	@cmake --preset host >/dev/null
	@$(STEP) "build: host (tests, sanitizers)" cmake --build --preset host -j $(JOBS)

build: build-windows build-host

# Only the program this machine runs: a first run need not wait for every test executable.
run: deps
	@JOBS=$(JOBS) bash scripts/run.sh

dist: deps
	@JOBS=$(JOBS) $(STEP) "dist: zips and installers, x86 and x64" bash scripts/dist.sh

# The installer round trip installs what dist writes.
test: build dist
	@bash scripts/test.sh; status=$$?; bash scripts/steps-table.sh; exit $$status

lint: deps
	@JOBS=$(JOBS) bash scripts/lint.sh; status=$$?; bash scripts/steps-table.sh; exit $$status

coverage: deps
	@JOBS=$(JOBS) bash scripts/coverage.sh

fuzz: build-host
	@bash scripts/fuzz.sh

bench: build-windows
	@bash scripts/bench.sh

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build dist
