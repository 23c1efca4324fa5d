# Tessal — set-up, build, run and test. `make run` and `make test` do everything on a fresh
# Debian machine, installing what is missing first.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
# Downloads that Debian does not package (text recognition), outside the checkout.
export TESSAL_CACHE ?= $(HOME)/.cache/tessal-build
CMAKE_FLAGS += -DTESSAL_OCR_DIR=$(TESSAL_CACHE)/ocr
ifeq ($(CI),true)
CMAKE_FLAGS += -DTESSAL_WERROR=ON
endif

.PHONY: deps configure build run test test-sanitize bench package bundle format clean

deps:
	@bash scripts/deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD)

run: build
	@bash scripts/run.sh $(BUILD)/tessal

test: build
	@cd $(BUILD) && ctest --output-on-failure -j2 -L 'unit|widget|system'
	@$(MAKE) --no-print-directory test-sanitize

# The unit and widget tiers again, built with address and undefined-behaviour sanitizers. This
# tree compiles its sources in batches (a unity build: 248 s instead of 572 s from clean here); the main tree, built one
# file at a time, is the one that turns warnings into errors.
test-sanitize: deps
	@cmake -S . -B $(BUILD)-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSAL_SANITIZE=ON \
		-DTESSAL_BENCH=OFF $(CMAKE_FLAGS) -DCMAKE_UNITY_BUILD=ON -DTESSAL_WERROR=OFF >/dev/null
	@cmake --build $(BUILD)-asan --target tessal_unit_tests tessal_widget_tests tessal_update_tests tessal-update-probe \
		tessal-update-helper
	@cd $(BUILD)-asan && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -L 'unit|widget'

bench: build
	@bash scripts/deps.sh bench
	@bash bench/run.sh $(BUILD)

# The Debian package (update channel off: the package manager updates it), from a tree built
# without tests, so that it looks for its helpers and models only where it is installed.
package: deps
	@cmake -S . -B $(BUILD)-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSAL_TESTS=OFF \
		-DTESSAL_BENCH=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD)-package
	@cd $(BUILD)-package && cpack -G DEB >/dev/null && ls -1 $$PWD/tessal_*.deb

# The per-user bundle with the update channel on, signed with TESSAL_SIGNING_KEY (a PEM Ed25519
# key; without one a key for this machine is made once in $(BUILD)-bundle and kept there).
SIGNING_KEY ?= $(if $(TESSAL_SIGNING_KEY),$(TESSAL_SIGNING_KEY),$(BUILD)-bundle/signing-key.pem)
bundle: build
	@test -f "$(SIGNING_KEY)" || { mkdir -p $(BUILD)-bundle && \
		$(BUILD)/tessal-bundle-sign keygen "$(SIGNING_KEY)" >/dev/null && \
		echo "bundle: no TESSAL_SIGNING_KEY; made $(SIGNING_KEY) (keep it to sign later bundles)"; }
	@cmake -S . -B $(BUILD)-bundle -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSAL_TESTS=OFF \
		-DTESSAL_BENCH=OFF -DTESSAL_UPDATE_CHANNEL=ON \
		-DTESSAL_RELEASE_PUBLIC_KEY=$$($(BUILD)/tessal-bundle-sign public "$(SIGNING_KEY)") \
		$(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD)-bundle
	@bash scripts/bundle.sh $(BUILD)-bundle $(BUILD)-bundle "$(SIGNING_KEY)"

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	@rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-package $(BUILD)-bundle/CMakeFiles
