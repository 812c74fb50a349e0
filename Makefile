# Two entry points: `make run` and `make test`. Both install what is missing first.
BUILD ?= build
SAN_BUILD ?= build-sanitize
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: run test test-sanitize build setup bench package test-package clean format

setup:
	@scripts/bootstrap

$(BUILD)/build.ninja: | setup
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: setup $(BUILD)/build.ninja
	cmake --build $(BUILD)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	    echo "Praxora is a desktop program and needs a graphical session (no DISPLAY or WAYLAND_DISPLAY is set)."; \
	    exit 1; \
	fi
	$(BUILD)/bin/praxora

# Engine tests need an X server; xvfb-run gives every run its own.
test: build
	cd $(BUILD) && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure

test-sanitize: setup
	cmake -S . -B $(SAN_BUILD) $(CMAKE_FLAGS) -DPRAXORA_SANITIZE=ON
	cmake --build $(SAN_BUILD)
	cd $(SAN_BUILD) && ASAN_OPTIONS=detect_leaks=0 xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure

bench: build
	cmake --build $(BUILD) --target benchmarks
	scripts/run-benchmarks $(BUILD)

package: build
	cd $(BUILD) && cpack -G DEB

# The package through lintian, appstreamcli and desktop-file-validate, then the program
# started from an extracted copy under Xvfb; nothing is installed.
test-package: package
	scripts/check-package $(BUILD)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SAN_BUILD)

# libFuzzer run of the record reader, bounded in time; needs clang.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
.PHONY: fuzz
fuzz: setup
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_FLAGS) -DPRAXORA_FUZZ=ON
	cmake --build $(FUZZ_BUILD) --target fuzz_read_utf8
	mkdir -p $(FUZZ_BUILD)/fuzz-corpus
	ASAN_OPTIONS=detect_leaks=0 $(FUZZ_BUILD)/bin/fuzz_read_utf8 -max_total_time=$(FUZZ_SECONDS) \
	    -max_len=65536 $(FUZZ_BUILD)/fuzz-corpus
