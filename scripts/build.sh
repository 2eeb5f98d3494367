#!/usr/bin/env bash
# Configures and builds into the folder given as $1 (default: build); further arguments go to CMake
# (a CMAKE_BUILD_TYPE among them overrides the default Debug), up to a "--" after which come the
# targets to build (default: all of them).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
options=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    options+=("$1")
    shift
done
shift || true
targets=()
[ $# -eq 0 ] || targets=(--target "$@")
# ccache, when installed, keeps rebuilds of the several build folders short; it is not required.
launcher=()
if command -v ccache > /dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug "${launcher[@]}" "${options[@]}" > "$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
