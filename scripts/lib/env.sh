# Shared by the README's commands: where things are built, and starting/stopping what they need.
# Everything started here is stopped by the EXIT trap of the calling script. Every way these
# commands stop prints what went wrong and what to do: rud_die for the failures we foresee, the
# ERR trap for any other command that fails under `set -e`.
here=${here:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
export RUD_BUILD_DIR=${RUD_BUILD_DIR:-$here/build}
export RUD_BUILD=${RUD_BUILD:-$RUD_BUILD_DIR/mingw}
export RUD_BIN=$RUD_BUILD/bin
export WINEPREFIX=$RUD_BUILD_DIR/wineprefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}

source "$here/scripts/lib/cjk_fonts.sh"

rud_script=$(basename "$0")
# What the script is doing, and what to do when that fails; each phase sets its own.
rud_phase="starting"
rud_hint="run the command again; if it stops the same way, read the messages above"

rud_cleanup_actions=()
rud_on_exit() { local a; for a in "${rud_cleanup_actions[@]}"; do eval "$a" || true; done; }
trap rud_on_exit EXIT

rud_die() {   # rud_die WHAT-WENT-WRONG WHAT-TO-DO
  echo "$rud_script: error: $1" >&2
  echo "$rud_script: what to do: $2" >&2
  exit 1
}

rud_on_error() {
  local code=$1 command=$2 line=$3
  echo "$rud_script: error while $rud_phase: '$command' failed with exit code $code (${BASH_SOURCE[1]:-?}:$line)" >&2
  echo "$rud_script: what to do: $rud_hint" >&2
  exit "$code"
}
set -E
trap 'rud_on_error "$?" "$BASH_COMMAND" "$LINENO"' ERR

rud_setup() {
  rud_phase="installing what is missing (scripts/setup.sh)"
  rud_hint="check the network and that you run as root (apt-get needs both), then run the command again"
  bash "$here/scripts/setup.sh"
}

rud_build() {
  rud_phase="building"
  local log=$RUD_BUILD/build.log
  mkdir -p "$RUD_BUILD"
  if [ ! -f "$RUD_BUILD/CMakeCache.txt" ]; then
    if ! cmake -S "$here" -B "$RUD_BUILD" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-posix.cmake" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRUD_DEPS_PREFIX="$RUD_BUILD_DIR/deps/prefix" \
        -DCMAKE_PREFIX_PATH="$RUD_BUILD_DIR/deps/prefix" >"$log" 2>&1; then
      tail -n 30 "$log" >&2
      rm -f "$RUD_BUILD/CMakeCache.txt"
      rud_die "configuring the build failed (full log: $log)" \
        "if a dependency is missing, run scripts/setup.sh; if build/deps is damaged, delete it and run again"
    fi
  fi
  if ! cmake --build "$RUD_BUILD" -j"$(nproc)" >"$log" 2>&1; then
    grep -v -E '^\[ *[0-9]+%\]' "$log" | tail -n 60 >&2
    rud_die "the build failed (full log: $log)" \
      "fix the compiler errors shown above; if the build tree is stale, delete $RUD_BUILD and run again"
  fi
  grep -E 'warning:' "$log" | head -n 20 || true
}

# True when a Wine program starts and ends in this prefix within the time limit.
rud_wine_answers() { timeout 60 wine cmd /c exit >/dev/null 2>&1 </dev/null; }

# A Wine prefix inside the build tree, and a persistent wineserver so that each test program
# starts in a fraction of a second. A wineserver that already runs for the prefix (left by an
# interrupted run, or started by another command) is reused when it answers, replaced when not.
rud_start_wine() {
  rud_phase="starting Wine"
  rud_hint="stop the Wine programs of this prefix (WINEPREFIX=$WINEPREFIX wineserver -k), or delete $WINEPREFIX to have it made anew, then run again"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating the prefix in $WINEPREFIX"
    wine wineboot -i >/dev/null 2>&1 </dev/null || true
    wineserver -w || true
    [ -f "$WINEPREFIX/system.reg" ] ||
      rud_die "Wine could not create its prefix in $WINEPREFIX" "$rud_hint"
  fi
  if wineserver -p >/dev/null 2>&1 </dev/null; then
    rud_cleanup_actions+=("wineserver -k >/dev/null 2>&1")
  elif rud_wine_answers; then
    echo "wine: reusing the wineserver already running for $WINEPREFIX"
  else
    echo "wine: the wineserver running for $WINEPREFIX does not answer; replacing it"
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    wineserver -p >/dev/null 2>&1 </dev/null ||
      rud_die "no wineserver could be started for $WINEPREFIX" "$rud_hint"
    rud_cleanup_actions+=("wineserver -k >/dev/null 2>&1")
  fi
  # Start Wine's own services now, with no terminal or pipe: a service started later by a
  # test program would inherit CTest's output pipe and keep CTest waiting until its time-out.
  wine wineboot >/dev/null 2>&1 </dev/null || true
  wine explorer /desktop=shell,1280x1024 cmd /c exit >/dev/null 2>&1 </dev/null || true
  rud_wine_answers || rud_die "Wine programs do not start in $WINEPREFIX" "$rud_hint"
  # Xvfb runs no window manager: Wine then waits up to 2 s for one each time a window is hidden
  # or destroyed, which no Windows desktop does, and which would hold 3ds Max's thread each time a
  # dialog closes. Wine manages its windows itself instead.
  grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null ||
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null || true
  rud_link_cjk_fonts
}

# A display number whose X server, if any, is gone: its lock file names no living process.
rud_display_free() {
  local n=$1 lock=/tmp/.X$1-lock pid
  [ -e "$lock" ] || { [ ! -e "/tmp/.X11-unix/X$n" ]; return; }
  pid=$(tr -d ' ' <"$lock" 2>/dev/null || true)
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then return 1; fi
  rm -f "$lock" "/tmp/.X11-unix/X$n" 2>/dev/null || return 1   # left by a server that died
}

# Call before rud_start_wine, so that Wine's services see the display. A display that is set
# and answers is reused; otherwise our own Xvfb runs until the script ends.
rud_start_display() {
  rud_phase="starting the virtual display (Xvfb)"
  rud_hint="check that Xvfb runs (Xvfb :99 &), or set DISPLAY to a working X display, then run again"
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return; fi
  [ -z "${DISPLAY:-}" ] || echo "display: $DISPLAY does not answer; starting Xvfb instead"
  local n found=
  for n in $(seq 90 140); do
    if rud_display_free "$n"; then found=$n; break; fi
  done
  [ -n "$found" ] || rud_die "no free X display number between :90 and :140" \
    "stop Xvfb servers you no longer need (see: ls /tmp/.X*-lock), then run again"
  n=$found
  local log=$RUD_BUILD_DIR/xvfb.log
  mkdir -p "$RUD_BUILD_DIR"
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$log" 2>&1 &
  local pid=$!
  rud_cleanup_actions+=("kill $pid 2>/dev/null")
  export DISPLAY=":$n"
  for _ in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && return
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  tail -n 5 "$log" >&2 || true
  rud_die "Xvfb did not start on display :$n (log: $log)" "$rud_hint"
}
