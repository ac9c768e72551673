# The commands a newcomer needs; README explains them.
PRESET := linux
BUILD  := build/linux

# The unit and integration tests once more, with ASan and UBSan, and the
# check that no name is defined twice (CMakePresets.json).
SANITIZE := linux-sanitize

# The fuzz targets with libFuzzer (clang), each run this many seconds.
FUZZ := linux-fuzz
FUZZ_SECONDS ?= 60

# The Windows programs, cross-built with mingw-w64 and tested under Wine.
WINDOWS := win32

# The application folder that `make install` lays out.
APP ?= $(HOME)/.local/share/kelmor

.PHONY: all deps configure build sanitize windows windows-release test fuzz demo bench measure measure-windows install clean

all: build

deps:
	tools/install-deps.sh

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

sanitize: deps
	cmake --preset $(SANITIZE)
	cmake --build --preset $(SANITIZE)

windows: deps
	cmake --preset $(WINDOWS)
	cmake --build --preset $(WINDOWS)

# The zip and the setup program, in build/win32/release/.
windows-release: windows
	cmake --build --preset $(WINDOWS) --target windows_release

test: build sanitize windows windows-release
	ctest --preset $(PRESET)
	ctest --preset $(SANITIZE)
	ctest --preset $(WINDOWS)

fuzz:
	tools/install-deps.sh fuzz
	cmake --preset $(FUZZ)
	cmake --build --preset $(FUZZ)
	tools/fuzz.sh build/$(FUZZ) $(FUZZ_SECONDS)

demo: build
	tools/demo.sh

bench: build
	$(BUILD)/bench/game_launch_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	$(BUILD)/bench/kit_install_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	$(BUILD)/bench/disc_image_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

measure: build
	bench/launch_times.sh

measure-windows: windows-release
	bench/wine_times.sh

install: build
	cmake --install $(BUILD) --prefix "$$(realpath -m -- "$(APP)")"

clean:
	rm -rf build
