# Two commands set everything up on a fresh Debian machine:
#   make run   installs what is missing, builds and starts the program
#   make test  the same, then runs every test
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
ifdef CI
CMAKE_FLAGS += -DQV_WERROR=ON
endif

.PHONY: all deps configure build run test test-sanitize bench fuzz format clean

all: build

deps:
	@bash scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR)

run: build
	$(BUILD_DIR)/bin/quorvane

test: build test-sanitize
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

# The core, the command-line companion and the fuzz corpus again under AddressSanitizer and
# UndefinedBehaviorSanitizer (no windows: Qt's own code is not built with them).
test-sanitize: deps
	@cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=ON \
	    -DQV_BUILD_GUI=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(SANITIZE_DIR)
	@cd $(SANITIZE_DIR) && ctest --output-on-failure -j2

fuzz: deps
	@fuzz/run $${SECONDS_PER_TARGET:-60}

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) build-fuzz
