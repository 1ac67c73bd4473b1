# meshshade: `make run` starts the viewer, `make test` runs every test.
# Both install what is missing and build first.

BUILD := build
SANITIZE_BUILD := build-sanitize
CONFIGURE := cmake -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: run test deps build test-sanitize fuzz bench

deps:
	@scripts/install-deps

build: deps
	@$(CONFIGURE) -S . -B $(BUILD) >/dev/null
	@cmake --build $(BUILD)

run: build
	@scripts/run-viewer $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure --parallel 2 --timeout 300
