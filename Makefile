# Set-up on a fresh Debian 12 machine: `make play` or `make test`.

# SANITIZE=ON builds everything with AddressSanitizer and UBSan in its own
# directory, where `make test` also captures the whole timeline under them.
SANITIZE ?= OFF
ifeq ($(SANITIZE),ON)
BUILD    ?= build-asan
# The GL driver leaks a block that the leak checker cannot tell from ours.
TEST_ENV := ASAN_OPTIONS=detect_leaks=0
endif
BUILD    ?= build
WEB      ?= build-web
PORT     ?= 8000
PREFIX   ?= /usr/local
JOBS     ?= $(shell nproc 2>/dev/null || echo 2)
PACKAGES := build-essential cmake pkg-config libsdl2-dev libjpeg62-turbo-dev \
            libvorbis-dev libogg-dev libpng-dev libfreetype-dev fonts-dejavu-core \
            libgl-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri \
            libgtest-dev ffmpeg xvfb xauth xdotool dpkg-dev
# The browser build and its tests: Emscripten, stb_image, headless Chromium.
WEB_PACKAGES := emscripten libstb-dev chromium python3-websocket
# Debian's Emscripten runs its tools on the system's node, which looks for
# its modules here.
EMSDK_ENV := NODE_PATH=/usr/share/nodejs

# The plain suite includes the browser build's tests in headless Chromium;
# the sanitizer suite leaves them out (the browser build is not instrumented).
ifeq ($(SANITIZE),ON)
TEST_NEEDS := build
WEB_TESTS  :=
else
TEST_NEEDS := web
WEB_TESTS  := $(abspath $(WEB))
endif

.PHONY: play test build deps web-deps web serve clean install package

play: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display to open the demo's window on; render it off-screen instead: $(BUILD)/lumivaara-capture --video lumivaara.mp4"; \
	  exit 1; \
	fi
	$(BUILD)/lumivaara

test: $(TEST_NEEDS)
	cd $(BUILD) && $(TEST_ENV) ctest --output-on-failure -j2

# Debian's layout for games under PREFIX: lumivaara in games/, the tools in
# bin/, the assets in share/games/lumivaara/; DESTDIR is honoured.
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# $(BUILD)/lumivaara_<version>_<arch>.deb, its dependencies computed from the
# binaries by dpkg-shlibdeps.
package: build
	cd $(BUILD) && umask 022 && cpack -G DEB

# Configures, builds, and generates the images, models and music.
build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIVAARA_SANITIZE=$(SANITIZE) \
	  -DLUMIVAARA_WEB_SITE=$(WEB_TESTS)
	cmake --build $(BUILD) -j$(JOBS)

# The browser build: the module compiled by Emscripten in $(BUILD)/web, then
# the site (page, module, the assets the native build generated) in $(WEB)/,
# plain static files for any web server.
web: build web-deps
	$(EMSDK_ENV) emcmake cmake -S . -B $(BUILD)/web -DCMAKE_BUILD_TYPE=Release
	$(EMSDK_ENV) cmake --build $(BUILD)/web -j$(JOBS)
	python3 web/make_site.py --module $(BUILD)/web/web --assets $(BUILD) --out $(WEB)

# Serves the site on 127.0.0.1:$(PORT) and prints the address.
serve: web
	python3 web/serve.py $(WEB) --port $(PORT)

# Installs the Debian packages that are missing: as root through apt-get,
# otherwise through sudo, otherwise says what to run.
deps:
	@$(call install_missing,$(PACKAGES))

web-deps:
	@$(call install_missing,$(WEB_PACKAGES))

define install_missing
	missing=""; \
	for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	  elif command -v sudo >/dev/null 2>&1; then \
	    sudo apt-get update && sudo DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	  else \
	    echo "Missing packages; install them with:"; \
	    echo "  sudo apt-get install$$missing"; \
	    exit 1; \
	  fi; \
	fi
endef

clean:
	rm -rf $(BUILD) $(WEB)

# Fuzzing: libFuzzer harnesses (fuzz/fuzz_*.cpp) built with clang into
# $(FUZZ_DIR), seeded from the generated assets of $(FUZZ_ASSETS) plus small
# edge files, each run for FUZZ_SECONDS in one process (no -jobs: that forks
# workers). Inputs that fail are copied to tests/fuzzcases/<harness>/, which
# `make test` replays (tests/robust_fuzz_replay_test.cpp).
FUZZ_DIR       ?= build-fuzz
FUZZ_SECONDS   ?= 60
FUZZ_CXX       ?= clang++-14
FUZZ_ASSETS    ?= $(BUILD)
FUZZ_CXXFLAGS  := -std=c++17 -g -O1 -Wall -Wextra -Isrc \
                  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
FUZZ_HARNESSES := pcx jpeg model3ds music
FUZZ_SRC_pcx      := src/textures/pcx_decode.cpp
FUZZ_SRC_jpeg     := src/textures/jpeg_loader.cpp src/platform/asset_path.cpp
FUZZ_SRC_model3ds := src/models/scene3ds_load.cpp src/models/scene3ds_render.cpp \
                     src/platform/asset_path.cpp src/platform/tick_clock.cpp \
                     $(wildcard src/effects/light_shafts*.cpp) src/effects/shaft_stats.cpp \
                     $(wildcard src/math/*.cpp)
FUZZ_SRC_music    := src/platform/music_stream.cpp src/platform/tick_clock.cpp
FUZZ_LIBS_jpeg     := -ljpeg
FUZZ_LIBS_model3ds := -lGL -lGLU
FUZZ_LIBS_music    := $(shell pkg-config --libs vorbisfile ogg sdl2 2>/dev/null)

.PHONY: fuzz

fuzz: $(addprefix $(FUZZ_DIR)/fuzz_,$(FUZZ_HARNESSES))
	python3 fuzz/make_seeds.py $(FUZZ_ASSETS) $(FUZZ_DIR)/seeds
	@for h in $(FUZZ_HARNESSES); do \
	  mkdir -p $(FUZZ_DIR)/corpus/$$h $(FUZZ_DIR)/crashes/$$h tests/fuzzcases/$$h; \
	  echo "== $$h: $(FUZZ_SECONDS) s, log $(FUZZ_DIR)/$$h.log"; \
	  $(FUZZ_DIR)/fuzz_$$h $(FUZZ_DIR)/corpus/$$h $(FUZZ_DIR)/seeds/$$h \
	    -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 \
	    -artifact_prefix=$(FUZZ_DIR)/crashes/$$h/ -print_final_stats=1 \
	    >$(FUZZ_DIR)/$$h.log 2>&1; \
	  grep -E "^#[0-9]+[[:space:]]+(DONE|INITED)" $(FUZZ_DIR)/$$h.log | tail -1; \
	  for f in $(FUZZ_DIR)/crashes/$$h/*; do \
	    [ -f "$$f" ] && cp "$$f" tests/fuzzcases/$$h/ && echo "  failing input: tests/fuzzcases/$$h/$${f##*/}"; \
	  done; \
	done; true

# Each harness also depends on the project sources it compiles in.
.SECONDEXPANSION:
$(FUZZ_DIR)/fuzz_%: fuzz/fuzz_%.cpp fuzz/fuzz_entries.h $$(FUZZ_SRC_$$*)
	@mkdir -p $(FUZZ_DIR)
	$(FUZZ_CXX) $(FUZZ_CXXFLAGS) $< $(FUZZ_SRC_$*) $(FUZZ_LIBS_$*) -o $@
