# SPDX-License-Identifier: GPL-3.0-or-later
# The commands a newcomer needs; README.md and DEVELOPING.md explain them.
PRESET := linux
BUILD  := build/linux

# What `make install` builds: the programs alone, without the tests and
# benchmarks, with only the packages they need.
PLAYER       := linux-player
PLAYER_BUILD := build/player

# The unit and integration tests once more, with ASan and UBSan, and the
# check that no name is defined twice (CMakePresets.json).
SANITIZE := linux-sanitize

# The fuzz targets with libFuzzer (clang), each run this many seconds.
FUZZ := linux-fuzz
FUZZ_SECONDS ?= 60

# The Windows programs, cross-built with mingw-w64 and tested under Wine
# (tools/windows-tests.sh: where 32-bit programs cannot run, an x86_64 build
# of them, preset win64, under 64-bit Wine).
WINDOWS := win32

# The application folder that `make install` lays out.
APP ?= $(HOME)/.local/share/kelmor

.PHONY: all player-deps player deb deps windows-deps test-deps configure build sanitize windows windows-release test fuzz demo bench measure measure-windows install uninstall clean

all: build

# A player needs only what the Linux programs need; the tests, benchmarks and
# the demo add theirs, and the Windows tool chain and Wine come with the
# Windows targets and the tests.
player-deps:
	tools/install-deps.sh player

player: player-deps
	cmake --preset $(PLAYER)
	cmake --build --preset $(PLAYER) --parallel $$(nproc)

# The Debian package, build/deb/kelmor-kit_<version>_<arch>.deb, built with
# Debian's tools from a copy of the sources and checked with lintian.
deb:
	tools/install-deps.sh deb
	tools/make-deb.sh

deps:
	tools/install-deps.sh linux

windows-deps:
	tools/install-deps.sh windows

test-deps:
	tools/install-deps.sh linux windows tests

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

sanitize: deps
	cmake --preset $(SANITIZE)
	cmake --build --preset $(SANITIZE)

windows: windows-deps
	cmake --preset $(WINDOWS)
	cmake --build --preset $(WINDOWS)

# The zip and the setup program, in build/win32/release/.
windows-release: windows
	cmake --build --preset $(WINDOWS) --target windows_release

test: test-deps build sanitize windows windows-release
	ctest --preset $(PRESET)
	ctest --preset $(SANITIZE)
	tools/windows-tests.sh

fuzz:
	tools/install-deps.sh linux fuzz
	cmake --preset $(FUZZ)
	cmake --build --preset $(FUZZ)
	tools/fuzz.sh build/$(FUZZ) $(FUZZ_SECONDS)

demo: build
	tools/demo.sh

bench: build
	$(BUILD)/bench/game_launch_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	$(BUILD)/bench/kit_install_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	$(BUILD)/bench/disc_image_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	@exe=build/$(WINDOWS)/bin/KELMOR.EXE; \
	  if [ -f $$exe ]; then echo "$$exe: $$(stat -c %s $$exe) bytes"; else echo "$$exe: not built (make windows)"; fi

measure: build
	tools/install-deps.sh linux measure
	bench/launch_times.sh

# Times the set of Windows programs this machine's tests run, and says which.
measure-windows: windows-release
	tools/install-deps.sh windows measure
	bench/wine_times.sh

# APP reaches the shell as it was written; a leading ~/ is the home folder, as
# the shell would take it unquoted ("~/My Games/Kelmor"); ~user is refused.
APP_FOLDER = app=$$KELMOR_APP; \
	case $$app in \
	  "~") app=$$HOME ;; \
	  "~/"*) app=$$HOME/$${app\#"~/"} ;; \
	  "~"*) echo "make: APP=$$app: write the folder from / or from ~/" >&2; exit 2 ;; \
	esac; \
	app=$$(realpath -m -- "$$app")

# Lays out APP and records what it brought; stops before writing anything
# when a file of the user's stands at one of the kit's names there.
install: export KELMOR_APP = $(APP)
install: player
	@$(APP_FOLDER); cmake --install $(PLAYER_BUILD) --prefix "$$app"

# Removes what `make install` brought into APP and the menu, as APP's install
# record lists it, each file only while unchanged; the saved games, the kit's
# installed data, dosbox.conf, THEST.FUJ, the files the user changed and the
# settings stay. A folder without a record keeps everything.
uninstall: export KELMOR_APP = $(APP)
uninstall: player-deps
	@cmake --preset $(PLAYER) >/dev/null
	@$(APP_FOLDER); cmake -DKELMOR_APP_FOLDER="$$app" -P $(PLAYER_BUILD)/uninstall_application_folder.cmake

clean:
	rm -rf build
