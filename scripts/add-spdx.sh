#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the licence line "SPDX-License-Identifier: GPL-3.0-or-later" at the top of every source
# file the project keeps in git (*.cpp, *.h, *.cmake, CMakeLists.txt, *.sh), as a comment of the
# file's language: first, or right after a "#!" line. Files that have it are left as they are,
# so running it again changes nothing.
#   scripts/add-spdx.sh           add the line where it is missing
#   scripts/add-spdx.sh --check   change nothing; name the files without it, exit 1 if any
# Run from anywhere inside the work tree; it works on the whole tree.
set -euo pipefail
readonly licence="SPDX-License-Identifier: GPL-3.0-or-later"

check=0
case "${1:-}" in
    "") ;;
    --check) check=1 ;;
    *)
        echo "usage: $0 [--check]" >&2
        exit 2
        ;;
esac

cd "$(git rev-parse --show-toplevel)"

# The line in the file's own comment form; the first or, after "#!", the second line.
has_line() {
    head -n 2 "$1" | grep -qxE "(//|#) $licence"
}

status=0
while IFS= read -r -d '' file; do
    [ -f "$file" ] || continue  # deleted in the work tree, not yet in git
    if has_line "$file"; then
        continue
    fi
    if [ $check -eq 1 ]; then
        echo "$file: no \"$licence\" line" >&2
        status=1
        continue
    fi
    case "$file" in
        *.cpp | *.h) comment="// $licence" ;;
        *) comment="# $licence" ;;
    esac
    temporary=$(mktemp "$file.spdx-XXXXXX")
    if head -n 1 "$file" | grep -q '^#!'; then
        { head -n 1 "$file"; printf '%s\n' "$comment"; tail -n +2 "$file"; } >"$temporary"
    else
        { printf '%s\n' "$comment"; cat "$file"; } >"$temporary"
    fi
    chmod --reference="$file" "$temporary"
    mv "$temporary" "$file"
done < <(git ls-files -z -- '*.cpp' '*.h' '*.cmake' 'CMakeLists.txt' '*/CMakeLists.txt' '*.sh')
exit $status
