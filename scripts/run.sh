#!/usr/bin/env bash
# Installs what is missing, builds the optimised editor, tessaloom-cli and the simulated panel in
# build-release/ (the tests are scripts/test.sh's) and starts the editor.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh run
dir=build-release
bash scripts/build.sh "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -- Tessaloom tessaloom-cli panelsim

# Without a display Qt gives up with a message about platform plugins; say what is missing instead.
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
    cat >&2 <<END
Built $dir/src/Tessaloom, but there is no display to show it on (DISPLAY is not set).
Start it from a desktop session, over "ssh -X", or through a VNC viewer on port 5900 with
    QT_QPA_PLATFORM=vnc $dir/src/Tessaloom
$dir/src/tessaloom-cli and $dir/tools/panelsim/panelsim need no display.
END
    exit 1
fi
# sudo keeps DISPLAY but not the X authority of the user it came from.
if [ -n "${DISPLAY:-}" ] && [ -z "${XAUTHORITY:-}" ] && [ -n "${SUDO_USER:-}" ]; then
    home=$(getent passwd "$SUDO_USER" | cut -d: -f6)
    [ ! -r "$home/.Xauthority" ] || export XAUTHORITY="$home/.Xauthority"
fi
exec "./$dir/src/Tessaloom" "$@"
