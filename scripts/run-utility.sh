#!/usr/bin/env bash
# Opens Kelvadiag on the embedded default simulated machine, on the real clock. Without a display
# it says how to run it instead, rather than failing inside Qt.
# Usage: run-utility.sh <build folder> [program arguments...]
set -euo pipefail

build="$1"
shift
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "make run: no display here (DISPLAY is not set); run it on a virtual one: xvfb-run -a make run" >&2
  exit 1
fi
unset KELVA_CLOCK
exec "$build/utility/Kelvadiag" "$@"
