#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes a PNG of every window of the desktop program into docs/screenshots/, shown with demo
# data under Xvfb with a window manager, so that each picture is what a user would see.
# Usage: scripts/screenshots.sh [--only NAME] [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."

only=()
build=build
while [ $# -gt 0 ]; do
    case "$1" in
        --only) only=(--only "$2"); shift 2 ;;
        *) build="$1"; shift ;;
    esac
done

./scripts/bootstrap.sh --screenshots
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDUVANTO_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target duvanto_screenshots

mkdir -p docs/screenshots
xvfb-run -a -s "-screen 0 1280x860x24" bash -c '
    openbox >/dev/null 2>&1 &
    sleep 1
    "$0" --out docs/screenshots "${@}"
' "$build/tools/screenshots/duvanto_screenshots" "${only[@]}"
