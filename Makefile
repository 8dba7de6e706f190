# make        builds the setup program and the stand-in application into dist/ (32-bit, the
#             product) and their 64-bit build into dist/x64/
# make run    builds, then installs silently with the real setup program under Wine (the 64-bit
#             one where the host runs 64-bit code only)
# make test   builds, then runs every test (host tests, a short run of each fuzz target and the
#             Wine tests) through CTest
# make fuzz   builds the fuzz targets, then runs each FUZZ_SECONDS seconds (default 600)
# make bench  measures the setup program against the peer installer and a floor under Wine
#             (BENCH_ARGS="--rounds N --baseline DIR" are passed on to bench/bench.py)
#
# make dist PAYLOAD=DIR builds the setup program over DIR/listing.txt and the files beside it
# (with DIR/tsd.exe, when there is one, instead of the stand-in application).
# make kill-sweep  the installation killed after every single operation in turn on the fake
#             machine, then run again and removed (make test runs a fixed sample of them)
# make swap-sweep  every folder of the installation swapped for a link before every operation
#                  of an installation, a reinstallation and the removal, on the fake machine
#                  (make test runs a fixed sample of them)
# make release SIGN_PFX=FILE [SIGN_PASS=...] [SIGN_TS=URL] [RELEASE_URL=URL] [RELEASE_ARCH=x64]
#             the release of the 32-bit product (RELEASE_ARCH=x64: of the 64-bit build) in
#             dist/release/: tsd.exe signed (time-stamped by the RFC 3161 server
#             SIGN_TS), the setup program built over it and signed, SHA256SUMS, and with
#             RELEASE_URL the package manifests in winget/ (unsigned copies without SIGN_PFX)
# make screenshots
#             every page of the wizard in every language, and in English at 144 dpi, as PNG
#             files in dist/screenshots/ (taken under Wine by the screenshot test)
HOST := build/host
FUZZ := build/fuzz
# What this host runs, probed once: "both" (32- and 64-bit code) or "64" (64-bit code only, where
# no i386 program starts, Wine's 32-bit loader included). Set it to try the other kind's paths.
HOST_CODE ?= $(shell bash tools/host-code.sh)
export HOST_CODE
# The Windows builds whose programs the tests run: the product (32-bit) and the 64-bit build.
TEST_WIN := build/win32
TEST_WIN64 := build/win64
WIN ?= $(TEST_WIN)
WIN64 ?= $(TEST_WIN64)
# What runs under Wine in the tests: x86 (the 32-bit programs in 32-bit prefixes), x64 (the 64-bit
# programs in 64-bit prefixes), wow64 (the 32-bit setup in 64-bit prefixes, as 64-bit Windows runs
# it). Where no 32-bit code runs, the wow64 tests are reported as not run.
ifeq ($(HOST_CODE),both)
WINE_BUILDS ?= x86 x64 wow64
else
WINE_BUILDS ?= x64 wow64
endif
# The Windows builds that make dist makes: x86 into $(DIST)/, x64 into $(DIST)/x64/.
DIST_ARCHS ?= x86 x64
export WINE_BUILDS
# Only these targets of the Windows build, when given (the benchmark needs two).
WIN_TARGETS ?=
DIST ?= dist
PAYLOAD ?=
JOBS ?= 2
FUZZ_SECONDS ?= 600

.PHONY: all deps host win win64 dist run test fuzz-build fuzz bench clean

all: dist

deps:
	@bash tools/install-deps.sh

host: deps
	@cmake -S . -B $(HOST) -DWIN_BUILD_DIR=$(CURDIR)/$(TEST_WIN) -DWIN64_BUILD_DIR=$(CURDIR)/$(TEST_WIN64) \
	    -DFUZZ_BUILD_DIR=$(CURDIR)/$(FUZZ) -DHOST_CODE=$(HOST_CODE) -DWINE_BUILDS="$(WINE_BUILDS)" >/dev/null
	@cmake --build $(HOST) -j$(JOBS)

# win_build DIR,TOOLCHAIN: configures and builds one Windows build.
define win_build
	@cmake -S . -B $(1) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/$(2).cmake \
	    -DPACKER=$(CURDIR)/$(HOST)/tsdpack -DPAYLOAD=$(if $(PAYLOAD),$(abspath $(PAYLOAD))) >/dev/null
	@cmake --build $(1) -j$(JOBS) $(if $(WIN_TARGETS),--target $(WIN_TARGETS))
endef

win: host
	$(call win_build,$(WIN),mingw-i686)

win64: host
	$(call win_build,$(WIN64),mingw-x86_64)

dist: $(if $(filter x86,$(DIST_ARCHS)),win) $(if $(filter x64,$(DIST_ARCHS)),win64)
ifneq ($(filter x86,$(DIST_ARCHS)),)
	@mkdir -p $(DIST)
	@cp $(WIN)/tessaron-setup.exe $(WIN)/tsd.exe $(DIST)/
	@echo "$(DIST)/tessaron-setup.exe and $(DIST)/tsd.exe are ready (32-bit, the product)"
endif
ifneq ($(filter x64,$(DIST_ARCHS)),)
	@mkdir -p $(DIST)/x64
	@cp $(WIN64)/tessaron-setup.exe $(WIN64)/tsd.exe $(DIST)/x64/
	@echo "$(DIST)/x64/tessaron-setup.exe and $(DIST)/x64/tsd.exe are ready (64-bit)"
endif

# Where 32-bit code runs, the product itself; elsewhere the 64-bit build, which is all Wine can
# start there.
run: dist
ifeq ($(HOST_CODE),both)
	@bash tools/run-under-wine.sh x86 $(DIST)/tessaron-setup.exe \
	    "the 32-bit setup program (the product) in a 32-bit prefix: this host runs 32-bit code"
else
	@bash tools/run-under-wine.sh x64 $(DIST)/x64/tessaron-setup.exe \
	    "the 64-bit setup program in a 64-bit prefix: this host runs 64-bit code only, where Wine's 32-bit loader cannot start"
endif

fuzz-build: deps
	@cmake -S . -B $(FUZZ) -DTSD_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(FUZZ) -j$(JOBS)

fuzz: fuzz-build
	@bash tests/fuzz/run-all.sh $(CURDIR)/$(FUZZ) $(FUZZ_SECONDS)

test: dist fuzz-build
	@cd $(HOST) && ctest --output-on-failure -j$(JOBS); status=$$?; \
	    bash $(CURDIR)/tools/wine-builds.sh "$(HOST_CODE)" "$(WINE_BUILDS)"; exit $$status

bench: host
	@bash tools/install-deps.sh bench
	@python3 bench/bench.py $(BENCH_ARGS)

.PHONY: kill-sweep
kill-sweep: host
	@cd $(HOST) && TSD_KILL_SWEEP=all ./host_tests --gtest_filter='KillSweep.*'

.PHONY: swap-sweep
swap-sweep: host
	@cd $(HOST) && TSD_SWAP_SWEEP=all ./host_tests --gtest_filter='SwapSweep.*'

.PHONY: release screenshots

# The password reaches the script through its environment, not its command line.
release: export SIGN_PFX := $(SIGN_PFX)
release: export SIGN_PASS := $(SIGN_PASS)
release: export SIGN_TS := $(SIGN_TS)
release: export RELEASE_URL := $(RELEASE_URL)
release: export JOBS := $(JOBS)
release: dist
	@bash tools/release.sh $(DIST)/release $(if $(filter x64,$(RELEASE_ARCH)),$(WIN64),$(WIN)) $(HOST)/tsdpack

# The screenshots come from the build that runs here: the product where 32-bit code runs.
SHOTS := $(if $(filter both,$(HOST_CODE)),wine,wine64)
screenshots: dist
	@cd $(HOST) && ctest -R '^$(SHOTS)[.](boot_template|wizard_screenshots)$$' --output-on-failure
	@rm -rf $(DIST)/screenshots
	@mkdir -p $(DIST)/screenshots
	@cp $(HOST)/$(SHOTS)/screenshots/*.png $(DIST)/screenshots/
	@echo "$(DIST)/screenshots/ holds $$(ls $(DIST)/screenshots | wc -l) screenshots"

clean:
	rm -rf build dist
