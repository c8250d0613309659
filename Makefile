# Vellamor: `make run` plays the show, `make test` runs every test.
# Both install what the project needs first (scripts/install-deps).
JOBS ?= $(shell nproc)
BUILD ?= build
TEST_ENV = SDL_AUDIODRIVER=dummy VELLAMOR_MESSAGES=stderr LIBGL_ALWAYS_SOFTWARE=1
XVFB = xvfb-run -a -s "-screen 0 1280x1024x24"
FUZZ_SECONDS ?= 60

.PHONY: deps build run video test test-asan test-fuzz test-gl format format-check clean web serve test-web

deps:
	scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

run: build
	./$(BUILD)/vellamor

# The whole show as a video file, drawn offline frame by frame (no display
# or GPU needed; without a GPU it takes about a quarter of an hour on an
# idle 2-core machine, longer on a busy one).
video: build
	mkdir -p out
	./$(BUILD)/vellamor --record out/vellamor-720p30.mp4 --mode 1280x720 --fps 30

# Sanitizer run of the tests that need no display (the format check among
# them: an unformatted file fails `make test`), then the fuzzers, then
# every test of the normal build under Xvfb (CTest's summary), then the
# browser build's stills against the desktop's.
# The tests run with a fresh temporary directory that must be empty after.
test: deps test-asan test-fuzz test-gl test-web

test-asan: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLAMOR_SANITIZE=ON
	cmake --build build-asan -j$(JOBS)
	cd build-asan && $(TEST_ENV) $(CURDIR)/scripts/leave-nothing test-tmp ctest -LE gl --output-on-failure -j$(JOBS)

test-fuzz: deps
	scripts/run-fuzzers $(FUZZ_SECONDS)

test-gl: build
	cd $(BUILD) && $(TEST_ENV) $(XVFB) $(CURDIR)/scripts/leave-nothing test-tmp ctest --output-on-failure

# The show in a browser: emscripten into build-web/ (index.html, the .js,
# the .wasm and the packaged data folder); `make serve` serves it on
# 127.0.0.1 (from file:// the browser refuses to load the .wasm).
WEB_BUILD ?= build-web
EMENV = NODE_PATH=/usr/share/nodejs
web: deps
	$(EMENV) emcmake cmake -S . -B $(WEB_BUILD) -DCMAKE_BUILD_TYPE=Release
	$(EMENV) cmake --build $(WEB_BUILD) -j$(JOBS)

serve: web
	scripts/serve-web $(WEB_BUILD)

# The browser build's frames against the desktop's stills, in headless
# Chromium (scripts/test-web).
test-web: build web
	BUILD=$(BUILD) WEB_BUILD=$(WEB_BUILD) scripts/test-web

# clang-format 14 over src, tools, tests, bench and fuzz (never data/).
format: deps
	scripts/format

format-check: deps
	scripts/format --check

clean:
	rm -rf build build-asan build-fuzz build-web
