# Set-up and everyday commands on a Debian 12 machine.
#   make demo   install what is missing, build, render a sample song
#   make test   the same set-up, then every test, normal and sanitizer builds
#   make bench  rendering, compiling, converting and playback speed

BUILD ?= build
SAN_BUILD ?= build-san
PACKAGES := cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev libsdl2-dev
SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: deps build demo test test-fast test-sanitize bench clean

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "installing:" $$missing; \
	  $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD)

DEMO_SONG := $(BUILD)/samples/canon_in_d.KVT
DEMO_WAV := $(BUILD)/demo.wav

demo: build
	$(BUILD)/bin/kvt wav $(DEMO_SONG) -o $(DEMO_WAV)
	@echo "The demo song is in $(abspath $(DEMO_WAV)); the sample songs are in $(abspath $(BUILD)/samples)."

test-fast: build
	ctest --test-dir $(BUILD) --output-on-failure

# Sanitizer build with clang, which also runs the fuzz targets for a bounded time.
test-sanitize: deps
	CC=clang CXX=clang++ cmake -S . -B $(SAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DKVT_SANITIZE=ON -DKVT_FUZZ=ON -DKVT_BENCH=OFF
	cmake --build $(SAN_BUILD)
	ctest --test-dir $(SAN_BUILD) --output-on-failure

test: test-fast test-sanitize

bench: build
	$(BUILD)/bin/driver_bench
	$(BUILD)/bin/wav_bench
	$(BUILD)/bin/compile_bench
	$(BUILD)/bin/midi_bench
	$(BUILD)/bin/playback_bench

clean:
	rm -rf $(BUILD) $(SAN_BUILD)
