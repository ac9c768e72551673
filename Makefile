# The commands a newcomer needs; README explains them.
PRESET := linux
BUILD  := build/linux

.PHONY: all deps configure build test demo bench clean

all: build

deps:
	tools/install-deps.sh

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

test: build
	ctest --preset $(PRESET)

demo: build
	tools/demo.sh

bench: build
	$(BUILD)/bench/game_launch_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	$(BUILD)/bench/kit_install_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

clean:
	rm -rf build
