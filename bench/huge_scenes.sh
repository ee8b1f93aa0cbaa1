#!/usr/bin/env bash
# Benchmark (run by hand, not a test): the submission dialog on analyses of extreme scenes
# (10k / 100k / 600k missing files with 2,000 cameras and 50,000 references, and 10,000
# cameras with 50,000 files), through the stand-in 3ds Max. Prints each phase's time from the
# plug-in's own logs (the warnings list's fills and Ctrl+A, Ctrl+C of all its lines among them),
# the host's peak working set and a bare jsoncpp parse of the same file.
#
#   bash bench/huge_scenes.sh ["600k missing" ...]     (default: every scene)
# Needs a build (scripts/test.sh once). Leaves its files in build/<dir>/bench-huge.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/lib/env.sh"
rud_start_display
rud_start_wine
source "$here/scripts/lib/story.sh"
rud_install_bundle
out=$RUD_BUILD_DIR/bench-huge
rm -rf "$out"
mkdir -p "$out" "$WINEPREFIX/drive_c/Projects/Huge"
: >"$WINEPREFIX/drive_c/Projects/Huge/Huge.max"
python3 "$here/bench/huge_scenes.py" "$out" "$RUD_BIN/3dsmax_standin.exe" "$RUD_BIN/rud_bench_analysis.exe" \
  "$RUD_BIN/rud_client_standin.exe" "$WINEPREFIX" "$WINEPREFIX/drive_c/ProgramData/RUD Rendering" "$@"
