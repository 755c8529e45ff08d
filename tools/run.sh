#!/usr/bin/env bash
# Sets up the machine (when needed), builds, and starts the program under Wine
# on the display it finds, else on a private Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/build.sh"
build="${BUILD_DIR:-$root/build}"
state="$build/runstate"
if [ -n "${DISPLAY:-}" ]; then export BRINDLE_DISPLAY="$DISPLAY"; fi
sed "s#^state=.*#state=\"$state\"#" "$build/wine-run.sh" > "$build/wine-run-app.sh"
chmod +x "$build/wine-run-app.sh"
"$root/tools/wine-session.sh" start "$state" "$build/wine-run-app.sh"
echo "display $(cat "$state/display")"
trap '"$root/tools/wine-session.sh" stop "$state" "$build/wine-run-app.sh"' EXIT
"$root/tools/desktop-run.sh" "$(cat "$state/display")" "$build/wine-run-app.sh" "$build/app/Lumivell.exe"
