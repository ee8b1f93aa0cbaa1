# Shared by the README's commands: where things are built, and starting/stopping what they need.
# Everything started here is stopped by the EXIT trap of the calling script.
here=${here:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
export RUD_BUILD_DIR=${RUD_BUILD_DIR:-$here/build}
export RUD_BUILD=${RUD_BUILD:-$RUD_BUILD_DIR/mingw}
export RUD_BIN=$RUD_BUILD/bin
export WINEPREFIX=$RUD_BUILD_DIR/wineprefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}

source "$here/scripts/lib/cjk_fonts.sh"

rud_cleanup_actions=()
rud_on_exit() { local a; for a in "${rud_cleanup_actions[@]}"; do eval "$a" || true; done; }
trap rud_on_exit EXIT

rud_setup() { bash "$here/scripts/setup.sh"; }

rud_build() {
  if [ ! -f "$RUD_BUILD/CMakeCache.txt" ]; then
    cmake -S "$here" -B "$RUD_BUILD" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-posix.cmake" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRUD_DEPS_PREFIX="$RUD_BUILD_DIR/deps/prefix" \
      -DCMAKE_PREFIX_PATH="$RUD_BUILD_DIR/deps/prefix" >/dev/null
  fi
  local log=$RUD_BUILD/build.log
  if ! cmake --build "$RUD_BUILD" -j"$(nproc)" >"$log" 2>&1; then
    grep -v -E '^\[ *[0-9]+%\]' "$log" | tail -n 60 >&2
    echo "build failed (full log: $log)" >&2
    exit 1
  fi
  grep -E 'warning:' "$log" | head -n 20 || true
}

# A Wine prefix inside the build tree, and a persistent wineserver so that each test program
# starts in a fraction of a second.
rud_start_wine() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating the prefix in $WINEPREFIX"
    wine wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
  wineserver -p >/dev/null 2>&1 </dev/null
  rud_cleanup_actions+=("wineserver -k >/dev/null 2>&1")
  # Start Wine's own services now, with no terminal or pipe: a service started later by a
  # test program would inherit CTest's output pipe and keep CTest waiting until its time-out.
  wine wineboot >/dev/null 2>&1 </dev/null || true
  wine explorer /desktop=shell,1280x1024 cmd /c exit >/dev/null 2>&1 </dev/null || true
  rud_link_cjk_fonts
}

# Call before rud_start_wine, so that Wine's services see the display.
rud_start_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return; fi
  local n
  for n in $(seq 90 140); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  local pid=$!
  rud_cleanup_actions+=("kill $pid 2>/dev/null")
  export DISPLAY=":$n"
  for _ in $(seq 1 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
}
