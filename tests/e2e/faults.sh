#!/usr/bin/env bash
# The fault table, end to end: each row damages one thing (7-Zip, the cache, the client, the
# client's installation, the host's save, the typed scene name, the scene path, the analysis),
# plays a submission through the real dialogs and the stand-ins, and checks what the artist saw
# (text, caption, owning dialog), the log line, that the client never got a request whose archive
# or task file was not whole, what changed beside the scene, that the scene itself and the cache
# hold nothing they should not, and that 3ds Max ran on and exited 0.
#
#   tests/e2e/faults.sh [ROW-NAME-PATTERN]     (under scripts/test.sh's environment; CTest runs it)
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/scripts/lib/env.sh"
source "$here/scripts/lib/story.sh"
[ -n "${DISPLAY:-}" ] || rud_start_display
rud_install_bundle
rud_phase="playing the fault table"
rud_hint="see the row's folder under $RUD_BUILD_DIR/faults (host.log, client.log, logs/, shots/)"

# The rows play the flow where the artist waits for the answer behind the busy dialog.
export RUD_STORY_KEEP_WORKING=0
only=${1:-}
out_root=$RUD_BUILD_DIR/faults
work=$out_root/.work
rm -rf "$out_root"
mkdir -p "$work"

# Analyses the rows play besides the samples.
villa=samples/analyses/vray_villa.json
: >"$work/empty.json"
printf 'null' >"$work/null.json"
head -c "$(( $(wc -c <"$here/$villa") / 2 ))" "$here/$villa" >"$work/cut.json"
python3 - "$here/$villa" "$work/big.json" <<'PY'
import json, sys
analysis = json.load(open(sys.argv[1], encoding="utf-8"))
# 50 MB in a member the reader passes through to the farm untouched (a script that reports
# scene statistics). Hundreds of thousands of missing files are another matter: the warnings
# list then takes minutes to fill.
analysis["scene_statistics"] = "polygons=1234567;" * (50 * 1048576 // 17)
json.dump(analysis, open(sys.argv[2], "w", encoding="utf-8"))
PY

# Steps of each recipe; NAME is typed into the scene-name field when the row gives one.
steps_for() {
  local recipe=$1 name=$2
  case $recipe in
    submit-*|slow|cancel-*)
      printf 'menu 1497\nwait-dialog 102\ncheck-row 0 on\n'
      [[ $recipe != *-unsaved-* ]] || printf 'check 1002 off\n'
      [ "$recipe" != submit-checked-closes ] || printf 'check 1000 on\n'
      case $name in
        '') ;;
        '<empty>') printf 'type 1036\n' ;;
        *) printf 'type 1036 %s\n' "$name" ;;
      esac
      printf 'click 1005\n' ;;
  esac
  case $recipe in
    # The busy dialog may outlive the message by a moment; "close" must reach the main dialog.
    submit-replace) printf 'wait-box\nanswer Yes\nwait-box\nscreenshot result\nanswer OK\nwait-closed 102\nquit\n' ;;
    submit-refused) printf 'wait-box\nscreenshot result\nanswer No\nwait-closed 104\nsleep 500\nwait-dialog 102\nclose\nwait-closed 102\nquit\n' ;;
    # Cancel while the task is written, after packing: the busy dialog shows that step for a second.
    cancel-after-pack) printf 'wait-dialog 104\nwait-text 1090 Writing the task\nclick 2\nwait-closed 104\nsleep 500\nscreenshot result\nwait-dialog 102\nclose\nwait-closed 102\nquit\n' ;;
    # Cancel while 7-Zip has most of a minute to go: the run ends within 2 s of the click.
    cancel-packing) printf 'wait-dialog 104\nwait-text 1090 %%\nclick 2\ntimeout 2000\nwait-closed 104\nwait-enabled 1005\ntimeout 30000\nsleep 500\nscreenshot result\nclose\nwait-closed 102\nquit\n' ;;
    open-question-submit) printf 'menu 1497\nanswer Yes\nwait-dialog 102\nanswer OK\nclick 1005\nanswer OK\nwait-closed 102\nquit\n' ;;
    submit-stays|submit-unsaved-stays) printf 'wait-box\nscreenshot result\nanswer OK\nwait-closed 104\nsleep 500\nwait-dialog 102\nclose\nwait-closed 102\nquit\n' ;;
    submit-silent) printf 'sleep 2000\nscreenshot result\nwait-closed 104\nwait-dialog 102\nclose\nwait-closed 102\nquit\n' ;;
    submit-closes|submit-unsaved-closes|submit-checked-closes) printf 'wait-box\nscreenshot result\nanswer OK\nwait-closed 102\nquit\n' ;;
    # The busy dialog keeps following a slow 7-Zip: each percentage shows as it comes.
    slow) printf 'wait-dialog 104\nwait-text 1090 30 %%\nscreenshot packing\nwait-text 1090 60 %%\nwait-box\nscreenshot result\nanswer OK\nwait-closed 102\nquit\n' ;;
    open-box) printf 'menu 1497\nwait-box\nscreenshot result\nanswer OK\nsleep 700\nquit\n' ;;
    open-question) printf 'menu 1497\nwait-box\nscreenshot result\nanswer No\nwait-closed 102\nquit\n' ;;
    open-plain) printf 'menu 1497\nwait-dialog 102\nsleep 300\nscreenshot result\nclose\nwait-closed 102\nquit\n' ;;
    *) echo "faults: unknown recipe $recipe" >&2; return 1 ;;
  esac
}

long_folder() { printf 'P%.0s' $(seq 1 "$1"); }   # C:\Projects\<folder>\Villa.max is 22 + N long
n259=$(long_folder 237)
n270=$(long_folder 248)
name259=$(printf 'n%.0s' $(seq 1 259))
blocked_cache='touch "$RUD_STORY_CACHE/Villa_v2.max_plugin_output"'
# Another version of the artist's work where the typed name would save.
other_version='printf another-version >"$WINEPREFIX/drive_c/Projects/Villa/Villa_v2.max"'
# The short name Wine gives "Villa_version_two.max" (made from the name alone, so any folder
# shows it): typed into the name field, it stands for that file of the scene's folder.
short_dir="$WINEPREFIX/drive_c/rud-short-name"
mkdir -p "$short_dir" && : >"$short_dir/Villa_version_two.max"
short_alias=$(winepath -s 'C:\rud-short-name\Villa_version_two.max' 2>/dev/null | tr -d '\r')
short_alias=${short_alias##*\\}
short_alias=${short_alias%.*}
rm -rf "$short_dir"
[[ $short_alias == *~* ]] || rud_die "Wine gave no short name for Villa_version_two.max ($short_alias)" "$rud_hint"
long_version='printf another-version >"$WINEPREFIX/drive_c/Projects/Villa/Villa_version_two.max"'
blocked_json='mkdir -p "$RUD_STORY_CACHE/Villa_v2.max_plugin_output" && touch "$RUD_STORY_CACHE/Villa_v2.max_plugin_output/json"'

# A save that fails when "Save the scene first" is checked ends the attempt without a word of
# ours: 3ds Max reports its own failed save. The typed-name copy failing is ours to report.
# Expected outcomes: boxes=TEXT/CAPTION/OWNER (string names of the English table, 102 the main
# dialog), log=CHANNEL:LEVEL:TEXT, requests, answer, scene_changes, archives_left, ... (see
# scripts/lib/story_artefacts.py). Every row also expects the host to exit 0, no failed step and
# no request unless the archive and the task file were whole (sent_complete). The client that
# never answers gets a 3 s reply wait instead of 120 s; every other row keeps the product's.
# name | analysis | scene folder | recipe | typed name | client options | environment | before host | expectations
table=$(cat <<ROWS
sevenzip-missing       | villa | - | submit-stays  | -        | --no-sevenzip  | -                              | - | boxes=IDS_SEVENZIP_NOT_STARTED/IDS_CAPTION_ERROR/102 requests=0 log=kiv_data:ERROR:7-Zip could not be started: scene_changes=none task_files_left=0
sevenzip-fails-halfway | villa | - | submit-stays  | -        | -              | RUD_SEVENZIP_FAULT=fail-partial | - | boxes=IDS_SEVENZIP_FAILED/IDS_CAPTION_ERROR/102 requests=0 log=kiv_data:ERROR:7-Zip failed with exit code 2 archives_left=0 task_files_left=0 scene_changes=none
sevenzip-no-archive    | villa | - | submit-stays  | -        | -              | RUD_SEVENZIP_FAULT=no-archive  | - | boxes=IDS_SEVENZIP_NO_ARCHIVE/IDS_CAPTION_ERROR/102 requests=0 log=kiv_data:ERROR:7-Zip ended with exit code 0 but made no archive archives_left=0 task_files_left=0
sevenzip-exit1-empty   | villa | - | submit-stays  | -        | -              | RUD_SEVENZIP_FAULT=exit1-empty | - | boxes=IDS_SEVENZIP_SCENE_UNREAD/IDS_CAPTION_ERROR/102 requests=0 log=kiv_data:ERROR:7-Zip ended with exit code 1 archives_left=0 task_files_left=0 scene_changes=none
sevenzip-old-no-bsp1   | villa | - | submit-closes | -        | -              | RUD_SEVENZIP_FAULT=old-no-bsp1 | - | boxes=IDS_SUBMIT_ACCEPTED/-/102 requests=1 answer=10001 archive_holds_scene=true log=kiv_data:WARN:7-Zip rejected the command line
cancel-after-pack      | villa | - | cancel-after-pack | -    | -              | -                              | - | boxes=none requests=0 archives_left=0 task_files_left=0 log=kiv_data:INFO:The submission was cancelled by the user
cancel-while-packing   | villa | - | cancel-packing | -       | -              | RUD_SEVENZIP_FAULT=slow:60000  | - | boxes=none requests=0 archives_left=0 task_files_left=0 log=kiv_data:INFO:Packing was cancelled by the user
sevenzip-slow          | villa | - | slow          | -        | -              | RUD_SEVENZIP_FAULT=slow:9000   | - | boxes=IDS_SUBMIT_ACCEPTED/-/102 requests=1 answer=10001 archive_holds_scene=true
cache-folder-blocked   | villa | - | submit-stays  | Villa_v2 | -              | -                              | $blocked_cache | boxes=IDS_CACHE_FOLDER_FAILED/IDS_CAPTION_ERROR/102 requests=0 log=kiv_data:ERROR:The task's cache folder cannot be created scene_changes=+Villa_v2.max
task-file-blocked      | villa | - | submit-stays  | Villa_v2 | -              | -                              | $blocked_json | boxes=IDS_TASK_FILE_FAILED/IDS_CAPTION_ERROR/102 requests=0 task_files_left=0 scene_changes=+Villa_v2.max
client-not-listening   | villa | - | submit-stays  | -        | --no-listen    | -                              | - | boxes=IDS_CLIENT_UNREACHABLE/IDS_CAPTION_ERROR/102 requests=0 log=kiv_http:ERROR:connect error, Error Code is:
client-closes          | villa | - | submit-stays  | -        | --reply close  | -                              | - | boxes=IDS_CLIENT_UNCONFIRMED/IDS_CAPTION_ERROR/102 requests=1 archives_left=1 task_files_left=1 log=kiv_http:ERROR:connect error, Error Code is: log=kiv_data:WARN:The client did not confirm the task
client-not-json        | villa | - | submit-stays  | -        | --reply text   | -                              | - | boxes=IDS_CLIENT_UNCONFIRMED/IDS_CAPTION_ERROR/102 requests=1 archives_left=1 task_files_left=1 log=kiv_http:INFO:find '{' failed.
client-oversize-reply  | villa | - | submit-stays  | -        | --reply oversize | -                            | - | boxes=IDS_CLIENT_UNCONFIRMED/IDS_CAPTION_ERROR/102 requests=1 archives_left=1 task_files_left=1 log=kiv_http:ERROR:Get response data failed
client-unknown-code    | villa | - | submit-stays  | -        | --reply unknown-code | -                        | - | boxes=IDS_CLIENT_UNKNOWN_CODE/IDS_CAPTION_ERROR/102 message=10011 requests=1 archives_left=1 task_files_left=1 log=kiv_http:WARN:unknown result code 10011 log=kiv_data:WARN:The client did not confirm the task
client-without-code    | villa | - | submit-stays  | -        | --reply no-ret | -                              | - | boxes=IDS_CLIENT_NO_RESULT_CODE/IDS_CAPTION_ERROR/102 requests=1 archives_left=1 task_files_left=1 log=kiv_http:WARN:holds no result code log=kiv_data:WARN:The client did not confirm the task
client-never-answers   | villa | - | submit-stays  | -        | --reply silent | RUD_CLIENT_REPLY_TIMEOUT_MS=3000 | - | boxes=IDS_CLIENT_UNCONFIRMED/IDS_CAPTION_ERROR/102 requests=1 archives_left=1 task_files_left=1 log=kiv_http:ERROR:connect error, Error Code is: 10060 log=kiv_data:WARN:The client did not confirm the task
no-shared-records      | villa | - | submit-closes | -        | --no-records   | -                              | - | boxes=IDS_SUBMIT_ACCEPTED/-/102 requests=1 answer=10001 archive_holds_scene=true
settings-missing       | villa | - | open-box      | -        | --settings missing | -                          | - | boxes=IDS_CLIENT_NOT_INSTALLED/IDS_CAPTION_ERROR/102 requests=0
settings-without-port  | villa | - | submit-stays  | -        | --settings no-port | -                          | - | boxes=IDS_CLIENT_UNREACHABLE/IDS_CAPTION_ERROR/102 requests=0
settings-utf16         | villa | - | submit-closes | -        | --settings utf16 | -                            | - | boxes=IDS_SUBMIT_ACCEPTED/-/102 requests=1 answer=10001
custom-bin-garbage     | villa | - | submit-closes | -        | --custom-bin garbage | -                        | - | boxes=IDS_SUBMIT_ACCEPTED/-/102 requests=1 answer=10001
save-fails             | villa | - | submit-silent | Villa_v2 | -              | -                              | - | boxes=none requests=0 scene_changes=none --fail-save
save-copy-fails        | villa | - | submit-unsaved-stays | Villa_v2 | -       | -                              | - | boxes=IDS_NO_SCENE_FILE/IDS_CAPTION_ERROR/102 requests=0 scene_changes=none --fail-save
scene-path-259         | villa | $n259 | submit-closes | -    | -              | -                              | - | boxes=IDS_SUBMIT_ACCEPTED/-/102 requests=1 answer=10001 archive_holds_scene=true scene_changes=none
scene-path-259-renamed | villa | $n259 | submit-stays  | Villa2 | -            | -                              | - | boxes=IDS_SCENE_PATH_TOO_LONG/IDS_CAPTION_ERROR/102 requests=0 scene_changes=none
scene-path-270         | villa | $n270 | submit-closes | -    | -              | -                              | - | boxes=IDS_SUBMIT_ACCEPTED/-/102 requests=1 answer=10001 archive_holds_scene=true scene_changes=none
name-empty             | villa | - | submit-closes | <empty>  | -              | -                              | - | boxes=IDS_SUBMIT_ACCEPTED/-/102 requests=1 answer=10001 archive_holds_scene=true scene_changes=none
name-trailing-dot      | villa | - | submit-closes | Villa_v2. | -             | -                              | - | boxes=IDS_SCENE_NAME_INVALID/IDS_CAPTION_ERROR/102 requests=0 scene_changes=none --save-writes
name-trailing-space    | villa | - | submit-closes | Villa_v2\u0020 | -        | -                              | - | boxes=IDS_SCENE_NAME_INVALID/IDS_CAPTION_ERROR/102 requests=0 scene_changes=none --save-writes
name-other-case        | villa | - | submit-unsaved-closes | villa | -        | -                              | - | boxes=IDS_SUBMIT_ACCEPTED/-/102 requests=1 answer=10001 archive_holds_scene=true scene_changes=none --save-writes
name-existing-file     | villa | - | submit-refused | Villa_v2 | -             | -                              | $other_version | boxes=IDS_REPLACE_OTHER_SCENE/IDS_CAPTION_NOTICE/102 requests=0 scene_changes=+Villa_v2.max holds=Villa_v2.max:another-version
name-existing-replaced | villa | - | submit-replace | Villa_v2 | -             | -                              | $other_version | boxes=IDS_REPLACE_OTHER_SCENE/IDS_CAPTION_NOTICE/102;IDS_SUBMIT_ACCEPTED/-/102 requests=1 answer=10001 archive_holds_scene=true scene_changes=+Villa_v2.max
name-short-alias       | villa | - | submit-refused | $short_alias | -         | -                              | $long_version | boxes=IDS_REPLACE_OTHER_SCENE/IDS_CAPTION_NOTICE/102 message=Villa_version_two.max requests=0 scene_changes=+Villa_version_two.max holds=Villa_version_two.max:another-version
name-backquote         | villa | - | submit-closes | Vil\u0060la | -           | -                              | - | boxes=IDS_SCENE_NAME_INVALID/IDS_CAPTION_ERROR/102 requests=0 scene_changes=none
name-only-spaces       | villa | - | submit-closes | \u0020\u0020\u0020 | -    | -                              | - | boxes=IDS_SCENE_NAME_INVALID/IDS_CAPTION_ERROR/102 requests=0
name-259-characters    | villa | - | submit-stays  | $name259 | -              | -                              | - | boxes=IDS_SCENE_PATH_TOO_LONG/IDS_CAPTION_ERROR/102 requests=0 scene_changes=none
name-cjk               | villa | - | submit-closes | 别墅_夜景 | -              | -                              | - | boxes=IDS_SUBMIT_ACCEPTED/-/102 requests=1 answer=10001 archive_holds_scene=true scene_changes=+别墅_夜景.max
name-cyrillic          | villa | - | submit-closes | Вилла_ночь | -            | -                              | - | boxes=IDS_SCENE_NAME_INVALID/IDS_CAPTION_ERROR/102 requests=0 scene_changes=none
analysis-script-fails  | none  | - | open-box      | -        | -              | -                              | - | boxes=IDS_ANALYSIS_SCRIPT_FAILED/IDS_CAPTION_ERROR/102 requests=0
analysis-empty         | empty | - | open-box      | -        | -              | -                              | - | boxes=IDS_ANALYSIS_SCRIPT_FAILED/IDS_CAPTION_ERROR/102 requests=0
analysis-null          | null  | - | open-question | -        | -              | -                              | - | boxes=IDS_NO_CAMERAS_CONTINUE/IDS_CAPTION_ERROR/102 requests=0
analysis-null-submit   | null  | - | open-question-submit | - | -             | -                              | - | boxes=IDS_NO_CAMERAS_CONTINUE/IDS_CAPTION_ERROR/102;IDS_NO_CAMERA_CHECKED/IDS_CAPTION_ERROR/102;IDS_SUBMIT_ACCEPTED/-/102 requests=1 answer=10001 archive_holds_scene=true scene_changes=none
analysis-cut-short     | cut   | - | open-box      | -        | -              | -                              | - | boxes=IDS_ANALYSIS_SCRIPT_FAILED/IDS_CAPTION_ERROR/102 requests=0
analysis-50mb          | big   | - | submit-closes | -        | -              | -                              | - | boxes=IDS_SUBMIT_ACCEPTED/-/102 requests=1 answer=10001 archive_holds_scene=true
autobackup-virus-checks | villa | - | submit-checked-closes | - | -            | -                              | - | boxes=IDS_SUBMIT_ACCEPTED/-/102 requests=1 answer=10001 archive_holds_scene=true host_has=AUTOBACKUP --autobackup 100
ROWS
)

# Rows whose expected outcome waits for a change on another branch: name -> reason.
declare -A pending=()

trim() { local t=$1; t=${t#"${t%%[![:space:]]*}"}; t=${t%"${t##*[![:space:]]}"}; printf '%s' "$t"; }

# Every row: the open scene's file is byte for byte what it was, the cache holds an archive and
# a task file only for a task the client received and did not refuse (it may have queued it),
# and a file the row names holds its text.
leftovers_ok() {   # leftovers_ok OUT SCENE-FOLDER [NAME:TEXT]
  local out=$1 scene_dir="$WINEPREFIX/drive_c/Projects/$2" holds=$3 ok=0
  if [ "$(grep ' ./Villa.max$' "$out/scene-before.txt")" != "$(grep ' ./Villa.max$' "$out/scene-after.txt")" ]; then
    echo "  mismatch in $out: the scene file Villa.max changed"; ok=1
  fi
  python3 - "$out/summary.json" <<'PY' || ok=1
import json, sys
s = json.load(open(sys.argv[1], encoding="utf-8"))
# Only a refusal proves that the client let the task go; any other answer may come with it held.
refusals = set(range(10002, 10011)) | {11000, 11010}
allowed = 1 if s.get("requests", 0) > 0 and s.get("answer") not in refusals else 0
# The copy of the scene that is packed never outlives the submission.
for key, most in (("archives_left", allowed), ("task_files_left", allowed), ("snapshots_left", 0)):
    if s.get(key, 0) > most:
        print(f"  mismatch in {sys.argv[1]}: {key} is {s[key]} with the client's answer {s.get('answer')}")
        sys.exit(1)
PY
  if [ -n "$holds" ] && [ "$(cat "$scene_dir/${holds%%:*}" 2>/dev/null)" != "${holds#*:}" ]; then
    echo "  mismatch in $out: ${holds%%:*} no longer holds ${holds#*:}"; ok=1
  fi
  return $ok
}

passed=0 failed=0 skipped=0
while IFS='|' read -r name analysis folder recipe typed client environment before expectations; do
  name=$(trim "$name"); analysis=$(trim "$analysis"); folder=$(trim "$folder"); recipe=$(trim "$recipe")
  typed=$(trim "$typed"); client=$(trim "$client"); environment=$(trim "$environment")
  before=$(trim "$before"); expectations=$(trim "$expectations")
  [ -n "$name" ] || continue
  [ -z "$only" ] || [[ $name == *$only* ]] || continue
  if [ -n "${pending[$name]:-}" ]; then
    echo "skip   $name (pending: ${pending[$name]})"
    skipped=$((skipped + 1))
    continue
  fi
  case $analysis in
    villa) analysis_file=$villa ;;
    none) analysis_file="" ;;
    *) analysis_file=$work/$analysis.json ;;
  esac
  [ "$typed" != - ] || typed=""
  steps_file=$work/$name.steps
  steps_for "$recipe" "$typed" >"$steps_file"
  rud_story_client_options=()
  [ "$client" = - ] || read -r -a rud_story_client_options <<<"$client"
  host_options=()
  expected=()
  holds=""
  read -r -a words <<<"$expectations"
  # Expectations are KEY=VALUE; a value may hold spaces up to the next KEY=; a word starting
  # with "--" is a host option (the words after it, up to the next KEY=, its values);
  # holds=NAME:TEXT is checked here.
  option=false
  for word in "${words[@]}"; do
    if [[ $word == --* ]]; then host_options+=("$word"); option=true
    elif $option && [[ $word != *=* ]]; then host_options+=("$word")
    elif [[ $word == holds=* ]]; then holds=${word#holds=}
    elif [[ $word == *=* ]] && [[ ${word%%=*} =~ ^[a-z_]+$ ]]; then expected+=("$word"); option=false
    else expected[${#expected[@]}-1]+=" $word"
    fi
  done
  (
    [ "$environment" = - ] || export "${environment?}"
    if [ "$folder" = - ]; then unset RUD_STORY_FOLDER; else RUD_STORY_FOLDER=$folder; fi
    if [ "$before" = - ]; then unset RUD_STORY_BEFORE_HOST; else RUD_STORY_BEFORE_HOST=$before; fi
    rud_story "$out_root/$name" Villa.max "$analysis_file" "$steps_file" 10001 "${host_options[@]}"
    echo "$RUD_STORY_HOST_RC" >"$out_root/$name/host-exit"
  ) || true
  host_rc=$(cat "$out_root/$name/host-exit" 2>/dev/null || echo "?")
  if [ "$host_rc" = 0 ] &&
     python3 "$here/scripts/lib/story_artefacts.py" expect "$out_root/$name" failed_steps=0 sent_complete=true \
       "${expected[@]}" && leftovers_ok "$out_root/$name" "${folder/#-/Villa}" "$holds"; then
    passed=$((passed + 1))
    echo "ok     $name"
  else
    failed=$((failed + 1))
    echo "FAILED $name (host exit $host_rc; see $out_root/$name/host.log)"
  fi
done <<<"$table"

echo "$passed passed, $failed failed, $skipped pending"
[ "$failed" = 0 ] || rud_die "$failed fault rows failed" "$rud_hint"
