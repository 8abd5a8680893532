#!/usr/bin/env bash
# The main job until the desktop program exists: the command-line runner clones a generated
# folder. Shows the plan, performs it, shows the log, and shows that a second plan is empty.
set -euo pipefail
build=${1:-build}
cli="$build/src/cli/duvanto-cli"
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
