# make        builds the setup program and the stand-in application into dist/
# make run    builds, then installs silently with the real setup program under Wine
# make test   builds, then runs every test (host tests, a short run of each fuzz target and the
#             Wine tests) through CTest
# make fuzz   builds the fuzz targets, then runs each FUZZ_SECONDS seconds (default 600)
HOST := build/host
WIN := build/win32
FUZZ := build/fuzz
JOBS ?= 2
FUZZ_SECONDS ?= 600

.PHONY: all deps host win dist run test fuzz-build fuzz clean

all: dist

deps:
	@bash tools/install-deps.sh

host: deps
	@cmake -S . -B $(HOST) -DWIN_BUILD_DIR=$(CURDIR)/$(WIN) -DFUZZ_BUILD_DIR=$(CURDIR)/$(FUZZ) >/dev/null
	@cmake --build $(HOST) -j$(JOBS)

win: host
	@cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake \
	    -DPACKER=$(CURDIR)/$(HOST)/tsdpack >/dev/null
	@cmake --build $(WIN) -j$(JOBS)

dist: win
	@mkdir -p dist
	@cp $(WIN)/tessaron-setup.exe $(WIN)/tsd.exe dist/
	@echo "dist/tessaron-setup.exe and dist/tsd.exe are ready"

run: dist
	@bash tools/run-under-wine.sh dist/tessaron-setup.exe

fuzz-build: deps
	@cmake -S . -B $(FUZZ) -DTSD_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(FUZZ) -j$(JOBS)

fuzz: fuzz-build
	@bash tests/fuzz/run-all.sh $(CURDIR)/$(FUZZ) $(FUZZ_SECONDS)

test: dist fuzz-build
	@cd $(HOST) && ctest --output-on-failure -j$(JOBS)

clean:
	rm -rf build dist
