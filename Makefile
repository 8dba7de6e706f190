# make        builds the setup program and the stand-in application into dist/
# make run    builds, then installs silently with the real setup program under Wine
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
# make release SIGN_PFX=FILE [SIGN_PASS=...] [SIGN_TS=URL] [RELEASE_URL=URL]
#             the release in dist/release/: tsd.exe signed (time-stamped by the RFC 3161 server
#             SIGN_TS), the setup program built over it and signed, SHA256SUMS, and with
#             RELEASE_URL the package manifests in winget/ (unsigned copies without SIGN_PFX)
# make screenshots
#             every page of the wizard in every language, and in English at 144 dpi, as PNG
#             files in dist/screenshots/ (taken under Wine by the screenshot test)
HOST := build/host
FUZZ := build/fuzz
# The Windows build whose programs the tests run.
TEST_WIN := build/win32
WIN ?= $(TEST_WIN)
# Only these targets of the Windows build, when given (the benchmark needs two).
WIN_TARGETS ?=
DIST ?= dist
PAYLOAD ?=
JOBS ?= 2
FUZZ_SECONDS ?= 600

.PHONY: all deps host win dist run test fuzz-build fuzz bench clean

all: dist

deps:
	@bash tools/install-deps.sh

host: deps
	@cmake -S . -B $(HOST) -DWIN_BUILD_DIR=$(CURDIR)/$(TEST_WIN) -DFUZZ_BUILD_DIR=$(CURDIR)/$(FUZZ) >/dev/null
	@cmake --build $(HOST) -j$(JOBS)

win: host
	@cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake \
	    -DPACKER=$(CURDIR)/$(HOST)/tsdpack -DPAYLOAD=$(if $(PAYLOAD),$(abspath $(PAYLOAD))) >/dev/null
	@cmake --build $(WIN) -j$(JOBS) $(if $(WIN_TARGETS),--target $(WIN_TARGETS))

dist: win
	@mkdir -p $(DIST)
	@cp $(WIN)/tessaron-setup.exe $(WIN)/tsd.exe $(DIST)/
	@echo "$(DIST)/tessaron-setup.exe and $(DIST)/tsd.exe are ready"

run: dist
	@bash tools/run-under-wine.sh $(DIST)/tessaron-setup.exe

fuzz-build: deps
	@cmake -S . -B $(FUZZ) -DTSD_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(FUZZ) -j$(JOBS)

fuzz: fuzz-build
	@bash tests/fuzz/run-all.sh $(CURDIR)/$(FUZZ) $(FUZZ_SECONDS)

test: dist fuzz-build
	@cd $(HOST) && ctest --output-on-failure -j$(JOBS)

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
	@bash tools/release.sh $(DIST)/release $(WIN) $(HOST)/tsdpack

screenshots: dist
	@cd $(HOST) && ctest -R '^wine[.](boot_template|wizard_screenshots)$$' --output-on-failure
	@rm -rf $(DIST)/screenshots
	@mkdir -p $(DIST)/screenshots
	@cp $(HOST)/wine/screenshots/*.png $(DIST)/screenshots/
	@echo "$(DIST)/screenshots/ holds $$(ls $(DIST)/screenshots | wc -l) screenshots"

clean:
	rm -rf build dist
