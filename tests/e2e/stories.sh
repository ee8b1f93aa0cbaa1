#!/usr/bin/env bash
# End to end: every sample scene's story and one refusal, played unattended through the real
# dialogs, the real worker, the real 7-Zip and a real socket; checks what each story leaves.
# The plug-in comes from its bundle zip, installed into ApplicationPlugins first; a last story
# plants bundles the host must pass over.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/scripts/lib/env.sh"
source "$here/scripts/lib/story.sh"
[ -n "${DISPLAY:-}" ] || rud_start_display

out_root=$RUD_BUILD_DIR/e2e
rud_install_bundle
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
  archive_valid=true archive_holds_scene=true failed_steps=0 scripts=4 plugin_modules=1

rud_story "$out_root/loft" Loft.max samples/analyses/corona_loft.json samples/steps/loft_submit.steps 10001
check loft answer=10001 requests=1 cameras=Loft_Bedroom,Loft_Kitchen render_mode=dist \
  archive_holds_scene=true failed_steps=0

rud_story "$out_root/warehouse" Warehouse.max samples/analyses/problem_warehouse.json samples/steps/warehouse_open.steps 10001
check warehouse requests=0 failed_steps=0

rud_story "$out_root/villa-refused" Villa.max samples/analyses/vray_villa.json samples/steps/villa_refused.steps 10009
check villa-refused answer=10009 requests=1 cameras=Cam_Living_Room failed_steps=0 message_boxes=1 \
  "message=already been submitted"

# Beside ours: another plug-in's release for 3ds Max 2024 only, a package that is not XML, and an older release
# of ours (same UpgradeCode) whose module does not even exist. The host must load ours alone
# and say why it passed over each of the others.
planted=(RUDRendering2024.bundle Broken.bundle RUDRendering-1.0.bundle)
rud_cleanup_actions+=("(cd '$RUD_APP_PLUGINS' && rm -rf ${planted[*]})")
ours="$RUD_APP_PLUGINS/RUDRendering.bundle/PackageContents.xml"
mkdir -p "${planted[@]/#/$RUD_APP_PLUGINS/}"
sed 's/SeriesMin="2025" SeriesMax="2025"/SeriesMin="2024" SeriesMax="2024"/; s/UpgradeCode="[^"]*"/UpgradeCode="{0E5A41F6-5C02-4B8B-9D0E-6B9C2F11A024}"/' "$ours" \
  >"$RUD_APP_PLUGINS/RUDRendering2024.bundle/PackageContents.xml"
head -c 300 "$ours" >"$RUD_APP_PLUGINS/Broken.bundle/PackageContents.xml"
sed 's/AppVersion="[^"]*"/AppVersion="1.0.0"/; s/RUD_Rendering_2025.gup/Missing.gup/' "$ours" \
  >"$RUD_APP_PLUGINS/RUDRendering-1.0.bundle/PackageContents.xml"
mkdir -p "$out_root/bundles"
set +e
timeout 120 wine "$RUD_BIN/3dsmax_standin.exe" --run-action 1498 --auto-answer \
  >"$out_root/bundles/host.log" 2>&1 </dev/null
RUD_STORY_HOST_RC=$?
set -e
(cd "$RUD_APP_PLUGINS" && rm -rf "${planted[@]}")
log=$out_root/bundles/host.log
if [ "$RUD_STORY_HOST_RC" = 0 ] &&
   grep -q 'BUNDLE SKIPPED .*RUDRendering2024.bundle: no plugins parts for 3ds Max 2025 on Win64' "$log" &&
   grep -q 'BUNDLE SKIPPED .*Broken.bundle: not well-formed XML' "$log" &&
   grep -q 'BUNDLE SKIPPED .*RUDRendering-1.0.bundle: AppVersion 1.0.0 gives way to ' "$log" &&
   [ "$(grep -c '^BUNDLE [A-Z]:' "$log")" = 1 ] &&
   grep -q '^BUNDLE .*RUDRendering.bundle\\Contents\\RUD_Rendering_2025.gup' "$log" &&
   grep -q '^PLUGIN ' "$log" && grep -q '^MESSAGEBOX ' "$log"; then
  passed=$((passed + 1))
  echo "ok     bundles"
else
  failed=$((failed + 1))
  echo "FAILED bundles (host exit $RUD_STORY_HOST_RC; see $log)"
fi

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
