#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Duvanto benchmark runner. See bench/README.md.
#
#   bench/run.sh [--scenario plan|s1|s1-large|s2|s3|s4|list|log|all|LIST] [--work DIR]
#                [--cli PATH] [--runs N] [--warmup N] [--files N] [--folders N] [--depth K]
#                [--rng N] [--mutate PCT] [--large-files N] [--large-size SZ]
#                [--s4-fs work|xfs|btrfs] [--tasks N] [--cli-before PATH] [--log-open PATH]
#                [--log-open-before PATH] [--log-mb N] [--regen] [--clean] [--no-install]
#
# Every contender runs as a whole process, --runs times after --warmup untimed runs, on a warm
# cache; the table shows medians. Trees are made by gen_tree from --rng and are reused while the
# options that made them are unchanged.
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
REPO=$(dirname "$HERE")

SCENARIOS=plan
WORK=/tmp/duvanto-bench
CLI=$REPO/build/src/cli/duvanto-cli
RUNS=5
WARMUP=1
FILES=100000
FOLDERS=5000
DEPTH=6
RNG=1
MUTATE=1
LARGE_FILES=20
LARGE_SIZE=100M
TASKS=100000
CLI_BEFORE=
LOG_OPEN=$REPO/build/bench/log_open
LOG_OPEN_BEFORE=
LOG_MB=10
S4_FS=work
REGEN=0
CLEAN=0
INSTALL=1

usage() {
    sed -n '2,11s/^# \{0,1\}//p' "${BASH_SOURCE[0]}"
    cat <<'EOF'

Scenarios (comma-separated list or "all"):
  plan      duvanto-cli plan S T on an identical pair vs rsync --dry-run and the stat floor
  s1        clone the small tree into an empty target: duvanto-cli clone vs cp -a vs rsync -a
  s1-large  clone --large-files files of --large-size into an empty target: vs cp -a, rsync -a
  s2        clone onto an identical target (nothing to do): vs rsync -a --delete (floor shown)
  s3        clone onto a target with --mutate % modified, touched, deleted and added: vs rsync
  growth    plan and s2 on the --files tree and on one ten times its size, run in turns so both
            meet the same kernel caches: how many times the small tree's time the large one takes
  s4        clone the large files into an empty target: vs the copy_file_range floor and cp -a;
            with --s4-fs xfs or btrfs on such a file system in an image (root), where a copy
            can share its source's blocks
  list      duvanto-cli list on a task list of --tasks tasks vs awk splitting its fields
  log       the log viewer opening a clone log of --log-mb MB (offscreen), cold and warm

Defaults: --scenario plan --work /tmp/duvanto-bench --cli build/src/cli/duvanto-cli --runs 5
  --warmup 1 --files 100000 --folders 5000 --depth 6 --rng 1 --mutate 1 --large-files 20
  --large-size 100M --s4-fs work --tasks 100000
--cli-before  another duvanto-cli (an earlier build) to time beside --cli in the list scenario
--log-open    the log_open program of the log scenario (default build/bench/log_open);
--log-open-before  another build of it to time beside it; --log-mb the log's size (10)
--regen       make the trees again even if the existing ones match the options
--clean       delete the whole work folder at the end
--no-install  do not apt-get install missing tools (hyperfine, rsync, time)
EOF
}

die() {
    echo "run.sh: $*" >&2
    exit 2
}
note() { echo "== $*" >&2; }

while [ $# -gt 0 ]; do
    case "$1" in
    --scenario) SCENARIOS=${2:?}; shift 2 ;;
    --work) WORK=${2:?}; shift 2 ;;
    --cli) CLI=${2:?}; shift 2 ;;
    --runs) RUNS=${2:?}; shift 2 ;;
    --warmup) WARMUP=${2:?}; shift 2 ;;
    --files) FILES=${2:?}; shift 2 ;;
    --folders) FOLDERS=${2:?}; shift 2 ;;
    --depth) DEPTH=${2:?}; shift 2 ;;
    --rng) RNG=${2:?}; shift 2 ;;
    --mutate) MUTATE=${2:?}; shift 2 ;;
    --large-files) LARGE_FILES=${2:?}; shift 2 ;;
    --large-size) LARGE_SIZE=${2:?}; shift 2 ;;
    --tasks) TASKS=${2:?}; shift 2 ;;
    --cli-before) CLI_BEFORE=${2:?}; shift 2 ;;
    --s4-fs) S4_FS=${2:?}; shift 2 ;;
    --log-open) LOG_OPEN=${2:?}; shift 2 ;;
    --log-open-before) LOG_OPEN_BEFORE=${2:?}; shift 2 ;;
    --log-mb) LOG_MB=${2:?}; shift 2 ;;
    --regen) REGEN=1; shift ;;
    --clean) CLEAN=1; shift ;;
    --no-install) INSTALL=0; shift ;;
    -h | --help) usage; exit 0 ;;
    *) usage >&2; die "unknown argument: $1" ;;
    esac
done

[ "$SCENARIOS" = all ] && SCENARIOS=plan,s1,s1-large,s2,s3,s4,list,log
IFS=, read -r -a SCENARIO_LIST <<<"$SCENARIOS"
for s in "${SCENARIO_LIST[@]}"; do
    case "$s" in plan | s1 | s1-large | s2 | s3 | s4 | list | log | growth) ;; *) die "unknown scenario: $s" ;; esac
done
case "$S4_FS" in work | xfs | btrfs) ;; *) die "--s4-fs must be work, xfs or btrfs" ;; esac
[[ "$RUNS" =~ ^[1-9][0-9]*$ ]] || die "--runs must be a positive number"
[[ "$WARMUP" =~ ^[0-9]+$ ]] || die "--warmup must be a number"
[[ "$TASKS" =~ ^[1-9][0-9]*$ ]] || die "--tasks must be a positive number"
mkdir -p "$WORK"
WORK=$(cd "$WORK" && pwd)
case "$CLI" in /*) ;; *) CLI=$PWD/$CLI ;; esac
case "$CLI_BEFORE" in /* | "") ;; *) CLI_BEFORE=$PWD/$CLI_BEFORE ;; esac
case "$LOG_OPEN" in /*) ;; *) LOG_OPEN=$PWD/$LOG_OPEN ;; esac
case "$LOG_OPEN_BEFORE" in /* | "") ;; *) LOG_OPEN_BEFORE=$PWD/$LOG_OPEN_BEFORE ;; esac

# ---------------------------------------------------------------- tools
apt_updated=0
ensure_tool() { # ensure_tool COMMAND PACKAGE REQUIRED(0/1)
    command -v "$1" >/dev/null 2>&1 && return 0
    if [ "$INSTALL" = 1 ] && [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null 2>&1; then
        note "installing $2"
        if [ "$apt_updated" = 0 ]; then
            apt-get update -qq >&2 || true
            apt_updated=1
        fi
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$2" >&2 ||
            true
    fi
    command -v "$1" >/dev/null 2>&1 && return 0
    [ "$3" = 1 ] && die "$1 is missing (Debian package $2)"
    note "$1 is missing (Debian package $2); going on without it"
    return 1
}
ensure_tool g++ g++ 1
ensure_tool rsync rsync 1
ensure_tool python3 python3 1
HAVE_HYPERFINE=0
ensure_tool hyperfine hyperfine 0 && HAVE_HYPERFINE=1
HAVE_TIME=0
ensure_tool /usr/bin/time time 0 && HAVE_TIME=1

BIN=$WORK/bin
mkdir -p "$BIN" "$WORK/results"
for prog in gen_tree stat_floor copy_floor; do
    if [ ! -x "$BIN/$prog" ] || [ "$HERE/$prog.cpp" -nt "$BIN/$prog" ]; then
        note "building $prog"
        "${CXX:-g++}" -O2 -std=c++20 -Wall -Wextra -Wpedantic -o "$BIN/$prog" "$HERE/$prog.cpp"
    fi
done
GEN=$BIN/gen_tree
FLOOR=$BIN/stat_floor
COPY_FLOOR=$BIN/copy_floor

HAVE_CLI=0
if [ -x "$CLI" ]; then
    HAVE_CLI=1
else
    note "duvanto-cli not found at $CLI: its rows are skipped (give another one with --cli PATH)"
fi

# ---------------------------------------------------------------- trees
free_kib() { df -Pk "$WORK" | awk 'NR == 2 { print $4 }'; }
need_space() { # need_space KIB WHAT
    local free
    free=$(free_kib)
    [ "$free" -ge "$1" ] || die "$2 needs about $(($1 / 1024)) MiB in $WORK, only $((free / 1024)) MiB free"
}
gen_hash=$(sha256sum "$HERE/gen_tree.cpp" | cut -c1-16)

# tree_ready DIR STAMP: true when DIR was made by the same generator with the same options.
tree_ready() {
    [ "$REGEN" = 0 ] && [ -d "$1" ] && [ -f "$1.stamp" ] && [ "$(cat "$1.stamp")" = "$2" ]
}

SMALL=$WORK/small
small_stamp="gen=$gen_hash rng=$RNG files=$FILES folders=$FOLDERS depth=$DEPTH"
ensure_small_source() {
    tree_ready "$SMALL/S" "$small_stamp" && return 0
    rm -rf "$SMALL"
    mkdir -p "$SMALL"
    need_space $((FILES * 10 + FOLDERS * 8 + 102400)) "the small source tree"
    note "generating $SMALL/S ($FILES files, $FOLDERS folders, depth $DEPTH, --rng $RNG)"
    "$GEN" create "$SMALL/S" --rng "$RNG" --files "$FILES" --folders "$FOLDERS" --depth "$DEPTH" >&2
    echo "$small_stamp" >"$SMALL/S.stamp"
}
ensure_small_copy() { # identical target, mtimes preserved
    ensure_small_source
    tree_ready "$SMALL/T" "$small_stamp" && return 0
    rm -rf "$SMALL/T" "$SMALL/T.stamp"
    need_space $((FILES * 5 + FOLDERS * 4 + 102400)) "the identical target"
    note "copying $SMALL/S to $SMALL/T (cp -a)"
    cp -a "$SMALL/S" "$SMALL/T"
    echo "$small_stamp" >"$SMALL/T.stamp"
}
ensure_small_mutated() { # target with MUTATE % modified, touched, deleted, added
    ensure_small_source
    local stamp="$small_stamp mutate=$MUTATE"
    tree_ready "$SMALL/T-mutated" "$stamp" && return 0
    rm -rf "$SMALL/T-mutated" "$SMALL/T-mutated.stamp"
    need_space $((FILES * 5 + FOLDERS * 4 + 102400)) "the mutated target"
    note "making $SMALL/T-mutated (copy of S, then --mutate $MUTATE)"
    cp -a "$SMALL/S" "$SMALL/T-mutated"
    "$GEN" mutate "$SMALL/T-mutated" --rng "$RNG" --mutate "$MUTATE" >&2
    echo "$stamp" >"$SMALL/T-mutated.stamp"
}

LARGE=$WORK/large
ensure_large_source() {
    local stamp="gen=$gen_hash rng=$RNG large-files=$LARGE_FILES large-size=$LARGE_SIZE"
    tree_ready "$LARGE/S" "$stamp" && return 0
    rm -rf "$LARGE"
    mkdir -p "$LARGE"
    local bytes
    bytes=$(numfmt --from=iec "$LARGE_SIZE")
    need_space $((2 * LARGE_FILES * bytes / 1024 + 102400)) "the large-file source and its clone"
    note "generating $LARGE/S ($LARGE_FILES files of $LARGE_SIZE)"
    "$GEN" create "$LARGE/S" --rng "$RNG" --files 0 --folders 0 \
        --large-files "$LARGE_FILES" --large-size "$LARGE_SIZE" >&2
    echo "$stamp" >"$LARGE/S.stamp"
}

# Reads every file once so clone scenarios start with the source in the page cache, and walks the
# metadata of the given trees.
warm() { # warm [--content] DIR...
    local content=0
    if [ "$1" = --content ]; then
        content=1
        shift
    fi
    "$FLOOR" "$@" >/dev/null
    if [ "$content" = 1 ]; then
        find "$@" -type f -print0 | xargs -0 -r cat >/dev/null
    fi
}

# ---------------------------------------------------------------- measuring
declare -A MEDIAN MIN MAX RSS CHECK
ROWS=()

quote_cmd() { # one shell-words string for hyperfine
    local out="" a
    for a in "$@"; do out+="$(printf '%q' "$a") "; done
    printf '%s' "${out% }"
}

# measure LABEL PREPARE_SCRIPT CMD... : PREPARE_SCRIPT ("" for none) runs before every run.
measure() {
    local label=$1 prep=$2
    shift 2
    ROWS+=("$label")
    local json=$WORK/results/last-$label.json
    note "$label: $(quote_cmd "$@")"
    if [ "$HAVE_HYPERFINE" = 1 ]; then
        local args=(hyperfine -N --style basic --runs "$RUNS" --warmup "$WARMUP"
            --export-json "$json" --command-name "$label")
        [ -n "$prep" ] && args+=(--prepare "bash $(printf '%q' "$prep")")
        if ! "${args[@]}" "$(quote_cmd "$@")" >&2; then
            MEDIAN[$label]=failed
            return 0
        fi
        read -r "MEDIAN[$label]" "MIN[$label]" "MAX[$label]" < <(python3 -c '
import json, sys
r = json.load(open(sys.argv[1]))["results"][0]
print("%.4f %.4f %.4f" % (r["median"], r["min"], r["max"]))' "$json")
    else
        local i t0 t1 times=()
        for ((i = 0; i < WARMUP + RUNS; i++)); do
            [ -n "$prep" ] && bash "$prep"
            t0=$EPOCHREALTIME
            if ! "$@" >/dev/null 2>&1; then
                MEDIAN[$label]=failed
                return 0
            fi
            t1=$EPOCHREALTIME
            ((i >= WARMUP)) && times+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", b - a }')")
        done
        read -r "MEDIAN[$label]" "MIN[$label]" "MAX[$label]" < <(printf '%s\n' "${times[@]}" |
            sort -g | awk '{ v[NR] = $1 } END {
                m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
                printf "%.4f %.4f %.4f\n", m, v[1], v[NR] }')
        note "$label: median ${MEDIAN[$label]} s (min ${MIN[$label]}, max ${MAX[$label]})"
    fi
}

# peak_rss LABEL PREPARE_SCRIPT CMD... : one more run under /usr/bin/time -v.
peak_rss() {
    local label=$1 prep=$2
    shift 2
    [ "$HAVE_TIME" = 1 ] || return 0
    [ "${MEDIAN[$label]:-failed}" = failed ] && return 0
    [ -n "$prep" ] && bash "$prep"
    local report=$WORK/results/last-$label.time
    /usr/bin/time -v -o "$report" "$@" >/dev/null 2>&1 || true
    RSS[$label]=$(awk -F': ' '/Maximum resident set size/ { printf "%.1f", $2 / 1024 }' "$report")
}

# check_same LABEL SOURCE TARGET: after a clone, lists what rsync would still change (file
# content by size+mtime, names, types; folder times ignored).
check_same() {
    local n
    n=$(rsync -rlt --delete -n -i "$2/" "$3/" | grep -cv '^\.d' || true)
    if [ "$n" = 0 ]; then CHECK[$1]=same; else CHECK[$1]="$n differ"; fi
}

# contender LABEL PREPARE_SCRIPT CHECK_SOURCE CHECK_TARGET CMD...
contender() {
    local label=$1 prep=$2 src=$3 dst=$4
    shift 4
    measure "$label" "$prep" "$@"
    peak_rss "$label" "$prep" "$@"
    [ -n "$src" ] && [ "${MEDIAN[$label]}" != failed ] && check_same "$label" "$src" "$dst"
    return 0
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a + 0 > 0 && b + 0 > 0) printf "%.2f", a / b; else printf "-" }'; }

# table SCENARIO TITLE REF...: prints the rows measured since the last table, with a ratio
# column for each reference contender, and saves it under results/.
table() {
    local scenario=$1 title=$2
    shift 2
    local refs=("$@") out label ref line cell
    out=$WORK/results/$scenario-$(date +%Y%m%d-%H%M%S).md
    {
        echo "### $scenario: $title"
        echo
        line="| contender | median s | min–max s |"
        for ref in "${refs[@]}"; do line+=" × $ref |"; done
        line+=" peak RSS MiB | target after |"
        echo "$line"
        line="|---|---:|---:|"
        for ref in "${refs[@]}"; do line+="---:|"; done
        echo "$line---:|---|"
        for label in "${ROWS[@]}"; do
            if [ "${MEDIAN[$label]}" = failed ]; then
                line="| $label | failed | |"
                for ref in "${refs[@]}"; do line+=" |"; done
                echo "$line | |"
                continue
            fi
            line="| $label | ${MEDIAN[$label]} | ${MIN[$label]}–${MAX[$label]} |"
            for ref in "${refs[@]}"; do
                cell=-
                [ -n "${MEDIAN[$ref]:-}" ] && cell=$(ratio "${MEDIAN[$label]}" "${MEDIAN[$ref]}")
                line+=" $cell |"
            done
            line+=" ${RSS[$label]:--} | ${CHECK[$label]:--} |"
            echo "$line"
        done
        if [ "$HAVE_CLI" = 0 ]; then
            line="| duvanto | pending | |"
            for ref in "${refs[@]}"; do line+=" |"; done
            echo "$line | no CLI at $CLI |"
        fi
        echo
        echo "$RUNS runs after $WARMUP warm-up, $(if [ "$HAVE_HYPERFINE" = 1 ]; then echo hyperfine; else echo 'bash loop'; fi); $(date -u '+%Y-%m-%d %H:%M UTC')."
    } >"$out"
    echo
    cat "$out"
    ROWS=()
}

# ---------------------------------------------------------------- scenarios
# Prepare scripts are files, so the same text serves hyperfine and the bash loop.
write_prepare() { # write_prepare NAME COMMANDS: creates $WORK/prepare-NAME.sh
    local f=$WORK/prepare-$1.sh
    printf '#!/usr/bin/env bash\nset -euo pipefail\n%s\n' "$2" >"$f"
    echo "$f"
}
q() { printf '%q' "$1"; }

scenario_plan() {
    ensure_small_copy
    local S=$SMALL/S T=$SMALL/T
    local pending
    pending=$(rsync -a --delete --dry-run -i "$S/" "$T/" | wc -l)
    [ "$pending" = 0 ] || note "warning: rsync sees $pending differences between S and T"
    warm "$S" "$T"
    warm "$S" "$T"
    contender floor "" "" "" "$FLOOR" "$S" "$T"
    contender rsync "" "" "" rsync -a --delete --dry-run "$S/" "$T/"
    [ "$HAVE_CLI" = 1 ] && contender duvanto "" "" "" "$CLI" plan "$S" "$T"
    table plan "plan on two identical trees ($FILES files, $FOLDERS folders each)" rsync floor
    if [ "$HAVE_CLI" = 1 ]; then
        echo "duvanto-cli plan printed $("$CLI" plan "$S" "$T" 2>&1 | wc -l) lines for this identical pair"
    fi
    if [ "$HAVE_CLI" = 1 ] && [ "${MEDIAN[duvanto]}" != failed ]; then
        local r f
        r=$(ratio "${MEDIAN[duvanto]}" "${MEDIAN[rsync]}")
        f=$(ratio "${MEDIAN[duvanto]}" "${MEDIAN[floor]}")
        echo "goal: duvanto <= 0.50 x rsync ($r: $(awk -v v="$r" 'BEGIN { print (v <= 0.5) ? "met" : "NOT met" }'))," \
            "<= 1.30 x floor ($f: $(awk -v v="$f" 'BEGIN { print (v <= 1.3) ? "met" : "NOT met" }'))"
    fi
}

scenario_s1() {
    ensure_small_source
    local S=$SMALL/S D=$WORK/s1/T prep
    mkdir -p "$WORK/s1"
    need_space $((FILES * 5 + FOLDERS * 4 + 102400)) "the s1 target"
    prep=$(write_prepare s1 "rm -rf $(q "$D") && mkdir $(q "$D") && sync")
    warm --content "$S"
    contender cp "$prep" "$S" "$D" cp -a "$S/." "$D"
    contender rsync "$prep" "$S" "$D" rsync -a --delete "$S/" "$D/"
    [ "$HAVE_CLI" = 1 ] && contender duvanto "$prep" "$S" "$D" "$CLI" clone "$S" "$D" --quiet --delete regular
    table s1 "clone $FILES files in $FOLDERS folders into an empty target" cp rsync
    rm -rf "$WORK/s1"
}

scenario_s1_large() {
    ensure_large_source
    local S=$LARGE/S D=$WORK/s1-large/T prep
    mkdir -p "$WORK/s1-large"
    prep=$(write_prepare s1-large "rm -rf $(q "$D") && mkdir $(q "$D") && sync")
    warm --content "$S"
    contender cp "$prep" "$S" "$D" cp -a "$S/." "$D"
    contender rsync "$prep" "$S" "$D" rsync -a --delete "$S/" "$D/"
    [ "$HAVE_CLI" = 1 ] && contender duvanto "$prep" "$S" "$D" "$CLI" clone "$S" "$D" --quiet --delete regular
    table s1-large "clone $LARGE_FILES files of $LARGE_SIZE into an empty target" cp rsync
    rm -rf "$WORK/s1-large"
}

scenario_s2() {
    ensure_small_copy
    local S=$SMALL/S D=$WORK/s2/T
    # Its own copy, so a tool that wrongly changes it cannot spoil the shared pair.
    need_space $((FILES * 5 + FOLDERS * 4 + 102400)) "the s2 target"
    rm -rf "$WORK/s2"
    mkdir -p "$WORK/s2"
    cp -a "$SMALL/T" "$D"
    warm --content "$S" "$D"
    contender floor "" "" "" "$FLOOR" "$S" "$D"
    contender rsync "" "$S" "$D" rsync -a --delete "$S/" "$D/"
    [ "$HAVE_CLI" = 1 ] && contender duvanto "" "$S" "$D" "$CLI" clone "$S" "$D" --quiet --delete regular
    table s2 "clone onto an identical target ($FILES files): nothing to do" rsync floor
    rm -rf "$WORK/s2"
}

scenario_s3() {
    ensure_small_mutated
    local S=$SMALL/S D=$WORK/s3/T prep
    mkdir -p "$WORK/s3"
    need_space $((FILES * 5 + FOLDERS * 4 + 102400)) "the s3 target"
    # Puts the mutated state back by undoing only what the last run changed: the same tree as a
    # fresh cp -a (names, contents, mtimes), without deleting and copying 100,000 files each time.
    rm -rf "$D"
    cp -a "$SMALL/T-mutated" "$D"
    prep=$(write_prepare s3 "rsync -a --delete $(q "$SMALL/T-mutated")/ $(q "$D")/ && sync")
    warm --content "$S" "$SMALL/T-mutated"
    contender rsync "$prep" "$S" "$D" rsync -a --delete "$S/" "$D/"
    [ "$HAVE_CLI" = 1 ] && contender duvanto "$prep" "$S" "$D" "$CLI" clone "$S" "$D" --quiet --delete regular
    table s3 "clone onto a target with $MUTATE% modified, touched, deleted and added" rsync
    rm -rf "$WORK/s3"
}

# How the cost grows with the tree. The large pair is its own (ten times --files and --folders,
# the same depth). Measured apart, the small tree would be timed while the kernel's caches held
# only its own entries and the large one while they held both, which alone makes each status call
# dearer: so each run on the large pair is followed by one on the small pair.
scenario_growth() {
    ensure_small_copy
    local big=$WORK/growth-big files=$((FILES * 10)) folders=$((FOLDERS * 10))
    local stamp="gen=$gen_hash rng=$RNG files=$files folders=$folders depth=$DEPTH"
    if ! tree_ready "$big/S" "$stamp" || ! tree_ready "$big/T" "$stamp"; then
        rm -rf "$big"
        mkdir -p "$big"
        need_space $((files * 15 + folders * 12 + 102400)) "the large pair"
        note "generating $big/S ($files files, $folders folders) and its copy $big/T"
        "$GEN" create "$big/S" --rng "$RNG" --files "$files" --folders "$folders" --depth "$DEPTH" >&2
        cp -a "$big/S" "$big/T"
        echo "$stamp" >"$big/S.stamp"
        echo "$stamp" >"$big/T.stamp"
    fi
    warm "$SMALL/S" "$SMALL/T" "$big/S" "$big/T"
    local contenders=(floor) c
    [ "$HAVE_CLI" = 1 ] && contenders+=(plan s2)
    once() { # once CONTENDER S T: the seconds one run takes
        local start end
        start=$(date +%s.%N)
        case "$1" in
        floor) "$FLOOR" "$2" "$3" >/dev/null ;;
        plan) "$CLI" plan "$2" "$3" >/dev/null ;;
        s2) "$CLI" clone "$2" "$3" --quiet --delete regular >/dev/null ;;
        esac
        end=$(date +%s.%N)
        awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }'
    }
    echo
    echo "### growth: $FILES and $files files, in turns ($RUNS pairs after $WARMUP)"
    echo
    echo "| contender | median s, $FILES files | median s, $files files | × | pairs' × min–max |"
    echo "|---|---:|---:|---:|---|"
    for c in "${contenders[@]}"; do
        local r small large smalls=() larges=() pairs=()
        for ((r = 0; r < WARMUP + RUNS; r++)); do
            large=$(once "$c" "$big/S" "$big/T")
            small=$(once "$c" "$SMALL/S" "$SMALL/T")
            [ "$r" -lt "$WARMUP" ] && continue
            larges+=("$large")
            smalls+=("$small")
            pairs+=("$(ratio "$large" "$small")")
        done
        local ms ml
        ms=$(printf '%s\n' "${smalls[@]}" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
        ml=$(printf '%s\n' "${larges[@]}" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
        echo "| $c | $ms | $ml | $(ratio "$ml" "$ms") | $(printf '%s\n' "${pairs[@]}" | sort -g | sed -n '1p;$p' | paste -sd '-' | sed 's/-/–/') |"
    done
    echo
    echo "plan is duvanto-cli plan and s2 duvanto-cli clone on the identical pairs; $(date -u '+%Y-%m-%d %H:%M UTC')."
}

# A task list of TASKS tasks as the C locale writes it: one in five manual, the others every few
# minutes, hours or days or on selected days; one in four with two Targets, one in ten cloning
# selected items (their include lists are not written: a missing one reads as empty).
LIST=$WORK/list
ensure_task_list() {
    local home=$LIST/home-$TASKS
    local file="$home/Default Task List.dvt"
    [ "$REGEN" = 0 ] && [ -f "$file" ] && return 0
    mkdir -p "$home"
    note "writing a task list of $TASKS tasks to $file"
    awk -v n="$TASKS" 'BEGIN {
        for (i = 1; i <= n; i++) {
            type = i % 5
            targets = "/backup/t" i "/"
            if (i % 4 == 0) targets = targets "<:>/media/usb/t" i "/"
            all = (i % 10 == 0) ? "False" : "True"
            printf "Task %06d~!@#/srv/data/s%d/~!@#%s~!@#True~!@#9:30:00 PM~!@#%d~!@#%d~!@#" \
                   "12/4/2003 4:38:16 PM~!@#12/%d/2003 5:08:16 AM~!@#False~!@#%s~!@#%d~!@#*.doc\r\n",
                   i, i, targets, type, type == 1 ? 30 : 2, 1 + i % 28, all, 1 + i % 127
        }
    }' >"$file"
}

scenario_list() {
    ensure_task_list
    local home=$LIST/home-$TASKS
    local file="$home/Default Task List.dvt"
    warm "$home"
    cat "$file" >/dev/null
    contender awk "" "" "" awk -F '~!@#' '{ n += NF } END { print n }' "$file"
    if [ "$HAVE_CLI" = 1 ]; then
        contender duvanto "" "" "" env LC_ALL=C "$CLI" --home "$home" list
        if [ -n "$CLI_BEFORE" ]; then
            contender duvanto-before "" "" "" env LC_ALL=C "$CLI_BEFORE" --home "$home" list
        fi
        echo "duvanto-cli list printed $(env LC_ALL=C "$CLI" --home "$home" list 2>/dev/null |
            wc -l) lines"
    fi
    table list "list of a task list of $TASKS tasks" awk
}

# The log viewer inside one process, timed by log_open itself: cold is the first window of a
# fresh process, warm a second open in another fresh one. Runs alternate between the builds.
scenario_log() {
    [ -x "$LOG_OPEN" ] || die "no log_open at $LOG_OPEN (cmake --build build --target log_open)"
    local dir=$WORK/log-$LOG_MB out i mode label bin
    mkdir -p "$dir" "$WORK/results"
    if [ "$REGEN" = 1 ] || [ ! -f "$dir/clone.log" ]; then
        "$LOG_OPEN" make "$dir" "$LOG_MB" >&2
    fi
    cat "$dir/clone.log" >/dev/null
    local raw=$WORK/results/log-raw.txt
    : >"$raw"
    for ((i = 0; i < WARMUP + RUNS; i++)); do
        for mode in cold warm; do
            for label in duvanto duvanto-before; do
                bin=$LOG_OPEN
                [ "$label" = duvanto-before ] && bin=$LOG_OPEN_BEFORE
                [ -n "$bin" ] || continue
                # log_open prints: MODE WALL s wall, CPU s cpu[; whole text in after WHOLE s]
                QT_QPA_PLATFORM=offscreen "$bin" open "$dir" $([ "$mode" = warm ] && echo --warm) \
                    2>/dev/null | awk -v l="$label" -v skip=$((i < WARMUP)) \
                    '!skip { w = $(NF - 1); if ($0 !~ /whole/) w = "-"; print l, $1, $2, $5, w }' >>"$raw"
            done
        done
    done
    out=$WORK/results/log-$(date +%Y%m%d-%H%M%S).md
    python3 - "$raw" "$LOG_MB" "$RUNS" "$WARMUP" >"$out" <<'PY'
import statistics, sys
rows = {}
for line in open(sys.argv[1]):
    label, mode, wall, cpu, whole = line.split()
    rows.setdefault((label, mode), []).append((float(wall), float(cpu), whole))
print(f"### log: the log viewer opening a {sys.argv[2]} MB clone log (offscreen, coloured)\n")
print("| build | open | median s (wall) | min–max s | median s (cpu) | whole text in, median s |")
print("|---|---|---:|---:|---:|---:|")
for (label, mode), runs in sorted(rows.items()):
    walls = [r[0] for r in runs]
    cpus = [r[1] for r in runs]
    wholes = [float(r[2]) for r in runs if r[2] != "-"]
    whole = f"{statistics.median(wholes):.3f}" if wholes else "-"
    print(f"| {label} | {mode} | {statistics.median(walls):.3f} | {min(walls):.3f}–{max(walls):.3f}"
          f" | {statistics.median(cpus):.3f} | {whole} |")
print(f"\n{sys.argv[3]} runs after {sys.argv[4]} warm-up, each a fresh process.")
PY
    echo
    cat "$out"
}

# Blocks in use on the file system holding DIR, in MiB.
used_mib() { df -Pk "$1" | awk 'NR == 2 { printf "%d", $3 / 1024 }'; }

scenario_s4() {
    local base=$WORK volume=""
    if [ "$S4_FS" != work ]; then
        [ "$(id -u)" -eq 0 ] || die "--s4-fs $S4_FS mounts an image: run as root"
        ensure_tool "mkfs.$S4_FS" "$([ "$S4_FS" = xfs ] && echo xfsprogs || echo btrfs-progs)" 1
        local bytes image=$WORK/s4-$S4_FS.img
        bytes=$(numfmt --from=iec "$LARGE_SIZE")
        volume=$WORK/s4-$S4_FS
        mkdir -p "$volume"
        mountpoint -q "$volume" && umount "$volume"
        rm -f "$image"
        truncate -s $((3 * LARGE_FILES * bytes + (512 << 20))) "$image"
        note "making a $S4_FS file system in $image"
        "mkfs.$S4_FS" -f -q "$image" >&2
        mount -o loop "$image" "$volume"
        base=$volume
        "$GEN" create "$base/S" --rng "$RNG" --files 0 --folders 0 \
            --large-files "$LARGE_FILES" --large-size "$LARGE_SIZE" >&2
    else
        ensure_large_source
        mkdir -p "$WORK/s4"
        base=$WORK/s4
        ln -sfn "$LARGE/S" "$base/S"
    fi
    local S=$base/S D=$base/T prep
    prep=$(write_prepare s4 "rm -rf $(q "$D") && mkdir $(q "$D") && sync")
    warm --content "$S/"
    contender floor "$prep" "" "" "$COPY_FLOOR" "$S/" "$D"
    contender cp "$prep" "$S/" "$D" cp -a "$S/." "$D"
    [ "$HAVE_CLI" = 1 ] && contender duvanto "$prep" "$S/" "$D" "$CLI" clone "$S/" "$D" --quiet --delete regular
    if [ "$HAVE_CLI" = 1 ] && [ -n "$volume" ]; then
        # What one more clone costs in blocks on a file system of its own: nothing where the
        # copies share their source's blocks.
        bash "$prep"
        local before after
        before=$(used_mib "$base")
        "$CLI" clone "$S/" "$D" --quiet --delete regular
        sync
        after=$(used_mib "$base")
        echo "duvanto-cli clone of $LARGE_FILES x $LARGE_SIZE on $S4_FS: $((after - before)) MiB of new blocks"
    fi
    table s4 "clone $LARGE_FILES files of $LARGE_SIZE into an empty target ($S4_FS)" floor cp
    if [ -n "$volume" ]; then
        umount "$volume"
        rm -rf "$volume" "$WORK/s4-$S4_FS.img"
    else
        rm -rf "$WORK/s4"
    fi
}

# ---------------------------------------------------------------- main
fs_type=$(findmnt -n -o FSTYPE -T "$WORK" 2>/dev/null || stat -f -c %T "$WORK")
cpu=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
echo "machine: $(nproc) CPUs, ${cpu:-unknown CPU}, kernel $(uname -r), $fs_type at $WORK"
read -r load1 _ </proc/loadavg
echo "load average (1 min) at start: $load1"
awk -v l="$load1" 'BEGIN { exit !(l > 0.5) }' &&
    note "warning: the machine is busy (load $load1); other processes skew timings on $(nproc) CPUs"
echo "tools: $(rsync --version | head -1 | awk '{ print $1, $2, $3 }'); $(cp --version | head -1)$(
    [ "$HAVE_HYPERFINE" = 1 ] && echo "; $(hyperfine --version)")"

for s in "${SCENARIO_LIST[@]}"; do
    case "$s" in
    plan) scenario_plan ;;
    s1) scenario_s1 ;;
    s1-large) scenario_s1_large ;;
    s2) scenario_s2 ;;
    s3) scenario_s3 ;;
    list) scenario_list ;;
    log) scenario_log ;;
    s4) scenario_s4 ;;
    growth) scenario_growth ;;
    esac
done

if [ "$CLEAN" = 1 ]; then
    note "deleting $WORK"
    rm -rf "$WORK"
fi
