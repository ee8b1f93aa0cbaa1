#!/usr/bin/env bash
# The stand-in 3ds Max with a language pack that disagrees with Wine's Windows language, both
# ways: the action texts 3ds Max would list (ACTION-TEXT) follow the language pack and none is
# blank; the About box follows it too.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/scripts/lib/env.sh"
[ -n "${DISPLAY:-}" ] || rud_start_display

out=$RUD_BUILD_DIR/e2e/language
mkdir -p "$out"
passed=0
failed=0

# run NAME WINDOWS_LOCALE PACK EXPECT (EXPECT: "han" for Chinese texts, "ascii" for English ones)
run() {
  local name=$1 windows=$2 pack=$3 expect=$4 log="$out/$1.log"
  set +e
  LANG=$windows LC_ALL=$windows timeout 120 wine "$RUD_BIN/3dsmax_standin.exe" --language "$pack" \
    --run-action 1498 --auto-answer >"$log" 2>&1 </dev/null
  local rc=$?
  set -e
  if [ $rc = 0 ] && python3 - "$log" "$expect" <<'PY'
import re, sys
lines = open(sys.argv[1], encoding="utf-8", errors="replace").read().splitlines()
texts = [l for l in lines if l.startswith("ACTION-TEXT ")]
ids = sorted(l.split()[2] for l in texts)
assert ids == ["1497", "1498"], ids
for line in texts:
    fields = [f.strip() for f in line.split("|")[1:]]
    assert len(fields) == 3 and all(fields), line
    han = any("\u4e00" <= c <= "\u9fff" for c in "".join(fields))
    assert han == (sys.argv[2] == "han"), line
boxes = [l for l in lines if l.startswith("MESSAGEBOX ")]
assert boxes and any("\u4e00" <= c <= "\u9fff" for c in boxes[0]) == (sys.argv[2] == "han"), boxes
PY
  then
    passed=$((passed + 1)); echo "ok     $name"
  else
    failed=$((failed + 1)); echo "FAILED $name (host exit $rc; see $log)"
  fi
}

run chinese-pack-on-english-windows C.UTF-8 zh-CN han
run english-pack-on-chinese-windows zh_CN.UTF-8 en-US ascii

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
