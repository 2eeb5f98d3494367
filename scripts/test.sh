#!/usr/bin/env bash
# Installs what is missing, builds Tessaloom and runs the whole test suite headless.
# With --sanitize the suite is built and run with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh test
if [ "${1:-}" = "--sanitize" ]; then
    dir=build-sanitize
    bash scripts/build.sh "$dir" -DTESSALOOM_SANITIZE=ON
else
    dir=build
    bash scripts/build.sh "$dir"
fi
cd "$dir"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2
