# Vantrel Video Converter: build, test and run.
#   make test        install missing Debian packages, build with -Werror, run every test
#   make run         open the converter window
#   make screenshot  write docs/screenshot.png, docs/screenshot-preview.png and docs/screenshot-start.png (under Xvfb)
#   make pot         extract the texts for translators into po/vantrel.pot and merge each catalog
#   make screenshot-languages  write docs/screenshot-LANG.png for each translation (under Xvfb)
#   make screenshot-card  write docs/screenshot-card.png: Save to offering a card (as root)
#   make screenshot-windows  write docs/screenshot-windows.png (the cross build under wine)
#   make fit-picture write docs/fit-vs-stretch.png (one clip converted with Fit and with Stretch)
#   make subtitle-picture write docs/subtitles.png (a frame with a subtitle file's accented line)
#   make bench       build and run the benchmark
#   make fuzz        run the fuzzers for a long time
#   make deb         build dist/vantrel_<version>_amd64.deb
#   make windows     cross-build for Windows and make dist/vantrel-win64.zip and dist/vantrel-win64.msi
#   make windows-test run the Windows build's tests under wine

BUILD      ?= build
JOBS       ?= $(shell nproc)
BUILD_TYPE ?= RelWithDebInfo
SUDO       := $(if $(filter 0,$(shell id -u)),,sudo)

PACKAGES := cmake make g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev libuchardet-dev \
            dosfstools fusefat exfatprogs exfat-fuse gettext appstream fonts-ipafont-gothic \
            at-spi2-core python3-pyatspi gir1.2-atspi-2.0 \
            ffmpeg libwxgtk3.2-dev libgtk-3-dev libglib2.0-dev libglib2.0-bin dbus python3-dbusmock xvfb xauth xdotool imagemagick x11-utils \
            clang libclang-rt-14-dev librsvg2-bin debootstrap fonts-dejavu-core \
            $(if $(shell command -v npm),,npm)

# Only the package and its test need these.
DEB_PACKAGES := dpkg-dev lintian appstream desktop-file-utils

# The Windows build: cross-built with MinGW-w64, tested under wine in a prefix
# of its own in the build folder. dpkg-dev unpacks the Debian source of
# uchardet that its configure cross-builds (scripts/build_windows_uchardet.sh).
WIN_PACKAGES := cmake make gettext locales g++ g++-mingw-w64-x86-64-posix wine wine64 zip imagemagick libgtest-dev dpkg-dev \
                fonts-dejavu-core wixl msitools \
                $(if $(shell command -v npm),,npm)
WIN_BUILD    := $(BUILD)-win64
WIN_PREFIX   := $(abspath $(WIN_BUILD))/wine

FUZZ_SECONDS ?= 600

.PHONY: deps deb-deps deb configure build test sanitizers fuzz-build fuzz run screenshot fit-picture subtitle-picture bench clean \
        windows-deps windows-build windows windows-test

define install_missing
	@missing=$$(for p in $(1); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))

deb-deps:
	$(call install_missing,$(DEB_PACKAGES))

windows-deps:
	$(call install_missing,$(WIN_PACKAGES))

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DVANTREL_WERROR=ON

build: configure
	cmake --build $(BUILD) -j$(JOBS)

test: build deb-deps
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS) --timeout 600
	$(MAKE) --no-print-directory sanitizers
	$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=30
	$(MAKE) --no-print-directory windows-test

# The engine, window-logic and fake-encoder suites under ASan+UBSan, then TSan.
sanitizers: deps
	set -e; for s in address thread; do \
	  cmake -S . -B $(BUILD)-$$s -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_WERROR=ON \
	    -DVANTREL_BUILD_UI=OFF -DVANTREL_SANITIZE=$$s; \
	  cmake --build $(BUILD)-$$s -j$(JOBS); \
	  (cd $(BUILD)-$$s && ASAN_OPTIONS=detect_leaks=1 TSAN_OPTIONS=halt_on_error=1 \
	    ctest --output-on-failure -j$(JOBS) --timeout 600); \
	done

fuzz-build: deps
	CC=clang CXX=clang++ cmake -S . -B $(BUILD)-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVANTREL_BUILD_UI=OFF -DVANTREL_SANITIZE=fuzzer
	cmake --build $(BUILD)-fuzz -j$(JOBS) --target parser_fuzzer

# Each fuzzer for FUZZ_SECONDS on a corpus seeded with real ffmpeg output.
fuzz: fuzz-build
	fuzz/run_fuzzers.sh $(BUILD)-fuzz $(FUZZ_SECONDS)

run: build
	$(BUILD)/app/vantrel

# openbox only draws the window's frame in the picture; nothing else needs it.
screenshot: build
	@dpkg-query -W -f='$${Status}\n' openbox 2>/dev/null | grep -q 'install ok installed' || { \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends openbox; }
	scripts/screenshot.sh $(BUILD) docs/screenshot.png

# The texts of the sources into po/vantrel.pot, and merged into each catalog
# for its translator.
.PHONY: pot
pot:
	po/extract_texts.sh . po/vantrel.pot
	for language in $$(cat po/LINGUAS); do msgmerge -q --update --backup=none po/$$language.po po/vantrel.pot; done

# The window in each language of po/LINGUAS.
.PHONY: screenshot-languages
screenshot-languages: build
	scripts/screenshot_languages.sh $(BUILD) docs

# "Save to" offering a card (as root: a FAT image mounted through FUSE).
.PHONY: screenshot-card
screenshot-card: build
	scripts/screenshot_card.sh $(BUILD) docs/screenshot-card.png

# The Windows window as wine draws it (under Xvfb), from the cross build.
.PHONY: screenshot-windows
screenshot-windows:
	cmake -S . -B $(BUILD)-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DVANTREL_WERROR=ON
	cmake --build $(BUILD)-win64 -j$(JOBS) --target vantrel_seamed
	scripts/fetch_windows_encoder.sh $(BUILD)-win64
	scripts/screenshot_windows.sh $(BUILD)-win64 docs/screenshot-windows.png

fit-picture: build
	scripts/fit_vs_stretch.sh $(BUILD) docs/fit-vs-stretch.png

subtitle-picture: build
	scripts/subtitle_picture.sh $(BUILD) docs/subtitles.png

bench: deps
	cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DVANTREL_BUILD_BENCH=ON
	cmake --build $(BUILD)-bench -j$(JOBS)
	bench/run_bench.sh $(BUILD)-bench

# The package of the normal build, in dist/ (CPack's DEB generator; the
# settings are in packaging/).
deb: build deb-deps
	cd $(BUILD) && cpack
	@ls -l dist/vantrel_*_amd64.deb

windows-build: windows-deps
	cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DVANTREL_WERROR=ON
	cmake --build $(WIN_BUILD) -j$(JOBS)
	scripts/fetch_windows_encoder.sh $(WIN_BUILD)

# dist/vantrel-win64.zip: the programs with ffmpeg.exe beside them, the README
# and the licences; and beside it dist/vantrel-win64.msi, the installer.
windows: windows-build
	VANTREL_WINEPREFIX=$(WIN_PREFIX) scripts/windows_zip.sh $(WIN_BUILD) dist/vantrel-win64.zip
	scripts/windows_msi.sh $(WIN_BUILD) dist/vantrel-win64.msi

# The tests make their clips and check the results with Linux's ffmpeg.
windows-test: deps windows-build
	cd $(WIN_BUILD) && VANTREL_WINEPREFIX=$(WIN_PREFIX) $(CURDIR)/scripts/wine_session.sh \
	  ctest --output-on-failure -j$(JOBS) --timeout 600

clean:
	rm -rf $(BUILD) $(BUILD)-*
