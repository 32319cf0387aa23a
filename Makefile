# Two entry points: `make run` builds only the game (the `tervex` target and what it needs) and
# starts it, `make test` builds everything and runs every test.
BUILD ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
ARGS ?=

.PHONY: deps configure build run test bench clean format

deps:
	@bash scripts/setup-deps.sh

configure: deps
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: configure
	@cmake --build $(BUILD)

# The game starts in the build directory, where its assets are and its high scores are kept.
run: configure
	@cmake --build $(BUILD) --target tervex
	cd $(BUILD) && ./tervex $(ARGS)

test: build
	cd $(BUILD) && ctest --output-on-failure --timeout 300 -j2

bench: build
	./$(BUILD)/bench/tervex_bench

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
