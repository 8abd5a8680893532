#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# With a display: the desktop program on a generated program folder (a Source, a Target and
# two saved tasks). Without one: the command-line runner clones a generated folder, shows the
# plan, performs it, shows the log, and shows that a second plan is empty.
set -euo pipefail
build=${1:-build}
cli="$build/src/cli/duvanto-cli"
gui="$build/src/app/duvanto"
demo=$(mktemp -d "${TMPDIR:-/tmp}/duvanto-demo-XXXXXX")
source="$demo/Source"
target="$demo/Target"
home="$demo/home"

mkdir -p "$source/photos/2024" "$source/notes" "$target/old stuff"
for i in 1 2 3; do echo "photo $i" > "$source/photos/2024/img_$i.jpg"; done
echo "shopping list" > "$source/notes/todo.txt"
echo "readme" > "$source/README.txt"
echo "stale" > "$target/old stuff/stale.txt"
echo "outdated" > "$target/README.txt"
touch -d '2020-01-01' "$target/README.txt"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$gui" ]; then
    echo "== A display is available: starting the desktop program on the demo folder $home"
    "$cli" --home "$home" add "Demo Task" --source "$source" --target "$target" \
        --schedule days:1@09:00 >/dev/null
    mkdir -p "$target/notes"
    "$cli" --home "$home" add "Notes Only" --source "$source/notes" --target "$target/notes" \
        >/dev/null
    echo "   (its first start: the window, the quick-start help and a warning; closing the"
    echo "   window sends it to the tray, whose menu has Shut Down Duvanto)"
    "$gui" --home "$home"
    rm -rf "$demo"
    exit 0
fi
echo "== No display (neither DISPLAY nor WAYLAND_DISPLAY is set): the command-line demo"

echo "== Source $source and Target $target"
echo "== duvanto-cli plan (changes nothing):"
"$cli" --home "$home" plan "$source" "$target" --delete regular
echo "== duvanto-cli clone:"
"$cli" --home "$home" clone "$source" "$target" --delete regular --name "Demo"
echo "== clone.log:"
cat "$home/clone.log"
echo "== a second plan has nothing to do:"
"$cli" --home "$home" plan "$source" "$target" --delete regular
echo "(nothing above means the folders are identical)"

echo "== a saved task: add, list, run"
"$cli" --home "$home" add "Demo Task" --source "$source" --target "$target" --schedule days:1@09:00
echo "new note" > "$source/notes/new.txt"
"$cli" --home "$home" list
"$cli" --home "$home" run "Demo Task" --quiet
echo "== a report of the differences (none left) is written here:"
"$cli" --home "$home" report "Demo Task" --out "$demo/report.html"
echo "== restore a lost file from the Target:"
rm "$source/README.txt"
"$cli" --home "$home" restore "Demo Task" README.txt
ls "$source"
rm -rf "$demo"
