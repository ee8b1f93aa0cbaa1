#!/usr/bin/env bash
# The README's test command: installs what is missing, builds the Windows code with mingw-w64,
# and runs every test program under Wine (with Xvfb as the screen when no display is set).
# A second run rebuilds only what changed.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/lib/env.sh"

rud_setup
rud_build
rud_start_display
rud_start_wine

cd "$RUD_BUILD"
rud_phase="running the tests"
rud_hint="the failing tests and their output are listed above; the stories leave what they did in $RUD_BUILD_DIR/e2e and the fault table in $RUD_BUILD_DIR/faults"
ctest --output-on-failure "$@"
