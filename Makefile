# The two Quick start commands: `make run` and `make test`. Both set up the machine first.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
RELEASE_BUILD ?= build-release
TSAN_BUILD ?= build-tsan
JOBS ?= $(shell nproc)
# Our own builds stop at any warning; a plain cmake build (a packager's) does not.
STRICT = -DDUVANTO_WARNINGS_AS_ERRORS=ON

.PHONY: bootstrap build run test test-release test-sanitize test-tsan build-release format-check format clean

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

# The desktop program's tests once under ThreadSanitizer: the runs' threads against the window.
# Slow, so not part of `make test`. Qt itself is not instrumented: tests/app/tsan.supp names the
# reports that come from inside it.
# The confirmation window's own test has no thread of its own: a run's question to it is
# MainWindowRunsTest's, which is here.
TSAN_TARGETS = app_logic_tests app_MainWindowRunsTest app_MainWindowTest app_QtAppPromptTest \
	app_QtRunBridgeTest app_MainWindowJobsTest
test-tsan: bootstrap
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug $(STRICT) \
		"-DCMAKE_CXX_FLAGS=-fsanitize=thread -O1 -fno-omit-frame-pointer" \
		"-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread"
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target $(TSAN_TARGETS)
	TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(CURDIR)/tests/app/tsan.supp" \
		ctest --test-dir $(TSAN_BUILD) --output-on-failure -j $(JOBS) \
		-R '^(app\.(MainWindowRunsTest|MainWindowTest|QtAppPromptTest|QtRunBridgeTest|MainWindowJobsTest)$$|(Run|ConfirmChanges|MainWindow).*Test\.)'

format-check: bootstrap
	git ls-files -z '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run --Werror

format:
	git ls-files -z '*.cpp' '*.h' | xargs -0 -r clang-format -i

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(RELEASE_BUILD)
