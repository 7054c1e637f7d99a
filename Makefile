# Tarnwell: the two commands that matter are `make run` and `make test`.
SHELL := /bin/bash
JOBS ?= 2
BUILD ?= build
CTEST_ARGS ?=
# A compiler cache, when the machine has one: clones and worktrees of this repository share their
# compiled objects, because paths under the checkout are hashed relative to it. It is looked up
# when a build starts, after the set-up: on a fresh machine the set-up installs it, and a cache
# looked up when make read this file would be missing from the first configuration only, so the
# next make would configure again and rebuild everything.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

.PHONY: all setup deps build build64 build32 test run bench dist screenshots clean

all: build

setup:
	@tools/setup.sh

# Configures and builds one architecture: $(call build_arch,x86_64,win64)
define build_arch
	@deps=$$(JOBS=$(JOBS) third_party/build.sh $(1)) && data=$$(JOBS=$(JOBS) third_party/opencc-data.sh) && \
	launcher=$$(command -v ccache 2>/dev/null || true) && \
	stamp="$$deps $$data $$launcher" && \
	if [ ! -f $(BUILD)/$(2)/build.ninja ] || [ "$$(cat $(BUILD)/$(2)/.deps 2>/dev/null)" != "$$stamp" ]; then \
	  cmake -S . -B $(BUILD)/$(2) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-$(1).cmake -DTARNWELL_DEPS=$$deps -DTARNWELL_DATA=$$data \
	    -DCMAKE_C_COMPILER_LAUNCHER=$$launcher -DCMAKE_CXX_COMPILER_LAUNCHER=$$launcher >/dev/null && \
	  echo "$$stamp" > $(BUILD)/$(2)/.deps; \
	fi
	@cmake --build $(BUILD)/$(2) -j $(JOBS)
endef

build64: setup
	$(call build_arch,x86_64,win64)

build32: setup
	$(call build_arch,i686,win32)

build: build64 build32

test: build
	@tools/test-session.sh $(BUILD)/win64 --output-on-failure -j $(JOBS) $(CTEST_ARGS)

run: build64
	@tools/run-program.sh $(BUILD)/win64/bin

bench: build64
	@tools/bench.sh $(BUILD)/win64

screenshots: build64
	@tools/screenshots.sh $(BUILD)/win64 docs/screenshots
	@TARNWELL_LOGPIXELS=144 tools/screenshots.sh $(BUILD)/win64 docs/screenshots/150
	@TARNWELL_LOGPIXELS=192 tools/screenshots.sh $(BUILD)/win64 docs/screenshots/200

dist: build
	@tools/dist.sh $(BUILD) dist

clean:
	rm -rf $(BUILD) dist
