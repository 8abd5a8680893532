# The two Quick start commands: `make run` and `make test`. Both set up the machine first.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)

.PHONY: bootstrap build run test test-release test-sanitize format-check format clean

bootstrap:
	./scripts/bootstrap.sh

build: bootstrap
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./scripts/demo.sh $(BUILD)

test: test-release test-sanitize format-check

test-release: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-sanitize: bootstrap
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDUVANTO_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

format-check: bootstrap
	git ls-files -z '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run --Werror

format:
	git ls-files -z '*.cpp' '*.h' | xargs -0 -r clang-format -i

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
