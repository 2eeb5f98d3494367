#!/usr/bin/env bash
# Installs on Debian 12 what the given task needs, but only what is missing:
#   setup.sh run    building and running the editor (the default)
#   setup.sh test   the same, and what the test suite uses
#   setup.sh fuzz   the same, and clang with its fuzzing runtime
set -euo pipefail

packages=(build-essential cmake pkg-config qtbase5-dev qtbase5-dev-tools libqt5serialport5-dev libgif-dev)
case "${1:-run}" in
    run) ;;
    test) packages+=(libxml2-utils python3 srecord dpkg-dev imagemagick xvfb xauth shared-mime-info xdg-utils) ;;
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    *) echo "usage: $0 [run|test|fuzz]" >&2; exit 2 ;;
esac

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
