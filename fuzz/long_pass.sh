#!/usr/bin/env bash
# The long fuzz pass: 100,000 cases per reader (or the count given), in a Wine prefix of its own
# so that the tests can run meanwhile (the settings reader rewrites the data folder's settings
# file). Usage: fuzz/long_pass.sh [CASES] [SEED]   — prints the summary and leaves the log in
# build/fuzz-long-<seed>.log.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/lib/env.sh"
cases=${1:-100000}
seed=${2:-2025}

rud_setup
rud_build
rud_start_display
# A copy of the tests' prefix when there is one (faster than making a new prefix).
export WINEPREFIX=$RUD_BUILD_DIR/fuzz-prefix
if [ ! -f "$WINEPREFIX/system.reg" ] && [ -f "$RUD_BUILD_DIR/wineprefix/system.reg" ]; then
  cp -a "$RUD_BUILD_DIR/wineprefix" "$WINEPREFIX"
fi
rud_start_wine

log=$RUD_BUILD_DIR/fuzz-long-$seed.log
wine "$RUD_BIN/rud_fuzz.exe" --target all --cases "$cases" --seed "$seed" 2>&1 | tee "$log"
