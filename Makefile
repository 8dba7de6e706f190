# make        builds the setup program and the stand-in application into dist/
# make run    builds, then installs silently with the real setup program under Wine
# make test   builds, then runs every test (host tests and Wine tests) through CTest
# make release SIGN_PFX=FILE [SIGN_PASS=...]
#             signed copies of both programs in dist/release/ (unsigned copies without SIGN_PFX)
# make screenshots
#             every page of the wizard in every language, and in English at 144 dpi, as PNG
#             files in dist/screenshots/ (taken under Wine by the screenshot test)
HOST := build/host
WIN := build/win32
JOBS ?= 2

.PHONY: all deps host win dist run test clean

all: dist

deps:
	@bash tools/install-deps.sh

host: deps
	@cmake -S . -B $(HOST) -DWIN_BUILD_DIR=$(CURDIR)/$(WIN) >/dev/null
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

test: dist
	@cd $(HOST) && ctest --output-on-failure -j$(JOBS)

.PHONY: release screenshots

# The password reaches the script through its environment, not its command line.
release: export SIGN_PFX := $(SIGN_PFX)
release: export SIGN_PASS := $(SIGN_PASS)
release: dist
	@bash tools/release.sh dist/release dist/tessaron-setup.exe dist/tsd.exe

screenshots: dist
	@cd $(HOST) && ctest -R '^wine[.](boot_template|wizard_screenshots)$$' --output-on-failure
	@rm -rf dist/screenshots
	@mkdir -p dist/screenshots
	@cp $(HOST)/wine/screenshots/*.png dist/screenshots/
	@echo "dist/screenshots/ holds $$(ls dist/screenshots | wc -l) screenshots"

clean:
	rm -rf build dist
