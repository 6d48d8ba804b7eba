# Set-up and everyday commands on a Debian 12 machine.
#   make demo   install what is missing, build, render a sample song
#   make test   the same set-up, then every test, normal and sanitizer builds
#   make bench  rendering, compiling, converting, playback, track view and batch speed
#   make bench-compare  kvt wav against FluidSynth and TiMidity++ (installs them)

BUILD ?= build
SAN_BUILD ?= build-san
TSAN_BUILD ?= build-tsan
PACKAGES := cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev libsdl2-dev pkg-config libsndfile1-dev libsoxr-dev qt6-base-dev fonts-ipafont-gothic fonts-ipafont-mincho qt6-tools-dev qt6-l10n-tools qt6-translations-l10n gettext zsh fish
SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: deps build demo test test-fast test-sanitize test-thread bench clean bank-gm bench-compare

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "installing:" $$missing; \
	  $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

build: deps
	cmake --preset normal -B $(BUILD)
	cmake --build $(BUILD)

DEMO_SONG := $(BUILD)/share/kvt97/Sample/canon_in_d.KVT
DEMO_WAV := $(BUILD)/demo.wav

demo: build
	$(BUILD)/bin/kvt wav $(DEMO_SONG) -o $(DEMO_WAV)
	@echo "The demo song is in $(abspath $(DEMO_WAV)); the sample songs are in $(abspath $(BUILD)/share/kvt97/Sample); start the application with $(abspath $(BUILD)/bin/kvt97)."

# A General MIDI bank from Debian's FluidR3 SoundFont (not part of demo or test).
GM_SOUNDFONT := /usr/share/sounds/sf2/FluidR3_GM.sf2
GM_BANK := $(BUILD)/share/kvt97/banks/fluidr3

bank-gm: build
	@dpkg -s fluid-soundfont-gm >/dev/null 2>&1 || { $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends fluid-soundfont-gm; }
	$(BUILD)/bin/kvt bank import $(GM_SOUNDFONT) $(GM_BANK)
	@du -sh $(GM_BANK)

test-fast: build
	ctest --test-dir $(BUILD) --output-on-failure

# Sanitizer build with clang, which also runs the fuzz targets for a bounded time.
test-sanitize: deps
	cmake --preset sanitizer -B $(SAN_BUILD)
	cmake --build $(SAN_BUILD)
	ctest --test-dir $(SAN_BUILD) --output-on-failure

# ThreadSanitizer build with clang of only what runs threads: real-time and
# WAVE file playback on the wave device, the command's play and stop
# signals, and the front-end core where the tree has it. The
# thread-sanitizer build and test presets make the same choice.
TSAN_TARGETS := kvt|kvtc|mid2kvt|kvt_cli|host_tests|cli_tests|frontend_tests
TSAN_TESTS := ^(RealtimePlayback|MonoAndStereo/Channel|Sinks/AudioSink|WaveDevice|WaveFilePlayback|DefaultPlayer|Render|VisualPlay|PlayKeyboard|PlayCommand|PlayKeys|Batch|Signals|Frontend)

test-thread: deps
	cmake --preset thread-sanitizer -B $(TSAN_BUILD)
	targets=$$(cmake --build $(TSAN_BUILD) --target help | sed -n 's/: phony$$//p' | grep -xE '$(TSAN_TARGETS)') && \
	cmake --build $(TSAN_BUILD) --target $$targets
	TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
	  ctest --test-dir $(TSAN_BUILD) --output-on-failure -R '$(TSAN_TESTS)'

test: test-fast test-sanitize test-thread

bench: build
	$(BUILD)/bin/driver_bench
	$(BUILD)/bin/wav_bench
	$(BUILD)/bin/compile_bench
	$(BUILD)/bin/midi_bench
	$(BUILD)/bin/playback_bench
	$(BUILD)/bin/analyzer_bench
	$(BUILD)/bin/batch_bench
	$(BUILD)/bin/renderer_compare

# kvt wav against FluidSynth and TiMidity++ on General MIDI files from Debian
# packages, all installed here on demand (not part of deps, test or CI).
COMPARE_PACKAGES := fluidsynth timidity fluid-soundfont-gm openttd-openmsx freedink-data
COMPARE_ROUNDS ?= 5

bench-compare: build
	@missing=$$(for p in $(COMPARE_PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "installing:" $$missing; \
	  $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi
	$(BUILD)/bin/renderer_compare $(COMPARE_ROUNDS)

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(TSAN_BUILD)
