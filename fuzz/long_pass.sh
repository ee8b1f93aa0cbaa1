#!/usr/bin/env bash
# The long fuzz pass: 100,000 cases per reader (or the count given). A crash or a hang ends the
# fuzzer after saving the case; the pass then goes on from the case after it, so one finding
# never hides the rest. Usage: fuzz/long_pass.sh [CASES] [SEED]   — prints each target's
# summary and leaves the whole output in build/fuzz-long-<seed>.log.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/lib/env.sh"
cases=${1:-100000}
seed=${2:-2025}

rud_setup
rud_build
rud_start_display
rud_start_wine

log=$RUD_BUILD_DIR/fuzz-long-$seed.log
: >"$log"
ended=0
for target in analysis reply settings sharedmemory taskfile; do
  from=0
  while [ "$from" -lt "$cases" ]; do
    rc=0
    wine "$RUD_BIN/rud_fuzz.exe" --target "$target" --seed "$seed" --from "$from" --cases $((cases - from)) \
      >>"$log" 2>&1 || rc=$?
    [ "$rc" -eq 3 ] || break
    ended=$((ended + 1))
    last=$(grep -a -o "^case $target [0-9]*" "$log" | tail -n 1 | cut -d' ' -f3)
    from=$((last + 1))
  done
  grep -a -E "^$target +cases" "$log" | tail -n 1 || true
done
grep -a -E "^  (bad|crash|hang):" "$log" || true
echo "$ended runs ended by a crash or a hang; findings in fuzz/findings"
