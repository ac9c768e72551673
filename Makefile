# The commands a newcomer needs; README explains them.
PRESET := linux
BUILD  := build/linux

# The Windows programs, cross-built with mingw-w64 and tested under Wine.
WINDOWS := win32

# The application folder that `make install` lays out.
APP ?= $(HOME)/.local/share/kelmor

.PHONY: all deps configure build windows windows-release test demo bench measure measure-windows install clean

all: build

deps:
	tools/install-deps.sh

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

windows: deps
	cmake --preset $(WINDOWS)
	cmake --build --preset $(WINDOWS)

# The zip and the setup program, in build/win32/release/.
windows-release: windows
	cmake --build --preset $(WINDOWS) --target windows_release

test: build windows windows-release
	ctest --preset $(PRESET)
	ctest --preset $(WINDOWS)

demo: build
	tools/demo.sh

bench: build
	$(BUILD)/bench/game_launch_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	$(BUILD)/bench/kit_install_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

measure: build
	bench/launch_times.sh

measure-windows: windows-release
	bench/wine_times.sh

install: build
	cmake --install $(BUILD) --prefix "$$(realpath -m -- "$(APP)")"

clean:
	rm -rf build
