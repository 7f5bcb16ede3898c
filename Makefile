# One command each: `make` builds, `make test` runs every test, `make demo` shows both directions on
# samples/, `make run` opens the window. test, demo and run install what is missing first.
BUILD := build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all build deps test demo run bench sanitize clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -G "Unix Makefiles"

build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)

test: deps
	@$(MAKE) --no-print-directory build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

demo: deps
	@$(MAKE) --no-print-directory build
	@scripts/demo

run: deps
	@$(MAKE) --no-print-directory build
	$(BUILD)/bin/TransTavelinoItaca

# The conversion run on synthetic schools of sizes 1 and 10 (see bench/).
bench: deps
	@$(MAKE) --no-print-directory build
	$(BUILD)/bin/benchmark $(BUILD)/bin/generate_centre $(BUILD)/bin/TransTavelinoItaca-batch

# The engine's tests under AddressSanitizer and UndefinedBehaviorSanitizer, in a build of their own.
sanitize: deps
	cmake -S . -B $(BUILD)-sanitize -G "Unix Makefiles" -DTTI_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(BUILD)-sanitize -j$(JOBS)
	cd $(BUILD)-sanitize && LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp ctest --output-on-failure -j$(JOBS)

clean:
	rm -rf $(BUILD) $(BUILD)-sanitize
