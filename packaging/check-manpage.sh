#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that the manual page of duvanto-cli tells the truth about its command line: every
# command and option that --help shows is in the page, and the page names no option that
# --help does not show.
# Usage: check-manpage.sh DUVANTO_CLI MANPAGE
set -euo pipefail
cli="$1"
page="$2"

help=$("$cli" --help)
commands=$(printf '%s\n' "$help" | awk '/^Subcommands:/ {on = 1; next} on && NF {print $1}')
if [ -z "$commands" ]; then
    echo "check-manpage: no commands in '$cli --help'" >&2
    exit 1
fi
all_help="$help"
for command in $commands; do
    all_help+=$'\n'$("$cli" "$command" --help)
done

# The options --help knows, and the ones the page names (roff writes "-" as "\-").
known=$(printf '%s\n' "$all_help" | grep -oE -- '--[a-z0-9][a-z0-9-]*' | sort -u)
named=$(sed 's/\\-/-/g' "$page" | grep -oE -- '--[a-z0-9][a-z0-9-]*' | sort -u)

status=0
for command in $commands; do
    if ! grep -qE "^\.B $command( |$)" "$page"; then
        echo "check-manpage: command '$command' is not described in $page" >&2
        status=1
    fi
done
missing=$(comm -23 <(printf '%s\n' "$known") <(printf '%s\n' "$named"))
invented=$(comm -13 <(printf '%s\n' "$known") <(printf '%s\n' "$named"))
for option in $missing; do
    echo "check-manpage: $option is in --help but not in $page" >&2
    status=1
done
for option in $invented; do
    echo "check-manpage: $page names $option, which --help does not know" >&2
    status=1
done
exit $status
