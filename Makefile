# The two commands a user needs: `make run` and `make test`. Everything else is a convenience.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX ?= /usr/local
CCACHE := $(shell command -v ccache 2>/dev/null)
CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(if $(CCACHE),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

.PHONY: all setup configure build run test sanitize bench fuzz install clean

all: build

setup:
	@bash scripts/setup

configure:
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# Opens the editor on the bundled sample. Without a display it says so in one line and names the headless
# tool instead.
SAMPLE := resources/samples/welcome.pdf
run: setup build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
		echo "make run: no display (DISPLAY and WAYLAND_DISPLAY are unset); without one use: $(BUILD_DIR)/bin/pqdraw-cli convert $(SAMPLE) page.png" >&2; \
		exit 1; \
	fi
	@if [ ! -x $(BUILD_DIR)/bin/pqdraw ]; then \
		echo "make run: the editor was not built: wxWidgets is missing (make setup installs it)" >&2; exit 1; \
	fi
	@exec $(BUILD_DIR)/bin/pqdraw $(SAMPLE)

test: setup build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# Every test that needs no display, built with AddressSanitizer, UndefinedBehaviorSanitizer (no recovery)
# and LeakSanitizer in a folder of its own. tests/lsan.supp names the one-time allocations of third-party
# libraries; leaks of our own are reported.
SANITIZE_DIR ?= $(BUILD_DIR)-sanitize
SANITIZE_ENV := ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0
sanitize: setup
	@cmake -S . -B $(SANITIZE_DIR) $(CMAKE_FLAGS) -DPQ_SANITIZE=ON -DPQ_BUILD_BENCH=OFF > /dev/null
	@env $(SANITIZE_ENV) cmake --build $(SANITIZE_DIR) -j $(JOBS)
	@cd $(SANITIZE_DIR) && env $(SANITIZE_ENV) ctest --output-on-failure -j $(JOBS) -LE gui

bench: setup build
	@for b in $(BUILD_DIR)/bin/bench_*; do echo "== $$b"; $$b || exit 1; done

FUZZ_SECONDS ?= 60
fuzz: setup
	@cmake -S . -B $(BUILD_DIR)-fuzz -DCMAKE_CXX_COMPILER=clang++ -DPQ_BUILD_FUZZ=ON -DPQ_BUILD_TESTS=OFF \
		-DPQ_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
	@cmake --build $(BUILD_DIR)-fuzz -j $(JOBS)
	@for f in $(BUILD_DIR)-fuzz/bin/fuzz_*; do \
		name=$$(basename $$f); mkdir -p $(BUILD_DIR)-fuzz/corpus/$$name; \
		echo "== $$name for $(FUZZ_SECONDS) s"; \
		$$f -max_total_time=$(FUZZ_SECONDS) $(BUILD_DIR)-fuzz/corpus/$$name fuzz/seeds/$$name || exit 1; \
	done

install: build
	@cmake --install $(BUILD_DIR) --prefix $(PREFIX)

clean:
	@rm -rf $(BUILD_DIR) $(BUILD_DIR)-fuzz $(BUILD_DIR)-sanitize
