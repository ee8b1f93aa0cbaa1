#!/usr/bin/env bash
# The README's main-job command: the plug-in's main job end to end, as an artist would run it.
# Sets up what is missing, builds, installs the plug-in's bundle zip into the Wine prefix's
# ApplicationPlugins folder, starts the stand-in desktop client and the stand-in 3ds Max
# with the Villa sample scene, opens the submission dialog through the menu, checks and edits
# cameras, chooses options, submits and waits for the client's answer. Prints what happened and
# leaves screenshots, the task file, the archive, the client's record and the logs in one folder.
#
#   scripts/mainjob.sh                 drive the dialogs unattended (Xvfb when no display is set)
#   scripts/mainjob.sh --interactive   leave the dialogs to you (needs a display)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/lib/env.sh"
source "$here/scripts/lib/story.sh"

interactive=0
for arg in "$@"; do
  case $arg in
    --interactive) interactive=1 ;;
    -h|--help) sed -n '2,10p' "$0"; exit 0 ;;
    *) echo "mainjob: unknown option $arg" >&2; exit 2 ;;
  esac
done
if [ $interactive = 1 ] && [ -z "${DISPLAY:-}" ]; then
  echo "mainjob: --interactive needs a display (DISPLAY is not set)" >&2
  exit 2
fi

started=$(date +%s)
echo "== Setting up and building (first run: several minutes)"
rud_setup >/dev/null
rud_build
rud_start_display
rud_start_wine
rud_install_bundle
echo "== Installed $(basename "$RUD_BUNDLE_ZIP") into C:\\ProgramData\\Autodesk\\ApplicationPlugins (3ds Max loads it from there)"

out=$RUD_BUILD_DIR/mainjob/$(date +%Y%m%d-%H%M%S)
if [ $interactive = 1 ]; then
  steps=""
  export RUD_STORY_TIMEOUT=86400
  echo "== 3ds Max (stand-in) opens on your display: choose RUD Rendering > Submit, then close it when done"
else
  steps=samples/steps/villa_submit.steps
  echo "== Playing the Villa story: two cameras, one renamed, three blocks, colour channel, virus checks"
fi
rud_phase="playing the story"
rud_hint="see the story's folder under $RUD_BUILD_DIR/mainjob (host.log, client.log, logs/, shots/)"
story_started=$(date +%s)
rud_story "$out" Villa.max samples/analyses/vray_villa.json "$steps" 10001
elapsed=$(( $(date +%s) - story_started ))

echo
echo "== What happened"
python3 "$here/scripts/lib/story_artefacts.py" print "$out" "$elapsed"
echo "  artefacts    $out"
echo "               (shots/: screenshots, task.json, the .7z, client/: the raw request and"
echo "                the client's verdict, logs/: the plug-in's log files, host.log)"
echo "  total time   $(( $(date +%s) - started )) s"

if [ "$RUD_STORY_HOST_RC" != 0 ]; then
  echo "mainjob: the stand-in 3ds Max ended with code $RUD_STORY_HOST_RC (see $out/host.log)" >&2
  exit 1
fi
if [ $interactive = 0 ]; then
  python3 "$here/scripts/lib/story_artefacts.py" expect "$out" answer=10001 archive_holds_scene=true plugin_modules=1 >/dev/null || {
    echo "mainjob: the client did not accept the task" >&2
    exit 1
  }
fi
