# One artist's story, played end to end under Wine: the stand-in desktop client listens, the
# stand-in 3ds Max opens a sample scene and runs a steps file against the real dialogs, and
# everything the run leaves (client record, task file, archive, screenshots, logs) is gathered
# in one folder. Sourced after scripts/lib/env.sh, with Wine and a display started.

rud_free_port() {
  local port
  for port in $(seq 18400 18499); do
    ss -ltn 2>/dev/null | grep -q ":$port " || { echo "$port"; return; }
  done
  echo 18400
}

# rud_story OUT SCENE_FILE ANALYSIS STEPS ANSWER [host options...]
#   OUT         folder that receives what the story leaves (made anew)
#   SCENE_FILE  a file of samples/scenes (or an absolute path), opened as C:\Projects\<stem>\<file>
#   ANALYSIS    the analysis the analysis script writes for it (samples/analyses/...)
#   STEPS       the steps file the stand-in 3ds Max plays (samples/steps/...); "" leaves the
#               dialogs to a person (the host then runs until its window is closed)
#   ANSWER      the client's answer: a result code (10001 accepts)
# Sets RUD_STORY_HOST_RC and RUD_STORY_SCENE (the scene's Windows path).
rud_story() {
  local out=$1 scene=$2 analysis=$3 steps=$4 answer=$5
  shift 5
  local scene_source=$here/samples/scenes/$scene
  if [[ $scene == /* ]]; then scene_source=$scene; scene=$(basename "$scene"); fi
  rm -rf "$out"
  mkdir -p "$out/shots" "$out/client" "$out/logs"

  local stem=${scene%.*}
  local scene_dir="$WINEPREFIX/drive_c/Projects/$stem"
  rm -rf "$scene_dir"
  mkdir -p "$scene_dir"
  cp "$scene_source" "$scene_dir/"
  RUD_STORY_SCENE="C:\\Projects\\$stem\\$scene"

  # Start from a clean data folder so that logs, settings and remembered options are this run's.
  rm -rf "$WINEPREFIX/drive_c/ProgramData/RUD Rendering"
  local cache="$WINEPREFIX/drive_c/users/${USER:-$(id -un)}/AppData/Local/MIRASTOR Render Farm For Effect/cache/plugin_scenes"
  rm -rf "$cache"
  mkdir -p "$cache"

  local port
  port=$(rud_free_port)
  wine "$RUD_BIN/rud_client_standin.exe" --port "$port" --once --answer "$answer" \
    --record "$(winepath -w "$out/client")" --user artist01 \
    >"$out/client.log" 2>&1 </dev/null &
  local client_pid=$!
  local waited=0
  while [ ! -f "$out/client/ready" ] && [ $waited -lt 300 ]; do sleep 0.1; waited=$((waited + 1)); done
  if [ ! -f "$out/client/ready" ]; then
    echo "story: the stand-in client did not start (see $out/client.log)" >&2
    kill "$client_pid" 2>/dev/null || true
    RUD_STORY_HOST_RC=99
    return
  fi

  local drive=(--steps "$(winepath -w "$here/$steps")")
  [ -n "$steps" ] || drive=()
  set +e
  timeout "${RUD_STORY_TIMEOUT:-300}" wine "$RUD_BIN/3dsmax_standin.exe" --scene "$RUD_STORY_SCENE" \
    --analysis "$(winepath -w "$here/$analysis")" "${drive[@]}" \
    --shots "$(winepath -w "$out/shots")" "$@" >"$out/host.log" 2>&1 </dev/null
  RUD_STORY_HOST_RC=$?
  set -e

  for _ in $(seq 1 20); do kill -0 "$client_pid" 2>/dev/null || break; sleep 0.1; done
  kill "$client_pid" 2>/dev/null || true
  wait "$client_pid" 2>/dev/null || true

  cp -r "$WINEPREFIX/drive_c/ProgramData/RUD Rendering/"log* "$out/logs/" 2>/dev/null || true
  python3 "$here/scripts/lib/story_artefacts.py" collect "$out"
}
