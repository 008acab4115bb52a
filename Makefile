# Two commands set everything up on a fresh Debian machine:
#   make run   installs what is missing, builds and starts the program
#   make test  the same, then runs every test
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
BENCH_DIR ?= build-bench
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
ifdef CI
CMAKE_FLAGS += -DQV_WERROR=ON
endif
# Rebuilds of the same sources (several work trees, the sanitizer build) come from ccache when
# it is installed; nothing needs it.
ifneq ($(shell command -v ccache 2>/dev/null),)
CMAKE_FLAGS += -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
endif

.PHONY: all deps configure build run test test-sanitize check-format bench fuzz format clean package

all: build

deps:
	@bash scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR)

run: build
	$(BUILD_DIR)/bin/quorvane

test: check-format build test-sanitize
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

# Every test again, the windows and the soak's short run included, with the program's own code
# under AddressSanitizer and UndefinedBehaviorSanitizer (Qt's code is not built with them).
test-sanitize: deps
	@cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=ON \
	    $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(SANITIZE_DIR)
	@cd $(SANITIZE_DIR) && ctest --output-on-failure -j2

# The table of speed and memory figures, each beside a floor measured in the same run: a Release
# build in build-bench, three generated tables (10,000, 100,000 and 1,000,000 rows of 8 columns,
# made once), a wide one (one row, 1,000,000 columns) and, with 3 GB free, one of 10,000,000
# rows (about 541 MB) in build-bench/bench-data, then
# bench_table.
bench:
	@bash scripts/install-deps bench
	@cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BENCH_DIR) --target bench_table qv_generate_table
	@mkdir -p $(BENCH_DIR)/bench-data
	@for rows in 10000 100000 1000000; do \
	    file=$(BENCH_DIR)/bench-data/table-$$rows.qvd; \
	    [ -f $$file ] || $(BENCH_DIR)/bin/qv_generate_table $$rows 9 $$file 1 || exit 1; \
	done
	@[ -f $(BENCH_DIR)/bench-data/table-wide-1000000.qvd ] || \
	    $(BENCH_DIR)/bin/qv_generate_table 1 1000001 $(BENCH_DIR)/bench-data/table-wide-1000000.qvd 1
	@big=$(BENCH_DIR)/bench-data/table-10000000.qvd; \
	if [ ! -f $$big ]; then \
	    if [ "$$(df -Pk $(BENCH_DIR)/bench-data | awk 'NR == 2 { print $$4 }')" -ge 3145728 ]; then \
	        $(BENCH_DIR)/bin/qv_generate_table 10000000 9 $$big 1 || exit 1; \
	    else \
	        echo "bench: less than 3 GB free, so no 10,000,000-row table: its lines are skipped"; \
	    fi; \
	fi
	@QT_QPA_PLATFORM=offscreen $(BENCH_DIR)/bin/bench_table $(BENCH_DIR)/bench-data

# The Debian package in $(BUILD_DIR), checked by desktop-file-validate, appstreamcli and lintian.
package: configure
	@bash scripts/install-deps package
	@cmake --build $(BUILD_DIR)
	@cd $(BUILD_DIR) && cpack -G DEB >/dev/null
	@desktop-file-validate desktop/quorvane.desktop
	@appstreamcli validate --no-net desktop/org.quorvane.quorvane.metainfo.xml
	@lintian --info $(BUILD_DIR)/quorvane_*.deb

fuzz: deps
	@fuzz/run $${SECONDS_PER_TARGET:-60}

# Every tracked C++ file as .clang-format lays it out; `make format` mends them.
check-format: deps
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(BENCH_DIR) build-fuzz
