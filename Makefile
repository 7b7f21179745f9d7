# The README's commands. Each one installs what it lacks, configures, builds and runs.
TEST_DIR  := build/test
REL_DIR   := build/release
FUZZ_DIR  := build/fuzz
WIN_DIR   := build/windows
# Seconds each fuzz target runs: `make fuzz FUZZ_SECONDS=600` for a longer hunt.
FUZZ_SECONDS ?= 20
CMAKE_GEN := -G Ninja

.PHONY: deps run test bench fuzz package windows clean

deps:
	@scripts/install-deps.sh

# KAVO_WERROR=ON (CI sets it) turns every warning into an error.
KAVO_WERROR ?= OFF

$(REL_DIR)/build.ninja: | deps
	cmake -S . -B $(REL_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DKAVO_WERROR=$(KAVO_WERROR)

$(TEST_DIR)/build.ninja: | deps
	cmake -S . -B $(TEST_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DKAVO_SANITIZE=ON -DKAVO_WAYLAND=ON \
	  -DKAVO_WERROR=$(KAVO_WERROR)

$(FUZZ_DIR)/build.ninja: | deps
	cmake -S . -B $(FUZZ_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++ -DKAVO_FUZZ=ON -DKAVO_WERROR=$(KAVO_WERROR)

run: deps $(REL_DIR)/build.ninja
	cmake --build $(REL_DIR) --target kavo
	$(REL_DIR)/app/kavo

test: deps $(TEST_DIR)/build.ninja $(REL_DIR)/build.ninja
	cmake --build $(TEST_DIR)
	scripts/test-user.sh >/dev/null
	cd $(TEST_DIR) && ctest --output-on-failure
	scripts/windows-tests.sh
	$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=20
	scripts/package-test.sh $(REL_DIR) $(TEST_DIR)

# The Debian package, from the release build: build/release/kavo_<version>_<arch>.deb.
package: deps $(REL_DIR)/build.ninja
	cmake --build $(REL_DIR) --target kavo_package
	cd $(REL_DIR) && cpack -G DEB

# The Windows bar: build/windows-release/Kavo-<version>-windows-x64.zip (portable) and
# Kavo-<version>-setup.exe (per-user installer), against Qt for Windows built once from Debian's
# source (scripts/qt-windows.sh).
windows: deps
	scripts/windows-package.sh

fuzz: deps $(FUZZ_DIR)/build.ninja
	cmake --build $(FUZZ_DIR)
	scripts/run-fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

bench: deps $(REL_DIR)/build.ninja
	cmake --build $(REL_DIR) --target benchmarks
	$(REL_DIR)/bench/kavo_core_bench
	$(REL_DIR)/bench/kavo_ui_bench
	$(REL_DIR)/bench/kavo_desktop_bench
	if [ -x $(REL_DIR)/bench/kavo_wayland_bench ]; then $(REL_DIR)/bench/kavo_wayland_bench; fi
	# The Windows build under Wine, where make test made one.
	if [ -d $(WIN_DIR)/portable/Kavo ]; then \
	  cmake --build $(WIN_DIR) --target kavo_portable kavo_reference_bar_windows && \
	  $(REL_DIR)/bench/kavo_wine_bench $(WIN_DIR)/portable/Kavo \
	    $(WIN_DIR)/bench/windows/kavo_reference_bar_windows.exe; fi

clean:
	rm -rf build
