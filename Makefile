# make run   - build and run the main job
# make test  - build and run every test
# make fuzz  - build the fuzz targets with clang and run each FUZZ_SECONDS
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
# Empty: every target.
FUZZ_TARGETS ?=
JOBS       ?= 2
PACKAGES   := cmake g++ make libgtest-dev libgmock-dev clang-format \
              qt6-base-dev qt6-qpa-plugins fonts-dejavu-core \
              libcurl4-openssl-dev python3-pyftpdlib clang libclang-rt-14-dev

.PHONY: all deps configure build run test sanitize fuzz format clean

all: build

deps:
	@tools/install-deps.sh $(PACKAGES)

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	@tools/run-demo.sh $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# The tests again, built with the address and undefined-behaviour sanitizers.
sanitize: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DREGWIZ_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j$(JOBS)
	@cd $(ASAN_BUILD) && ctest --output-on-failure -j$(JOBS)

# libFuzzer targets (tests/fuzz), each over a scratch copy of its seed corpus.
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DREGWIZ_FUZZ=ON -DREGWIZ_GUI=OFF -DREGWIZ_TESTS=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j$(JOBS) --target regwiz_fuzzers
	@tools/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
