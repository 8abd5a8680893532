#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks scripts/add-spdx.sh on a scratch repository: --check names exactly the source files
# without the licence line, the script adds it in each file's comment form (after a "#!" line),
# keeps the files' modes, leaves other files alone, and a second run changes nothing.
# Usage: check-add-spdx.sh SCRIPT
set -euo pipefail
script=$(realpath "$1")
line="SPDX-License-Identifier: GPL-3.0-or-later"

repo=$(mktemp -d "${TMPDIR:-/tmp}/duvanto-spdx-XXXXXX")
trap 'rm -rf "$repo"' EXIT
cd "$repo"
git init -q .
mkdir -p src/core cmake tools
printf 'int x;\n' >src/core/a.cpp
printf '#pragma once\n' >src/core/b.h
printf '// %s\n#include "b.h"\n' "$line" >src/core/c.cpp
printf 'project(P)\n' >CMakeLists.txt
printf 'add_library(a a.cpp)\n' >src/core/CMakeLists.txt
printf 'set(X 1)\n' >cmake/M.cmake
printf '#!/usr/bin/env bash\necho run\n' >tools/run.sh
chmod 755 tools/run.sh
printf '#!/bin/sh\n# %s\necho done\n' "$line" >tools/done.sh
printf 'echo sourced\n' >tools/sourced.sh
printf 'not a source file\n' >notes.txt
git add -A

status=0
fail() {
    echo "check-add-spdx: $*" >&2
    status=1
}

if named=$("$script" --check 2>&1); then
    fail "--check passed on files without the line"
fi
expected_named="CMakeLists.txt cmake/M.cmake src/core/CMakeLists.txt src/core/a.cpp src/core/b.h tools/run.sh tools/sourced.sh"
got_named=$(printf '%s\n' "$named" | sed 's/:.*//' | sort | xargs)
[ "$got_named" = "$expected_named" ] || fail "--check named '$got_named', not '$expected_named'"
[ -z "$(git status --porcelain --untracked-files=no | grep -v '^A ')" ] || fail "--check changed files"

"$script"
expect() {
    local file=$1 want=$2
    [ "$(cat "$file")" = "$want" ] || fail "$file reads '$(cat "$file")', not '$want'"
}
expect src/core/a.cpp "// $line"$'\n'"int x;"
expect src/core/b.h "// $line"$'\n'"#pragma once"
expect src/core/c.cpp "// $line"$'\n'"#include \"b.h\""
expect CMakeLists.txt "# $line"$'\n'"project(P)"
expect src/core/CMakeLists.txt "# $line"$'\n'"add_library(a a.cpp)"
expect cmake/M.cmake "# $line"$'\n'"set(X 1)"
expect tools/run.sh "#!/usr/bin/env bash"$'\n'"# $line"$'\n'"echo run"
expect tools/done.sh "#!/bin/sh"$'\n'"# $line"$'\n'"echo done"
expect tools/sourced.sh "# $line"$'\n'"echo sourced"
expect notes.txt "not a source file"
[ -x tools/run.sh ] || fail "tools/run.sh lost its execute bit"

"$script" --check || fail "--check fails after the lines were added"
before=$(git ls-files -z | xargs -0 sha256sum)
"$script"
[ "$(git ls-files -z | xargs -0 sha256sum)" = "$before" ] || fail "a second run changed files"
[ -z "$(git ls-files --others --exclude-standard)" ] || fail "the script left files behind"
exit $status
