# Set-up on a fresh Debian 12 machine: `make play` or `make test`.

BUILD    ?= build
JOBS     ?= $(shell nproc 2>/dev/null || echo 2)
PACKAGES := build-essential cmake pkg-config libsdl2-dev libjpeg62-turbo-dev \
            libvorbis-dev libogg-dev libpng-dev libfreetype-dev fonts-dejavu-core \
            libgl-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri \
            libgtest-dev ffmpeg xvfb xauth xdotool

.PHONY: play test build deps clean

play: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display to open the demo's window on; render it off-screen instead: $(BUILD)/lumivaara-capture --video lumivaara.mp4"; \
	  exit 1; \
	fi
	$(BUILD)/lumivaara

test: build
	cd $(BUILD) && ctest --output-on-failure -j2

# Configures, builds, and generates the images, models and music.
build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

# Installs the Debian packages that are missing: as root through apt-get,
# otherwise through sudo, otherwise says what to run.
deps:
	@missing=""; \
	for p in $(PACKAGES); do \
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

clean:
	rm -rf $(BUILD)
