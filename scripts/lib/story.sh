# One artist's story, played end to end under Wine: the stand-in desktop client listens, the
# stand-in 3ds Max opens a sample scene and runs a steps file against the real dialogs, and
# everything the run leaves (client record, task file, archive, screenshots, logs) is gathered
# in one folder. Sourced after scripts/lib/env.sh, with Wine and a display started.

# Where 3ds Max looks for application bundles of all users, inside the Wine prefix.
RUD_APP_PLUGINS="$WINEPREFIX/drive_c/ProgramData/Autodesk/ApplicationPlugins"

# Installs the plug-in as a pipeline engineer does: packs the built bundle into its zip (CPack,
# from what `cmake --install` lays out) and unzips that into ApplicationPlugins, replacing an
# earlier copy. Sets RUD_BUNDLE_ZIP.
rud_install_bundle() {
  local name
  name=$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' "$RUD_BUILD/CPackConfig.cmake")
  (cd "$RUD_BUILD" && cpack -G ZIP >"$RUD_BUILD/cpack.log" 2>&1) || {
    echo "story: packing the bundle failed (see $RUD_BUILD/cpack.log)" >&2
    return 1
  }
  RUD_BUNDLE_ZIP=$RUD_BUILD/$name.zip
  rm -rf "$RUD_APP_PLUGINS/RUDRendering.bundle"
  mkdir -p "$RUD_APP_PLUGINS"
  (cd "$RUD_APP_PLUGINS" && python3 -m zipfile -e "$RUD_BUNDLE_ZIP" .)
}

# A port nobody listens on, tried in random order so that runs side by side rarely collide.
rud_free_port() {
  local port
  for port in $(shuf -i 18400-18999); do
    ss -ltn 2>/dev/null | grep -q ":$port " || { echo "$port"; return; }
  done
  echo 18400
}

# rud_story OUT SCENE_FILE ANALYSIS STEPS ANSWER [host options...]
#   OUT         folder that receives what the story leaves (made anew)
#   SCENE_FILE  a file of samples/scenes (or an absolute path), opened as C:\Projects\<stem>\<file>
#   ANALYSIS    the analysis the analysis script writes for it (samples/analyses/... or an
#               absolute path); "" makes the analysis script fail
#   STEPS       the steps file the stand-in 3ds Max plays (samples/steps/... or an absolute
#               path); "" leaves the
#               dialogs to a person (the host then runs until its window is closed)
#   ANSWER      the client's answer: a result code (10001 accepts)
# The host loads the plug-in from the installed bundle (rud_install_bundle first).
# Sets RUD_STORY_HOST_RC and RUD_STORY_SCENE (the scene's Windows path).
# Optional, for stories that play a fault: the array rud_story_client_options (more options of
# the stand-in client), RUD_STORY_FOLDER (the scene's folder under C:\Projects instead of its
# stem) and RUD_STORY_BEFORE_HOST (a command run after the client's set-up, before the host).
# The scene folder's files and checksums are listed before and after the run
# (scene-before.txt, scene-after.txt), so that a story can tell what the run changed there.
rud_story_client_options=()
# Wine's path of a Linux path. Starting winepath can fail for a moment while Wine is busy (it then
# prints "Application could not be started" where the path should be): a result is taken only
# when it looks like a Windows path.
rud_winepath() {
  local path try
  for try in 1 2 3; do
    path=$(winepath -w "$1" 2>/dev/null) && [[ $path =~ ^[A-Za-z]:\\ ]] && { printf '%s' "$path"; return; }
    sleep 1
  done
  echo "story: winepath could not convert $1" >&2
  return 1
}
# Files of 4 GB and more (a sparse scene that only has to look big) are listed by size and
# time rather than read.
rud_scene_listing() {
  (cd "$1" && {
    find . -type f -size -4G -print0 | xargs -0 -r md5sum
    find . -type f -size +4G -printf '%s-%T@  %p\n'
  } | sort -k2) >"$2"
}

# RUD_STORY_KEEP_WORKING=0|1: the plug-in starts with that choice of "keep working while the
# scene is packed", remembered in the settings file the client has just written (with remembering
# on and no other option remembered, so every other control keeps its default). Unset: the
# plug-in's own default. A settings file the story's client did not write stays missing.
rud_seed_keep_working() {
  local ini="$WINEPREFIX/drive_c/ProgramData/RUD Rendering/script/kiv_plugin.ini"
  [ -n "${RUD_STORY_KEEP_WORKING:-}" ] && [ -f "$ini" ] || return 0
  python3 - "$ini" "$RUD_STORY_KEEP_WORKING" <<'PY'
import sys
path, keep = sys.argv[1], sys.argv[2]
raw = open(path, "rb").read()
wide = raw.startswith(b"\xff\xfe")
text = raw.decode("utf-16" if wide else "latin-1")
lines = [l for l in text.splitlines() if l.split("=", 1)[0].strip().upper() not in ("REMBER_SETTING", "KEEP_WORKING")]
at = next((i + 1 for i, l in enumerate(lines) if l.strip().lower() == "[general]"), None)
if at is None:
    lines += ["[general]"]
    at = len(lines)
lines[at:at] = ["REMBER_SETTING=1", "KEEP_WORKING=" + keep]
text = "\r\n".join(lines) + "\r\n"
open(path, "wb").write(text.encode("utf-16") if wide else text.encode("latin-1"))
PY
}

rud_story() {
  local out=$1 scene=$2 analysis=$3 steps=$4 answer=$5
  shift 5
  local scene_source=$here/samples/scenes/$scene
  if [[ $scene == /* ]]; then scene_source=$scene; scene=$(basename "$scene"); fi
  rm -rf "$out"
  mkdir -p "$out/shots" "$out/client" "$out/logs"

  local stem=${scene%.*}
  local folder=${RUD_STORY_FOLDER:-$stem}
  local scene_dir="$WINEPREFIX/drive_c/Projects/$folder"
  rm -rf "$scene_dir"
  mkdir -p "$scene_dir"
  cp "$scene_source" "$scene_dir/"
  RUD_STORY_SCENE="C:\\Projects\\$folder\\$scene"

  # Start from a clean data folder so that logs, settings and remembered options are this run's.
  rm -rf "$WINEPREFIX/drive_c/ProgramData/RUD Rendering"
  local cache
  cache="$WINEPREFIX/drive_c/users/${USER:-$(id -un)}/AppData/Local/MIRASTOR Render Farm For Effect/cache/plugin_scenes"
  rm -rf "$cache"
  mkdir -p "$cache"
  RUD_STORY_CACHE=$cache   # for RUD_STORY_BEFORE_HOST

  # A port taken between the look and the client's bind (runs side by side) gets another try.
  local port client_pid attempt
  for attempt in 1 2 3; do
    port=$(rud_free_port)
    wine "$RUD_BIN/rud_client_standin.exe" --port "$port" --once --answer "$answer" \
      --record "$(rud_winepath "$out/client")" --user artist01 "${rud_story_client_options[@]}" \
      >"$out/client.log" 2>&1 </dev/null &
    client_pid=$!
    local waited=0
    while [ ! -f "$out/client/ready" ] && [ $waited -lt 300 ] && kill -0 "$client_pid" 2>/dev/null; do
      sleep 0.1
      waited=$((waited + 1))
    done
    [ -f "$out/client/ready" ] && break
    kill "$client_pid" 2>/dev/null || true
    wait "$client_pid" 2>/dev/null || true
  done
  if [ ! -f "$out/client/ready" ]; then
    echo "story: the stand-in client did not start (see $out/client.log)" >&2
    RUD_STORY_HOST_RC=99
    return
  fi

  local steps_file=$steps
  [ "${steps:0:1}" = / ] || steps_file=$here/$steps
  local drive=(--steps "$(rud_winepath "$steps_file")")
  [ -n "$steps" ] || drive=()
  rud_scene_listing "$scene_dir" "$out/scene-before.txt"
  rud_seed_keep_working
  # A fault story may damage things the client has just laid out (RUD_STORY_BEFORE_HOST).
  [ -z "${RUD_STORY_BEFORE_HOST:-}" ] || eval "$RUD_STORY_BEFORE_HOST"
  # No analysis: the analysis script fails (the host answers 0).
  local analysis_file=$analysis
  [ "${analysis:0:1}" = / ] || analysis_file=$here/$analysis
  local analysed=(--analysis "$(rud_winepath "$analysis_file")")
  [ -n "$analysis" ] || analysed=()
  RUD_STORY_HOST_RC=0
  timeout "${RUD_STORY_TIMEOUT:-300}" wine "$RUD_BIN/3dsmax_standin.exe" --scene "$RUD_STORY_SCENE" \
    "${analysed[@]}" "${drive[@]}" \
    --shots "$(rud_winepath "$out/shots")" "$@" >"$out/host.log" 2>&1 </dev/null || RUD_STORY_HOST_RC=$?
  rud_scene_listing "$scene_dir" "$out/scene-after.txt"

  # The client writes its verdict on a request only once it has checked the archive, which for
  # a large scene on a busy machine can outlast the host; give it a bounded time for that.
  local request waited_verdict=0
  for request in "$out"/client/request-*.http; do
    [ -f "$request" ] || continue
    local verdict=${request/request-/verdict-}
    verdict=${verdict%.http}.json
    while [ ! -f "$verdict" ] && [ $waited_verdict -lt 600 ] && kill -0 "$client_pid" 2>/dev/null; do
      sleep 0.1
      waited_verdict=$((waited_verdict + 1))
    done
  done
  for _ in $(seq 1 20); do kill -0 "$client_pid" 2>/dev/null || break; sleep 0.1; done
  kill "$client_pid" 2>/dev/null || true
  wait "$client_pid" 2>/dev/null || true

  cp -r "$WINEPREFIX/drive_c/ProgramData/RUD Rendering/"log* "$out/logs/" 2>/dev/null || true
  RUD_STORY_CACHE=$cache RUD_STORY_SCENE_FILE="$scene_dir/$scene" \
    python3 "$here/scripts/lib/story_artefacts.py" collect "$out"
}
