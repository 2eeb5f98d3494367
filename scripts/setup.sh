#!/usr/bin/env bash
# Installs what building, running and testing Tessaloom needs on Debian 12, but only what is missing.
set -euo pipefail

packages=(build-essential cmake pkg-config qtbase5-dev qtbase5-dev-tools libqt5serialport5-dev
          libxml2-utils python3 srecord clang libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    echo "Installing: ${missing[*]}"
    "${as_root[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q "${missing[@]}"
fi
