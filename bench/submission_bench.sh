#!/usr/bin/env bash
# Benchmark (run by hand, not a test): a whole submission of a large scene through the stand-ins,
# from the Submit click to the client's answer, against raw 7-Zip packing the same file in the
# same run. Prints both times and their ratio; the aim is plug-in <= 1.05 x raw 7-Zip plus the
# fixed one-second wait (the host's own save is not part of this run: the scene keeps its name).
#
#   bash bench/submission_bench.sh [SIZE_MB]      (default 1024; half random, half text-like)
# Needs a build (scripts/test.sh once). Leaves its files in build/bench and removes the scene.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/lib/env.sh"
size_mb=${1:-1024}
rud_start_display
rud_start_wine
source "$here/scripts/lib/story.sh"
rud_install_bundle
rud_phase="running the submission benchmark"
rud_hint="see build/bench/host.log and build/bench/client.log"

out=$RUD_BUILD_DIR/bench
rm -rf "$out"
mkdir -p "$out/client" "$out/raw"
scene_dir=$WINEPREFIX/drive_c/Projects/Bench
rm -rf "$scene_dir"
mkdir -p "$scene_dir"
scene=$scene_dir/Bench.max
rud_cleanup_actions+=("rm -rf '$scene_dir' '$out/raw'")

echo "== Making a ${size_mb} MB scene: half random bytes, half repetitive text"
half=$((size_mb / 2))
head -c "${half}M" /dev/urandom >"$scene"
python3 - "$scene" "$((size_mb - half))" <<'PY'
import sys
line = b"MeshNode vertex 0.125000 0.250000 0.500000 normal 0 0 1 uv 0.5 0.5 material Brick_01\n"
with open(sys.argv[1], "ab") as f:
    block = line * (1048576 // len(line) + 1)
    for _ in range(int(sys.argv[2])):
        f.write(block[:1048576])
PY

rm -rf "$WINEPREFIX/drive_c/ProgramData/RUD Rendering"
cache="$WINEPREFIX/drive_c/users/${USER:-$(id -un)}/AppData/Local/MIRASTOR Render Farm For Effect/cache/plugin_scenes"
rm -rf "$cache"
mkdir -p "$cache"

port=18399
wine "$RUD_BIN/rud_client_standin.exe" --port "$port" --once --no-checks \
  --record "$(winepath -w "$out/client")" >"$out/client.log" 2>&1 </dev/null &
client_pid=$!
rud_cleanup_actions+=("kill $client_pid 2>/dev/null")
for _ in $(seq 1 300); do [ -f "$out/client/ready" ] && break; sleep 0.1; done
[ -f "$out/client/ready" ] || rud_die "the stand-in client did not start (see $out/client.log)" "$rud_hint"

cat >"$out/bench.steps" <<'STEPS'
menu 1497
wait-dialog 102
check-row 0 on
click 1005
wait-box
answer OK
wait-closed 102
quit
STEPS

echo "== Submitting through the plug-in (stand-in 3ds Max, client and 7-Zip)"
# Each line the host prints, stamped with the time it arrived.
wine "$RUD_BIN/3dsmax_standin.exe" --scene 'C:\Projects\Bench\Bench.max' \
  --analysis "$(winepath -w "$here/samples/analyses/vray_villa.json")" \
  --steps "$(winepath -w "$out/bench.steps")" --step-timeout 3600 </dev/null 2>&1 |
  while IFS= read -r line; do printf '%s %s\n' "$(date +%s.%N)" "$line"; done >"$out/host.log"

submitted=$(grep -m1 ' STEP [0-9]* click 1005' "$out/host.log" | cut -d' ' -f1)
answered=$(grep -m1 ' MESSAGEBOX ' "$out/host.log" | cut -d' ' -f1)
[ -n "$submitted" ] && [ -n "$answered" ] || rud_die "the submission did not reach the client's answer" "$rud_hint"
grep -q 'MESSAGEBOX  | The task was submitted' "$out/host.log" ||
  rud_die "the client did not accept the task: $(grep -m1 ' MESSAGEBOX ' "$out/host.log")" "$rud_hint"
archive_bytes=$(find "$cache" -name '*.7z' -printf '%s\n' | head -n1)

echo "== Packing the same file with raw 7-Zip"
raw_started=$(date +%s.%N)
7zz a -mx=3 -mmt=on -t7z "$out/raw/raw.7z" "$scene" >/dev/null
raw_ended=$(date +%s.%N)
raw_bytes=$(stat -c %s "$out/raw/raw.7z")

python3 - "$submitted" "$answered" "$raw_started" "$raw_ended" "$archive_bytes" "$raw_bytes" "$size_mb" <<'PY'
import sys
submitted, answered, raw_start, raw_end = map(float, sys.argv[1:5])
archive, raw, size = int(sys.argv[5] or 0), int(sys.argv[6]), int(sys.argv[7])
plugin, sevenzip = answered - submitted, raw_end - raw_start
print(f"  scene                {size} MB (half random)")
print(f"  plug-in, Submit to the client's answer   {plugin:8.1f} s   archive {archive:,} bytes")
print(f"  raw 7zz a -mx=3 -mmt=on -t7z             {sevenzip:8.1f} s   archive {raw:,} bytes")
print(f"  ratio plug-in / raw 7-Zip                {plugin / sevenzip:8.3f}")
print(f"  ratio without the fixed 1 s wait         {(plugin - 1.0) / sevenzip:8.3f}   (aim: <= 1.05)")
PY
