#!/usr/bin/env bash
# Runs the end-to-end scenarios against a build directory.
# usage: tests/e2e/run_e2e.sh BUILD_DIR [--desktop wine|x11|wayland] [--repeat N] [--stop-on-failure]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exec /usr/bin/python3 "$here/run_e2e.py" "$@"
