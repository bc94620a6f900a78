# make run   - build and run the main job
# make test  - build and run every test
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= 2
PACKAGES   := cmake g++ make libgtest-dev libgmock-dev clang-format \
              qt6-base-dev qt6-qpa-plugins fonts-dejavu-core \
              libcurl4-openssl-dev python3-pyftpdlib

.PHONY: all deps configure build run test sanitize format clean

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

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
