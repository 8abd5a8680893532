#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks a built .deb as Debian's tools and a user see it: lintian finds no error and no
# warning, and the package unpacked into a scratch root has the version CHANGELOG.md names in
# its control file, its changelog and both programs' --version, a menu entry and metainfo that
# pass their validators, an icon and a program for the menu entry, and manual pages that open.
# Usage: check-package.sh PACKAGE.deb CHANGELOG.md
set -euo pipefail
deb="$1"
changelog="$2"

status=0
fail() {
    echo "check-package: $*" >&2
    status=1
}

version=$(sed -nE 's/^## ([^ ]+) \(.*$/\1/p' "$changelog" | head -n 1)
if [ -z "$version" ]; then
    echo "check-package: no version in $changelog" >&2
    exit 1
fi

# Info tags are not failures; the README's packaging notes name the ones that stay.
if ! lintian --fail-on error,warning "$deb"; then
    fail "lintian reports errors or warnings for $deb"
fi

[ "$(dpkg-deb -f "$deb" Package)" = duvanto ] || fail "the package is not named duvanto"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] ||
    fail "the package's version is $(dpkg-deb -f "$deb" Version), CHANGELOG.md's $version"

root=$(mktemp -d "${TMPDIR:-/tmp}/duvanto-package-XXXXXX")
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"

doc="$root/usr/share/doc/duvanto"
[ -f "$doc/copyright" ] || fail "no copyright file"
if [ -f "$doc/changelog.gz" ]; then
    logged=$(zcat "$doc/changelog.gz" | dpkg-parsechangelog -l - -S Version)
    [ "$logged" = "$version" ] || fail "changelog.gz begins with $logged, not $version"
else
    fail "no changelog.gz"
fi

answer=$("$root/usr/bin/duvanto-cli" --version) || fail "duvanto-cli --version failed"
[ "$answer" = "duvanto-cli $version" ] ||
    fail "duvanto-cli --version says '$answer', not 'duvanto-cli $version'"

pages=(duvanto-cli)
if [ -e "$root/usr/bin/duvanto" ]; then
    pages+=(duvanto)
    # No display: the version must come before Qt would look for one.
    answer=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$root/usr/bin/duvanto" \
        --version) || fail "duvanto --version failed"
    [ "$answer" = "duvanto $version" ] ||
        fail "duvanto --version says '$answer', not 'duvanto $version'"

    depends=$(dpkg-deb -f "$deb" Depends)
    for library in libqt6widgets6 libqt6svg6 libdeflate0; do
        [[ ", $depends," == *", $library "* || ", $depends," == *", $library,"* ]] ||
            fail "Depends lacks $library: $depends"
    done

    entry="$root/usr/share/applications/duvanto.desktop"
    if [ -f "$entry" ]; then
        complaints=$(desktop-file-validate "$entry" 2>&1) || true
        [ -z "$complaints" ] || fail "desktop-file-validate: $complaints"
        program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
        [ -x "$root/usr/bin/$program" ] || fail "the menu entry starts '$program', not in usr/bin"
        icon=$(sed -n 's/^Icon=//p' "$entry")
        for size in 48x48 scalable; do
            compgen -G "$root/usr/share/icons/hicolor/$size/apps/$icon.*" >/dev/null ||
                fail "no $size icon '$icon' for the menu entry"
        done
    else
        fail "no menu entry usr/share/applications/duvanto.desktop"
    fi

    metainfo="$root/usr/share/metainfo/org.duvanto.duvanto.metainfo.xml"
    if [ -f "$metainfo" ]; then
        appstreamcli validate --no-net "$metainfo" >/dev/null ||
            fail "appstreamcli validate: $(appstreamcli validate --no-net "$metainfo" 2>&1)"
        grep -q "<release version=\"$version\"" "$metainfo" ||
            fail "the metainfo names no release $version"
    else
        fail "no AppStream metainfo"
    fi
fi

for page in "${pages[@]}"; do
    file="$root/usr/share/man/man1/$page.1.gz"
    if [ -f "$file" ]; then
        complaints=$(zcat "$file" | groff -man -ww -z 2>&1) || true
        [ -z "$complaints" ] || fail "man $page: $complaints"
    else
        fail "no manual page usr/share/man/man1/$page.1.gz"
    fi
done

[ $status -eq 0 ] && echo "check-package: $deb is fine"
exit $status
