# The two commands of the README. Each installs what it needs, configures and builds.
BUILD ?= build
JOBS  ?= $(shell nproc)
FUZZ_SECONDS ?= 5
# The soak's wall-clock budget; CI allows it a minute at most, start-up and ends included.
SOAK_SECONDS ?= 30
# WERROR=1 makes every warning an error (CI sets it); CMAKE_FLAGS go to every configure step.
WERROR ?= 0
CMAKE_FLAGS ?=
CONFIGURE_FLAGS = -DVYRE_WERROR=$(if $(filter 1 ON on yes,$(WERROR)),ON,OFF) $(CMAKE_FLAGS)

.PHONY: run test build deps check fuzz asan sanitize bench clean package package-check install soak

deps:
	@bash scripts/deps.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja $(CONFIGURE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# Runs the launcher on the user's own toolbars in ~/.config/vyrelight, never in $(BUILD),
# which `make clean` removes.
run: build
	@bash scripts/run.sh $(BUILD)/vyrelight

# A Debian package, build/vyrelight_<version>_<arch>.deb, its dependencies computed.
package: build
	cd $(BUILD) && cpack -G DEB

# The package unpacked and its program run as installed (CI runs it after the tests).
package-check: package
	bash tests/e2e/installed_package.bash $(BUILD)/vyrelight

# Installs the stripped program with its menu entry, icon, metainfo and man page under
# PREFIX (default /usr/local).
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --strip --prefix $(PREFIX)

# Everything CI runs: sanitized store and formats tests, bounded fuzzing, the whole
# test suite with the soak beside it. The soak mostly waits on its own X server, as the
# end-to-end scripts wait on theirs, so running it with them costs little; its log is
# shown once both are done, whole if it failed.
test: asan fuzz build
	cmake --build $(BUILD) -j $(JOBS) --target vyre_check_headers
	bash tests/soak/soak.sh $(BUILD)/vyrelight $(SOAK_SECONDS) > $(BUILD)/soak.log 2>&1 & soak=$$!; \
	  (cd $(BUILD) && ctest --output-on-failure -j $(JOBS)); suite=$$?; \
	  if wait $$soak; then tail -n 2 $(BUILD)/soak.log; else cat $(BUILD)/soak.log; echo "soak FAILED"; exit 1; fi; \
	  exit $$suite

# Also compiles the headers of each layer apart from its sources, which catches an upward
# include in a header.
check: build
	cmake --build $(BUILD) -j $(JOBS) --target vyre_check_headers
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The real launcher under random use and random ends for SOAK_SECONDS (see tests/soak).
# A fixed seed when $$CI is set, a random one otherwise; SOAK_SEED=n repeats a run.
soak: build
	bash tests/soak/soak.sh $(BUILD)/vyrelight $(SOAK_SECONDS)

# One clang build with AddressSanitizer and UndefinedBehaviorSanitizer of the Qt-free
# layers, the store and the formats: their tests and every fuzzer (only these libraries
# carry the fuzzers' coverage instrumentation). `make asan` runs the tests, `make fuzz`
# the fuzzers; any sanitizer report fails them.
sanitize: deps
	CC=clang CXX=clang++ cmake -S . -B build-sanitize -G Ninja -DVYRE_STORE_ONLY=ON -DVYRE_FUZZ=ON \
	      -DVYRE_SANITIZE=address,undefined -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-gline-tables-only -O1" \
	      $(CONFIGURE_FLAGS)
	cmake --build build-sanitize -j $(JOBS)

asan: sanitize
	cd build-sanitize && ctest --output-on-failure -j $(JOBS)

# Every fuzzer for FUZZ_SECONDS, JOBS at a time, each after replaying its corpus.
fuzz: sanitize
	JOBS=$(JOBS) bash scripts/fuzz.sh build-sanitize $(FUZZ_SECONDS)

bench: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVYRE_TESTS=OFF -DVYRE_BENCH=ON \
	      $(CONFIGURE_FLAGS)
	cmake --build build-bench -j $(JOBS)
	bash bench/startup.sh build-bench
	build-bench/bench/vyre_bench_store
	build-bench/bench/vyre_bench_icons
	build-bench/bench/vyre_bench_button_editor --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	for i in 1 2 3 4 5; do build-bench/bench/vyre_bench_button_editor --benchmark_filter=First; done
	for i in 1 2 3 4 5; do build-bench/bench/vyre_bench_toolbar_editor --benchmark_filter=First; done

clean:
	rm -rf $(BUILD) build-sanitize build-bench
