#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs two builds of duvanto-cli through the same commands on the same trees and says whether
# everything they print and write is the same, byte for byte: plan, clone (with the clone log,
# its timestamps masked), the confirmation list, list, run, due, add, remove, report (the page,
# its date masked), restore, options, help and the refusals. For changes that must not change
# what a user sees: build the old tree once, keep its duvanto-cli, and compare after each step.
#
#   scripts/compare-runner.sh OLD_CLI NEW_CLI [WORK]
#
# WORK (default: a new temporary folder, removed afterwards) holds the trees and both runs'
# outputs; on a difference it is kept and `diff -r` shows where. Exit status 0: the same.
set -euo pipefail

if [ $# -lt 2 ]; then
    sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
fi
OLD=$(realpath "$1")
NEW=$(realpath "$2")
HERE=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -ge 3 ]; then
    WORK=$3
    rm -rf "$WORK"
    mkdir -p "$WORK"
    KEEP=1
else
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/duvanto-compare-XXXXXX")
    KEEP=0
fi
WORK=$(realpath "$WORK")
export LC_ALL=C.UTF-8 TZ=UTC0

mkdir -p "$WORK/bin"
g++ -O2 -std=c++20 -o "$WORK/bin/gen_tree" "$HERE/bench/gen_tree.cpp"

# The trees both builds work on: a Source, and a Target that drifted from it in every way a
# run has to repair, plus names that test the escaping of lines.
FIX=$WORK/fixture
mkdir -p "$FIX"
"$WORK/bin/gen_tree" create "$FIX/S" --rng 7 --files 300 --folders 30 --depth 4 >/dev/null
mkdir -p "$FIX/S/odd" "$FIX/S/.hidden folder" "$FIX/S/kind clash" "$FIX/S/selected/deeper"
printf 'a' >"$FIX/S/odd/line"$'\n'"break.txt"
printf 'b' >"$FIX/S/odd/back\\slash and \"quote\".txt"
printf 'c' >"$FIX/S/odd/esc"$'\e'"[31mred.txt"
printf 'd' >"$FIX/S/.hidden folder/inside.txt"
printf 'e' >"$FIX/S/kind clash/was a folder"
printf 'f' >"$FIX/S/selected/one.txt"
printf 'g' >"$FIX/S/selected/two.doc"
printf 'h' >"$FIX/S/selected/deeper/three.txt"
ln -s "../odd/target text" "$FIX/S/odd/a link"
touch -d '2020-01-02 03:04:05' "$FIX/S/odd/"* "$FIX/S/.hidden folder/inside.txt" \
    "$FIX/S/kind clash/was a folder" "$FIX/S/selected/one.txt" "$FIX/S/selected/two.doc" \
    "$FIX/S/selected/deeper/three.txt"
cp -a "$FIX/S" "$FIX/T"
"$WORK/bin/gen_tree" mutate "$FIX/T" --rng 8 --mutate 10 >/dev/null
rm -f "$FIX/T/kind clash/was a folder"
mkdir -p "$FIX/T/kind clash/was a folder/inner" "$FIX/T/orphan folder/deeper"
printf 'o' >"$FIX/T/orphan folder/deeper/orphan.txt"
printf 'changed' >"$FIX/T/selected/one.txt"
rm "$FIX/T/odd/a link"
ln -s "old text" "$FIX/T/odd/a link"
printf 'stray' >"$FIX/T/.duvanto-copy-0123456789abcdef.tmp"

# One build's run of every command; outputs go to $RUN/out, paths below $RUN shown as "~".
run_all() {
    local cli=$1 RUN=$2
    rm -rf "$RUN"
    mkdir -p "$RUN/out" "$RUN/home" "$RUN/data"
    export XDG_DATA_HOME="$RUN/data" XDG_RUNTIME_DIR="$RUN/runtime"
    mkdir -p "$XDG_RUNTIME_DIR"
    local n=0
    # c NAME [INPUT] -- ARGS...: runs the runner, keeps stdout, stderr and the exit status.
    c() {
        local name=$1 input=""
        shift
        if [ "$1" != "--" ]; then
            input=$1
            shift
        fi
        shift
        n=$((n + 1))
        local base
        base=$RUN/out/$(printf '%02d' $n)-$name
        set +e
        printf '%b' "$input" | "$cli" --home "$RUN/home" "$@" >"$base.out" 2>"$base.err"
        echo $? >"$base.status"
        set -e
    }
    for t in T1 T2 T3 T4 T5 T6; do
        cp -a "$FIX/T" "$RUN/$t"
    done
    cp -a "$FIX/S" "$RUN/S"
    local S=$RUN/S

    c help -- --help
    c help-clone -- clone --help
    c version -- --version
    c bad-usage -- plan "$S"
    c bad-compare -- plan "$S" "$RUN/T1" --compare sometimes
    c missing-folder -- plan "$S" "$RUN/missing"
    c into-itself -- clone "$S" "$S/odd"
    c plan-default -- plan "$S" "$RUN/T1"
    c plan-regular -- plan "$S" "$RUN/T1" --delete regular --no-ignore-hidden-folders
    c plan-size -- plan "$S" "$RUN/T1" --compare size --delete none
    c plan-contents -- plan "$S" "$RUN/T1" --compare contents --no-ignore-2s
    c plan-crc -- plan "$S" "$RUN/T1" --compare crc32 --newer-only
    c plan-flat -- plan "$S" "$RUN/T1" --no-subfolders --delete regular
    c plan-selected -- plan "$S" "$RUN/T1" --delete regular --select selected/ \
        --select odd/a\ link --select gone.txt --mask '*.txt'
    c clone -- clone "$S" "$RUN/T1" --delete regular --quiet --name "First run"
    c plan-after -- plan "$S" "$RUN/T1" --delete regular
    c clone-trash-safe -- clone "$S" "$RUN/T2" --copy safe --quiet
    c clone-secure-keep -- clone "$S" "$RUN/T3" --delete secure --copy keep-created --quiet
    c clone-confirm "1 3-5 9\n" -- clone "$S" "$RUN/T4" --delete regular --confirm --quiet
    c clone-selected -- clone "$S" "$RUN/T5" --delete regular --select selected/ \
        --select missing.txt --mask '*.doc' --quiet
    c clone-new-target -- clone "$S" "$RUN/new target" --delete regular
    c options-first -- options

    # Task commands on a list of their own.
    c add-manual -- add "Manual job" --source "$S" --target "$RUN/T6" --target "$RUN/new 2"
    c add-weekly -- add "Weekly" --source "$S" --target "$RUN/T6" \
        --schedule weekdays:mon,thu@09:30 --select selected/ --mask '*.txt'
    c add-bad-name -- add "a/b" --source "$S" --target "$RUN/T6"
    c add-duplicate -- add "manual JOB" --source "$S" --target "$RUN/T6"
    c add-bad-schedule -- add "X" --source "$S" --target "$RUN/T6" --schedule minutes:2
    c add-into-itself -- add "Y" --source "$S" --target "$S/odd"
    c add-no-target -- add "Z" --source "$S"
    c list -- list
    c run -- run "Manual job" --quiet
    c run-missing -- run "Nobody"
    c report -- report "Weekly" --out "$RUN/report.html"
    c restore -- restore "Manual job" selected/one.txt .
    c remove -- remove "Weekly"
    c remove-missing -- remove "Weekly"
    c list-after -- list
    c remove-last -- remove "Manual job"
    c list-empty -- list
    # A list with a task that fell due long ago, for the scheduler's tick.
    printf '%s\r\n' "Due job~!@#$S~!@#$RUN/T6~!@#True~!@#12:00:00 PM~!@#2~!@#3~!@#1/1/2020 12:00:00 PM~!@#1/1/2020 3:00:00 PM~!@#False~!@#True~!@#127~!@#" \
        "Broken line" >"$RUN/due.dvt"
    c due -- due --task-list "$RUN/due.dvt" --quiet
    c due-again -- due --task-list "$RUN/due.dvt" --quiet
    c list-due -- list --task-list "$RUN/due.dvt"
    printf '[Comparison]\r\nCompareType=Size\r\n[Miscellaneous]\r\nCopyMethod=7\r\n' \
        >"$RUN/home/duvanto.ini"
    c options-broken -- options
    c clone-broken-options -- clone "$S" "$RUN/T6" --quiet

    # What the runs left behind: the log, the lists, the trees.
    cp "$RUN/home/clone.log" "$RUN/out/clone.log"
    for f in "$RUN/home/"*.dvt "$RUN"/due.dvt* "$RUN/report.html"; do
        [ -e "$f" ] && cp "$f" "$RUN/out/$(basename "$f")"
    done
    (cd "$RUN/home" && find . | sort) >"$RUN/out/home.files"
    for t in T1 T2 T3 T4 T5 T6 "new target" "new 2" S; do
        [ -d "$RUN/$t" ] || continue
        (cd "$RUN/$t" && find . -printf '%P|%y|%m|%s|%T@|%l\n' | sort) >"$RUN/out/tree-$t"
    done
    (cd "$RUN/data" && find . -printf '%P|%y|%s\n' | sed 's/\.[0-9]*\.trashinfo/.N.trashinfo/' |
        sort) >"$RUN/out/trash"
    # The same text whichever folder the run had and whenever it ran.
    local f
    for f in "$RUN/out/"*; do
        sed -i -E -e "s#$RUN#~#g" \
            -e 's#[0-9]{1,2}/[0-9]{1,2}/[0-9]{4} [0-9]{1,2}:[0-9]{2}:[0-9]{2} [AP]M#<date>#g' \
            -e 's#[0-9]{12}\t#<key>\t#g' -e 's#DeletionDate=.*#DeletionDate=<date>#' \
            -e 's#/rpt[0-9a-f]+\.html#/rpt<hex>.html#' "$f"
    done
    # Times of what a run wrote now (folders it made, files it copied keep the Source's).
    for f in "$RUN/out/"tree-*; do
        awk -F'|' -v OFS='|' '$2 == "d" { $5 = "<time>" } { print }' "$f" >"$f.tmp"
        mv "$f.tmp" "$f"
    done
}

run_all "$OLD" "$WORK/old"
run_all "$NEW" "$WORK/new"

if diff -r "$WORK/old/out" "$WORK/new/out" >"$WORK/diff.txt"; then
    echo "same: $(ls "$WORK/old/out" | wc -l) outputs of $OLD and $NEW are byte for byte equal"
    [ "$KEEP" = 1 ] || rm -rf "$WORK"
    exit 0
fi
echo "DIFFERENT: see $WORK/diff.txt" >&2
head -60 "$WORK/diff.txt" >&2
exit 1
