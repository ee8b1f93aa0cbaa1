#!/usr/bin/env bash
# End to end: every sample scene's story and one refusal, played unattended through the real
# dialogs, the real worker, the real 7-Zip and a real socket; checks what each story leaves.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/scripts/lib/env.sh"
source "$here/scripts/lib/story.sh"
[ -n "${DISPLAY:-}" ] || rud_start_display

out_root=$RUD_BUILD_DIR/e2e
passed=0
failed=0
check() {
  local name=$1
  shift
  if [ "$RUD_STORY_HOST_RC" = 0 ] &&
     python3 "$here/scripts/lib/story_artefacts.py" expect "$out_root/$name" "$@"; then
    passed=$((passed + 1))
    echo "ok     $name"
  else
    failed=$((failed + 1))
    echo "FAILED $name (host exit $RUD_STORY_HOST_RC; see $out_root/$name/host.log)"
  fi
}

rud_story "$out_root/villa" Villa.max samples/analyses/vray_villa.json samples/steps/villa_submit.steps 10001
check villa answer=10001 requests=1 cameras=Cam_Exterior_Front,Cam_Pool_Aerial render_mode=block \
  archive_valid=true archive_holds_scene=true failed_steps=0 scripts=4

rud_story "$out_root/loft" Loft.max samples/analyses/corona_loft.json samples/steps/loft_submit.steps 10001
check loft answer=10001 requests=1 cameras=Loft_Bedroom,Loft_Kitchen render_mode=dist \
  archive_holds_scene=true failed_steps=0

rud_story "$out_root/warehouse" Warehouse.max samples/analyses/problem_warehouse.json samples/steps/warehouse_open.steps 10001
check warehouse requests=0 failed_steps=0

rud_story "$out_root/villa-refused" Villa.max samples/analyses/vray_villa.json samples/steps/villa_refused.steps 10009
check villa-refused answer=10009 requests=1 cameras=Cam_Living_Room failed_steps=0 message_boxes=1 \
  "message=already been submitted"

# A scene of a few hundred MB, made here rather than kept in the repository: 20 MB of noise in
# 300 MB of zeros keeps 7-Zip busy for seconds, not minutes.
heavy=$out_root/scenes/Heavy.max
mkdir -p "$(dirname "$heavy")"
python3 - "$heavy" <<'PY'
import random, sys
noise = random.Random(15)
with open(sys.argv[1], "wb") as scene:
    scene.write(b"Stand-in for the 3ds Max scene Heavy.max, padded to the size of a heavy scene.\r\n")
    for _ in range(20):
        scene.write(noise.randbytes(1 << 20))
        scene.write(bytes(15 << 20))
PY
RUD_STORY_TIMEOUT=600 rud_story "$out_root/heavy-cancel" "$heavy" samples/analyses/vray_villa.json \
  samples/steps/heavy_cancel.steps 10001
check heavy-cancel answer=10001 requests=1 cameras=Cam_Exterior_Front archive_holds_scene=true \
  failed_steps=0 message_boxes=1 archives_left=1 "data_log=[INFO] Packing was cancelled by the user"
rm -f "$heavy" "$WINEPREFIX/drive_c/Projects/Heavy/"*.max

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
