#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing Duvanto need, and nothing else.
# Safe to run again: it only calls apt-get when a package is missing. Works as root or via sudo.
set -euo pipefail

packages=(
    cmake ninja-build g++ make pkg-config
    libgtest-dev libgmock-dev
    libdeflate-dev libcli11-dev
    clang-format util-linux rsync locales
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
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

echo "bootstrap: installing ${missing[*]}"
"${as_root[@]}" apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
