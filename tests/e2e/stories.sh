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
  archive_valid=true archive_holds_scene=true failed_steps=0 scripts=4 plugin_modules=1 boxes=IDS_SUBMIT_ACCEPTED/-/104

# These stories play the flow where the artist waits behind the busy window for the answer.

RUD_STORY_KEEP_WORKING=0 rud_story "$out_root/loft" Loft.max samples/analyses/corona_loft.json samples/steps/loft_submit.steps 10001
check loft answer=10001 requests=1 cameras=Loft_Bedroom,Loft_Kitchen render_mode=dist \
  archive_holds_scene=true failed_steps=0

RUD_STORY_KEEP_WORKING=0 rud_story "$out_root/warehouse" Warehouse.max samples/analyses/problem_warehouse.json samples/steps/warehouse_open.steps 10001
check warehouse requests=0 failed_steps=0

RUD_STORY_KEEP_WORKING=0 rud_story "$out_root/villa-refused" Villa.max samples/analyses/vray_villa.json samples/steps/villa_refused.steps 10009
check villa-refused answer=10009 requests=1 cameras=Cam_Living_Room failed_steps=0 message_boxes=1 \
  "message=already been submitted"

# A save that fails sends no "after": neither the plug-in's own failed save nor a failed
# autobackup of 3ds Max's may hold a submission for ever.
rud_story "$out_root/save-fails-again" Villa.max samples/analyses/vray_villa.json samples/steps/save_fails_again.steps 10001
check save-fails-again answer=10001 requests=1 failed_steps=0 host_has=SAVES \
  "boxes=IDS_NO_SCENE_FILE/IDS_CAPTION_ERROR/102;IDS_SUBMIT_ACCEPTED/-/104"
rud_story "$out_root/held-save-cancel" Villa.max samples/analyses/vray_villa.json samples/steps/held_save_cancel.steps 10001 \
  --fail-save --autobackup 1000
check held-save-cancel requests=0 failed_steps=0 boxes=none host_has=AUTOBACKUP \
  "data_log=[INFO] The submission was cancelled by the user while 3ds Max was busy"

# Scripted submissions through the published MAXScript interface (the host's maxscript steps):
# no dialog and no message box may come up in any of them.
scripted() {   # scripted NAME SCENE ANALYSIS [host options...]
  local name=$1 scene=$2 analysis=$3
  shift 3
  RUD_STORY_KEEP_WORKING=0 rud_story "$out_root/script-$name" "$scene" "samples/analyses/$analysis" \
    "samples/steps/script_${name//-/_}.steps" 10001 "$@"
}
quiet="failed_steps=0 boxes=none"
rud_story_client_options=(--requests 3 --refuse 2)
RUD_STORY_BEFORE_HOST='for s in Night Dusk; do cp "$scene_dir/Villa.max" "$scene_dir/Villa_$s.max"; done' \
  scripted three-scenes Villa.max vray_villa.json
rud_story_client_options=()
check script-three-scenes $quiet requests=3 answer=10001 archive_holds_scene=true cameras=Cam_Exterior_Front,Cam_Pool_Aerial \
  'host_has=MAXSCRIPT RUDRendering.submit cameras:#("Cam_Exterior_Front") -> 10009'
scripted corona-unlimited Loft.max corona_unlimited.json
check script-corona-unlimited $quiet requests=0 archives_left=0 task_files_left=0 \
  "host_has=MAXSCRIPT RUDRendering.lastMessage() -> \"Corona: the pass limit, time limit and noise level limit are all unlimited"
scripted unknown-camera Villa.max vray_villa.json
check script-unknown-camera $quiet requests=0 scene_changes=none \
  "host_has=MAXSCRIPT RUDRendering.lastMessage() -> \"The scene has no camera named \"Cam_Garden\""
scripted analyse-villa Villa.max vray_villa.json
check script-analyse-villa $quiet requests=0 \
  'host_has=MAXSCRIPT RUDRendering.cameras() -> #("Cam_Exterior_Front", "Cam_Living_Room", "Cam_Pool_Aerial")' \
  'host_has=MAXSCRIPT RUDRendering.cameraWidths() -> #(1920, 1920, 2560)' \
  'host_has=MAXSCRIPT RUDRendering.renderer() -> "V-Ray 6 Update 2.1"' \
  'host_has=MAXSCRIPT RUDRendering.cameraFormats() -> #("PNG", "PNG", "PNG")' \
  'host_has=MAXSCRIPT RUDRendering.problems() -> #()' 'host_has=MAXSCRIPT RUDRendering.refusal() -> ""'
scripted batch-mode Villa.max vray_villa.json --no-main-window
check script-batch-mode $quiet requests=1 answer=10001 cameras=Cam_Pool_Aerial render_mode=block \
  "host_has=READY (no main window)"
scripted busy Villa.max vray_villa.json
check script-busy $quiet requests=1 answer=10001 cameras=Cam_Living_Room archive_holds_scene=true snapshots_left=0
scripted busy-menu Villa.max vray_villa.json
check script-busy-menu failed_steps=0 requests=1 answer=10001 snapshots_left=0 \
  scripts=1 boxes=IDS_SCRIPT_RUN_UNDER_WAY/IDS_CAPTION_NOTICE/0

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
RUD_STORY_KEEP_WORKING=0 RUD_STORY_TIMEOUT=600 rud_story "$out_root/heavy-cancel" "$heavy" samples/analyses/vray_villa.json \
  samples/steps/heavy_cancel.steps 10001
check heavy-cancel answer=10001 requests=1 cameras=Cam_Exterior_Front archive_holds_scene=true \
  failed_steps=0 message_boxes=1 archives_left=1 "data_log=[INFO] Packing was cancelled by the user"

# Keeping on working while the heavy scene is packed and sent (the plug-in's default): each story
# plays samples/steps/keep_working_<name>.steps on the heavy scene.
keep_working() {   # keep_working NAME [host options...]
  local name=$1
  shift
  rud_story "$out_root/keep-working-$name" "${kw_scene:-$heavy}" samples/analyses/vray_villa.json \
    "samples/steps/keep_working_${name//-/_}.steps" 10001 "$@"
}
# Notes when 3ds Max was asked to quit and, every 100 ms, whether this prefix's 7-Zip still runs.
watch_sevenzip() {   # watch_sevenzip OUT
  local quit=""
  for _ in $(seq 1 1800); do
    if [ -z "$quit" ] && grep -q '^QUIT ASKED' "$1/host.log" 2>/dev/null; then
      quit=$(date +%s%3N)
      echo "quit $quit"
    fi
    if [[ $(pgrep -a -x 7zz) == *"$WINEPREFIX"* ]]; then echo "sevenzip $(date +%s%3N)"; fi
    grep -q '^EXIT ' "$1/host.log" 2>/dev/null && break
    sleep 0.1
  done >"$1/sevenzip-watch.txt"
}
accepted_here="answer=10001 requests=1 failed_steps=0 snapshots_left=0 boxes=IDS_SUBMIT_ACCEPTED/-/104"

keep_working handback
check keep-working-handback $accepted_here archive_holds_scene=true host_has=HANDBACK host_has=RESPONSIVE \
  host_log_lacks=HOST-CALL-AFTER-HANDBACK
keep_working save --save-writes
check keep-working-save $accepted_here "archive_scene_head=save 1" "scene_head=save 2"
keep_working cancel
check keep-working-cancel $accepted_here cameras=Cam_Exterior_Front,Cam_Living_Room render_mode=block \
  analyses=2 archives_left=1 task_files_left=1
keep_working menu
check keep-working-menu $accepted_here cameras=Cam_Exterior_Front analyses=1 \
  "log=kiv_ui:*:A submission is running"
RUD_STORY_BEFORE_HOST='printf "another scene\r\n" >"$WINEPREFIX/drive_c/Projects/Heavy/Other.max"' keep_working open
check keep-working-open $accepted_here host_has=OPEN archive_holds_scene=true \
  "archive_scene_head=$(head -n1 "$heavy" | tr -d '\r')"
# Cancelled after another scene was opened: the dialog that comes back, and the submission made
# from it, are the open scene's alone.
RUD_STORY_BEFORE_HOST='printf "another scene\r\n" >"$WINEPREFIX/drive_c/Projects/Heavy/Other.max"' keep_working other-scene
check keep-working-other-scene $accepted_here host_has=OPEN cameras=Cam_Exterior_Front analyses=2 \
  archive_holds_scene=true "archive_scene_head=another scene" scene_changes=+Other.max
keep_working quit-no
check keep-working-quit-no answer=10001 requests=1 failed_steps=0 snapshots_left=0 archive_holds_scene=true \
  "host_has=QUIT REFUSED" "message=still being packed"
RUD_STORY_BEFORE_HOST='watch_sevenzip "$out" & watcher=$!' keep_working quit-yes
wait "$watcher" || true
check keep-working-quit-yes requests=0 failed_steps=0 archives_left=0 task_files_left=0 snapshots_left=0 \
  sevenzip_gone_within=2000 "message=still being packed" "host_has=QUIT ASKED" "host_log_lacks=QUIT REFUSED"
rud_story_client_options=(--silent)
export RUD_CLIENT_REPLY_TIMEOUT_MS=6000
keep_working quit-sending
unset RUD_CLIENT_REPLY_TIMEOUT_MS
rud_story_client_options=()
check keep-working-quit-sending requests=1 failed_steps=0 snapshots_left=0 archives_left=1 task_files_left=1 \
  "message=did not confirm" "host_log_lacks=still being packed" "host_log_lacks=QUIT REFUSED" "host_has=QUIT ASKED"
# Work left for 3ds Max's thread (the dialog after a cancelled run) waits for it to be idle: not
# inside its file dialog, nor inside the question a quit asks; and a quit another exit callback
# refuses leaves the plug-in as before.
nothing_left="requests=0 failed_steps=0 snapshots_left=0 archives_left=0 task_files_left=0"
keep_working host-dialog
check keep-working-host-dialog $nothing_left "host_has=HOST-DIALOG CLOSED"
keep_working quit-cancel
check keep-working-quit-cancel $nothing_left "message=still being packed" "host_has=QUIT REFUSED"
keep_working quit-refused --refuse-quit
check keep-working-quit-refused $nothing_left "message=still being packed" "host_has=QUIT REFUSED"
keep_working off
check keep-working-off answer=10001 requests=1 failed_steps=0 snapshots_left=0 archive_holds_scene=true \
  boxes=IDS_SUBMIT_ACCEPTED/-/102
rm -f "$heavy" "$WINEPREFIX/drive_c/Projects/Heavy/"*.max

# No room for the copy that is packed: a sparse scene larger than the free space of the prefix's
# disk. Nothing may read it; should anything copy it all the same, the story is ended before the
# shared disk fills up.
huge=$out_root/scenes/Huge.max
truncate -s "$(( $(df --output=avail -B1 "$WINEPREFIX/drive_c" | tail -n1) + (1 << 30) ))" "$huge"
guard_disk() {   # guard_disk OUT: ends this prefix's Wine when less than 8 GB stay free
  while [ ! -f "$1/host-done" ]; do
    if [ "$(df --output=avail -B1 "$WINEPREFIX/drive_c" | tail -n1)" -lt $((8 << 30)) ]; then
      echo "the disk was filling up: the story was ended" >"$1/disk-guard.txt"
      wineserver -k
      break
    fi
    sleep 0.5
  done
}
kw_scene=$huge RUD_STORY_BEFORE_HOST='guard_disk "$out" & watcher=$!' keep_working no-room
touch "$out_root/keep-working-no-room/host-done"
wait "$watcher" || true
rm -f "$huge" "$WINEPREFIX/drive_c/Projects/Huge/Huge.max"
check keep-working-no-room boxes=IDS_SNAPSHOT_NO_ROOM/IDS_CAPTION_ERROR/102 requests=0 failed_steps=0 \
  snapshots_left=0 archives_left=0 task_files_left=0
[ ! -f "$out_root/keep-working-no-room/disk-guard.txt" ] || cat "$out_root/keep-working-no-room/disk-guard.txt"

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
