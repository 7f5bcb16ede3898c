# One command each: `make` builds, `make test` runs every test, `make demo` shows both directions on
# samples/, `make run` opens the window. test, demo and run install what is missing first.
BUILD := build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

FUZZ_SECONDS ?= 60
FUZZ_RUNS ?= 10000
FUZZ_TARGETS := dbf centre soluc

.PHONY: all build deps test demo run bench sanitize fuzz-build fuzz fuzz-replay clean

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

# libFuzzer targets (fuzz/), in a clang build of their own. `make fuzz` runs each for FUZZ_SECONDS, growing
# a working corpus in $(BUILD)-fuzz/corpus/ from the seeds in fuzz/corpus/; what it finds is left as
# crash-* files in the current folder. `make fuzz-replay` (CI) replays the committed corpora and then runs
# each target for FUZZ_RUNS inputs with a fixed seed, so that it does the same on every machine.
fuzz-build: deps
	cmake -S . -B $(BUILD)-fuzz -G "Unix Makefiles" -DTTI_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(BUILD)-fuzz -j$(JOBS)

fuzz: fuzz-build
	@for t in $(FUZZ_TARGETS); do \
	    mkdir -p $(BUILD)-fuzz/corpus/$$t; \
	    echo "== fuzz_$$t for $(FUZZ_SECONDS) s"; \
	    $(BUILD)-fuzz/bin/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	        $(BUILD)-fuzz/corpus/$$t fuzz/corpus/$$t 2>&1 | grep -v '^aviso' | tail -12 || exit 1; \
	done

fuzz-replay: fuzz-build
	@for t in $(FUZZ_TARGETS); do \
	    echo "== fuzz_$$t: the committed corpus, then $(FUZZ_RUNS) inputs"; \
	    $(BUILD)-fuzz/bin/fuzz_$$t fuzz/corpus/$$t/* >/dev/null 2>$(BUILD)-fuzz/replay-$$t.log \
	        || { cat $(BUILD)-fuzz/replay-$$t.log; exit 1; }; \
	    rm -rf $(BUILD)-fuzz/replay-corpus; mkdir -p $(BUILD)-fuzz/replay-corpus; \
	    $(BUILD)-fuzz/bin/fuzz_$$t -runs=$(FUZZ_RUNS) -seed=1 $(BUILD)-fuzz/replay-corpus fuzz/corpus/$$t \
	        >/dev/null 2>$(BUILD)-fuzz/replay-$$t.log || { tail -40 $(BUILD)-fuzz/replay-$$t.log; exit 1; }; \
	    grep '^Done' $(BUILD)-fuzz/replay-$$t.log; \
	done

clean:
	rm -rf $(BUILD) $(BUILD)-sanitize $(BUILD)-fuzz
