# The two Quick start commands: `make run` and `make test`. Both set up the machine first.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
RELEASE_BUILD ?= build-release
JOBS ?= $(shell nproc)
# Our own builds stop at any warning; a plain cmake build (a packager's) does not.
STRICT = -DDUVANTO_WARNINGS_AS_ERRORS=ON

.PHONY: bootstrap build run test test-release test-sanitize build-release format-check format clean

bootstrap:
	./scripts/bootstrap.sh

build: bootstrap
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(STRICT)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./scripts/demo.sh $(BUILD)

test: test-release test-sanitize build-release format-check

test-release: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-sanitize: bootstrap
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDUVANTO_SANITIZE=ON $(STRICT)
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

# The Release build packagers make: its optimizer warns where the others do not (GCC 12 at -O3).
# The program alone; the tests already ran in the two builds above.
build-release: bootstrap
	cmake -S . -B $(RELEASE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DDUVANTO_BUILD_TESTS=OFF $(STRICT)
	cmake --build $(RELEASE_BUILD) -j $(JOBS)

format-check: bootstrap
	git ls-files -z '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run --Werror

format:
	git ls-files -z '*.cpp' '*.h' | xargs -0 -r clang-format -i

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(RELEASE_BUILD)
