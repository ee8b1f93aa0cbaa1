#!/usr/bin/env bash
# Pictures of every dialog in both languages, for a person to look at:
#   bash scripts/screenshots.sh [build dir]      (default: build/mingw)
# Builds ui_screenshots, runs it under Xvfb in a Wine virtual desktop, and saves
# build/screenshots/<locale>_<dialog>.png. Uses $WINEPREFIX when set, else build/wineprefix.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$here/build/mingw}
export WINEPREFIX=${WINEPREFIX:-$here/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
out=$here/build/screenshots
mkdir -p "$out"

started_display=
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  export DISPLAY=${RUD_SCREENSHOT_DISPLAY:-:19}
  Xvfb "$DISPLAY" -screen 0 1280x1024x24 >/dev/null 2>&1 &
  started_display=$!
  sleep 1
fi
cleanup() { [ -n "$started_display" ] && kill "$started_display" 2>/dev/null || true; }
trap cleanup EXIT

cmake --build "$build" --target ui_screenshots rud_language_files -j2 >/dev/null

source "$here/scripts/lib/cjk_fonts.sh"
rud_link_cjk_fonts
wineserver -p >/dev/null 2>&1 || true

work=$(mktemp -d)
trap 'cleanup; rm -rf "$work"' EXIT
for locale in en-US zh-CN; do
  rm -f "$work"/*
  RUD_SCREENSHOT_DIR=$(winepath -w "$work") RUD_SCREENSHOT_LOCALE=$locale \
    wine explorer /desktop=rudshots,1280x1024 "$build/bin/ui_screenshots.exe" --gtest_brief=1 \
    >"$work/run.log" 2>&1 &
  runner=$!
  while kill -0 "$runner" 2>/dev/null; do
    for ready in "$work"/*.ready; do
      [ -e "$ready" ] || continue
      name=$(basename "$ready" .ready)
      sleep 0.5
      import -window root -crop "$(cat "$ready")" +repage "$out/${locale}_${name}.png"
      cp "$out/${locale}_${name}.png" "$work/$name.png"
      rm -f "$ready"
      echo "saved $out/${locale}_${name}.png"
    done
    sleep 0.2
  done
  wait "$runner" || { cat "$work/run.log"; exit 1; }
done
