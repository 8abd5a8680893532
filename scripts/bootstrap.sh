#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages that building and testing Duvanto need, and nothing else.
# Safe to run again: it only calls apt-get when a package is missing. Works as root or via sudo.
# --build installs only what configuring and building need (`make run`), so that a first start
# does not wait for the tests' tools; --screenshots also installs what scripts/screenshots.sh
# needs (an X server and a window manager).
set -euo pipefail

# Configuring needs GoogleTest too: the build declares the tests even when it builds none.
# dpkg-dev: dpkg-shlibdeps, which `make package` asks for the package's dependencies.
packages=(
    cmake ninja-build g++ make pkg-config dpkg-dev
    libgtest-dev libgmock-dev
    libdeflate-dev libcli11-dev nlohmann-json3-dev
    qt6-base-dev qt6-svg-dev fonts-dejavu-core
)
build_only=0
case "${1:-}" in
    --build) build_only=1 ;;
    --screenshots) packages+=(xvfb xauth openbox) ;;
esac
if [ $build_only -eq 0 ]; then
    # The tests, the format check and the package's checks.
    packages+=(
        clang-format util-linux rsync locales xfsprogs
        exfat-fuse exfatprogs systemd
        desktop-file-utils appstream
        lintian groff-base
    )
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

# Locales besides C whose date forms differ from it and from each other (day first with "." or
# "/", 24-hour times, year first with CJK markers), so that task lists written in one can be
# tested for reading in another.
extra_locales=(de_DE.UTF-8 en_GB.UTF-8 fr_FR.UTF-8 ja_JP.UTF-8)
[ $build_only -eq 1 ] && extra_locales=()
have_locales=$(locale -a 2>/dev/null || true)
need_locales=()
for l in "${extra_locales[@]}"; do
    # locale -a spells them de_DE.utf8.
    if ! grep -qix "${l%%.*}.utf8" <<<"$have_locales"; then
        need_locales+=("$l")
    fi
done
need_locale=0
[ ${#need_locales[@]} -gt 0 ] && need_locale=1

if [ ${#missing[@]} -eq 0 ] && [ $need_locale -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
else
    echo "bootstrap: these packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
    exit 1
fi

if [ ${#missing[@]} -gt 0 ]; then
    echo "bootstrap: installing ${missing[*]}"
    "${as_root[@]}" apt-get update
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

if [ $need_locale -eq 1 ]; then
    echo "bootstrap: generating the locales ${need_locales[*]}"
    for l in "${need_locales[@]}"; do
        "${as_root[@]}" sed -i "s/^# *\($l UTF-8\)/\1/" /etc/locale.gen
        grep -q "^$l UTF-8" /etc/locale.gen ||
            echo "$l UTF-8" | "${as_root[@]}" tee -a /etc/locale.gen >/dev/null
    done
    "${as_root[@]}" locale-gen
fi
