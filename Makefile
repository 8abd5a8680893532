# The two Quick start commands: `make run` and `make test`. Both set up the machine first.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
RELEASE_BUILD ?= build-release
TSAN_BUILD ?= build-tsan
JOBS ?= $(shell nproc)
# Our own builds stop at any warning; a plain cmake build (a packager's) does not.
STRICT = -DDUVANTO_WARNINGS_AS_ERRORS=ON

# The check that every source file carries its licence line (scripts/add-spdx.sh adds them):
# 1 runs it in format-check (the default), 0 leaves it out.
CHECK_SPDX ?= 1

.PHONY: bootstrap bootstrap-build configure build build-all run test test-release test-sanitize test-tsan \
	build-release package test-package format-check format clean

# Everything the build and the tests need.
bootstrap:
	./scripts/bootstrap.sh

# What configuring and building need: a first `make run` does not wait for the tests' tools.
bootstrap-build:
	./scripts/bootstrap.sh --build

configure: bootstrap-build
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(STRICT)

# The two programs alone, so that `make run` does not wait for the tests to build.
build: configure
	cmake --build $(BUILD) -j $(JOBS) --target duvanto_programs

build-all: bootstrap configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./scripts/demo.sh $(BUILD)

test: test-release test-sanitize test-package format-check

test-release: build-all
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-sanitize: bootstrap
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDUVANTO_SANITIZE=ON $(STRICT)
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

# The Release build packagers make: its optimizer warns where the others do not (GCC 12 at -O3).
# The program alone; the tests already ran in the two builds above.
build-release: bootstrap-build
	cmake -S . -B $(RELEASE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DDUVANTO_BUILD_TESTS=OFF $(STRICT)
	cmake --build $(RELEASE_BUILD) -j $(JOBS)

# The .deb of the Release build, $(RELEASE_BUILD)/duvanto_VERSION_ARCH.deb.
package: build-release
	rm -f $(RELEASE_BUILD)/duvanto_*.deb
	cd $(RELEASE_BUILD) && cpack -G DEB

# The package as lintian, dpkg and a user see it.
test-package: bootstrap package
	./packaging/check-package.sh $(RELEASE_BUILD)/duvanto_*.deb CHANGELOG.md

# The desktop program's tests once under ThreadSanitizer: the runs' threads against the window.
# Slow, so not part of `make test`. Qt itself is not instrumented: tests/app/tsan.supp names the
# reports that come from inside it.
# The confirmation window's own test has no thread of its own: a run's question to it is
# MainWindowRunsTest's, which is here.
TSAN_TARGETS = app_logic_tests app_MainWindowRunsTest app_MainWindowTest app_QtRunBridgeTest
test-tsan: bootstrap
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug $(STRICT) \
		"-DCMAKE_CXX_FLAGS=-fsanitize=thread -O1 -fno-omit-frame-pointer" \
		"-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread"
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target $(TSAN_TARGETS)
	TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(CURDIR)/tests/app/tsan.supp" \
		ctest --test-dir $(TSAN_BUILD) --output-on-failure -j $(JOBS) \
		-R '^(app\.(MainWindowRunsTest|MainWindowTest|QtRunBridgeTest)$$|(Run|ConfirmChanges|MainWindow).*Test\.)'

format-check: bootstrap
	git ls-files -z '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run --Werror
ifeq ($(CHECK_SPDX),1)
	./scripts/add-spdx.sh --check
endif

format:
	git ls-files -z '*.cpp' '*.h' | xargs -0 -r clang-format -i

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(RELEASE_BUILD)
