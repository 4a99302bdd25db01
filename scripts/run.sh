#!/usr/bin/env bash
# Installs what is needed, builds, and starts the editor with the bundled demo diagram.
# Without a display the editor runs under Xvfb. Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo

exe=build/bin/velmaris
args=("$@")
if [ ${#args[@]} -eq 0 ]; then
  args=(build/bin/demo/rundgang.vlm)
fi
if [ -n "${DISPLAY:-}" ]; then
  exec "$exe" "${args[@]}"
else
  echo "No display: starting under xvfb-run."
  if [ $# -eq 0 ]; then
    # Nobody could use the window: play the guided tour instead, which ends by itself.
    echo "Playing the guided tour (demo/rundgang.demo)."
    args=(--testmode)
  fi
  exec xvfb-run -a -s "-screen 0 1600x1200x24" "$exe" "${args[@]}"
fi
