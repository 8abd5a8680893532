#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes CHANGELOG.md as a Debian changelog (the form dpkg and lintian read): one entry per
# "## VERSION (YYYY-MM-DD)" section, each paragraph and "- " item of it one "  * " line,
# rewrapped to fit Debian's 80 columns.
# Usage: debian-changelog.sh CHANGELOG.md PACKAGE "NAME <ADDRESS>" > changelog
set -euo pipefail
changelog="$1"
package="$2"
maintainer="$3"

# The sections' dates, turned into the RFC 5322 form with its weekday; awk cannot.
declare -A stamps
while read -r day; do
    stamps[$day]=$(LC_ALL=C date -u -R -d "$day 00:00")
done < <(sed -nE 's/^## [^ ]+ \(([0-9]{4}-[0-9]{2}-[0-9]{2})\)[[:space:]]*$/\1/p' "$changelog")
stamp_list=""
for day in "${!stamps[@]}"; do
    stamp_list+="$day=${stamps[$day]}"$'\n'
done

LC_ALL=C awk -v package="$package" -v maintainer="$maintainer" -v stamp_list="$stamp_list" '
function flush_item(    words, n, i, line) {
    if (item == "") return
    n = split(item, words, /[ \t]+/)
    line = "  *"
    for (i = 1; i <= n; i++) {
        if (words[i] == "") continue
        if (length(line) + 1 + length(words[i]) > 78 && line != "  *" && line != "   ") {
            print line
            line = "   "
        }
        line = line " " words[i]
    }
    print line
    item = ""
}
function close_entry() {
    if (!open) return
    flush_item()
    print ""
    print " -- " maintainer "  " stamp
    open = 0
}
BEGIN {
    n = split(stamp_list, lines, "\n")
    for (i = 1; i <= n; i++) {
        if (lines[i] == "") continue
        eq = index(lines[i], "=")
        stamps[substr(lines[i], 1, eq - 1)] = substr(lines[i], eq + 1)
    }
}
/^## / {
    if (!match($0, /^## [^ ]+ \([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]\)[ \t]*$/)) {
        printf "debian-changelog: %s:%d: a section is headed \"## VERSION (YYYY-MM-DD)\"\n",
               FILENAME, FNR > "/dev/stderr"
        bad = 1
        exit 1
    }
    close_entry()
    if (entries++) print ""
    version = $2
    day = substr($3, 2, 10)
    stamp = stamps[day]
    print package " (" version ") unstable; urgency=medium"
    print ""
    open = 1
    next
}
!open { next }
/^[ \t]*$/ { flush_item(); next }
/^- / { flush_item(); item = substr($0, 3); next }
{ sub(/^[ \t]+/, ""); item = (item == "" ? $0 : item " " $0) }
END {
    if (bad) exit 1
    close_entry()
    if (!entries) {
        print "debian-changelog: no \"## VERSION (YYYY-MM-DD)\" section in " ARGV[1] > "/dev/stderr"
        exit 1
    }
}
' "$changelog"
