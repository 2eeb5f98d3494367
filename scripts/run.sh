#!/usr/bin/env bash
# Installs what is missing, builds the optimised Tessaloom in build-release/ and starts the editor.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh run
bash scripts/build.sh build-release -DCMAKE_BUILD_TYPE=RelWithDebInfo
exec ./build-release/src/Tessaloom "$@"
