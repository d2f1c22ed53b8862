#!/usr/bin/env bash
# The Windows x64 build's side of scripts/test.sh: MinGW-w64 and Wine from Debian, the
# libraries built from Debian's source packages (win64-deps.sh), and a Wine prefix of the
# build's own with one persistent wineserver for the length of the run, so that each test
# program does not pay for starting one. Sourced after setup.sh.

TRALVONIC_WIN64_PACKAGES=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 dpkg-dev xvfb xauth)

source "$TRALVONIC_ROOT/scripts/win64-deps.sh"

tralvonic_wine() {
  WINEPREFIX="$TRALVONIC_ROOT/build/win64/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" "$@"
}

# The Win32 windows' tests need a screen: without a display of its own, the run gets an Xvfb
# for its length. Wine draws the windows' frames itself on a virtual desktop, so the pictures
# of the windows show their title bars as Windows would.
tralvonic_win64_start_display() {
  if [ -n "${DISPLAY:-}" ]; then
    return 0
  fi
  local number
  for number in $(seq 90 99); do
    [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] || break
  done
  Xvfb ":$number" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  TRALVONIC_XVFB_PID=$!
  export DISPLAY=":$number"
  local waited
  for waited in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$number" ] && break
    sleep 0.1
  done
}

# Creates the prefix without a prompt (no Mono, no Gecko) and starts its wineserver.
tralvonic_win64_start_wine() {
  mkdir -p "$TRALVONIC_ROOT/build/win64"
  # Whatever happens next, the display and the wineserver go with the run.
  trap tralvonic_win64_stop_wine EXIT
  tralvonic_win64_start_display
  if [ ! -f "$TRALVONIC_ROOT/build/win64/wineprefix/system.reg" ]; then
    echo "Creating the Wine prefix build/win64/wineprefix"
    tralvonic_wine /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1
    # The wineserver that wineboot leaves ends on its own within seconds; a persistent one
    # cannot start while it runs.
    tralvonic_wine wineserver -w
  fi
  # A persistent server of an earlier run that is still up serves this run as well.
  tralvonic_wine wineserver -p 2>/dev/null || true
  tralvonic_wine /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  tralvonic_wine /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x800 /f \
    >/dev/null 2>&1
}

tralvonic_win64_stop_wine() {
  tralvonic_wine wineserver -k 2>/dev/null || true
  if [ -n "${TRALVONIC_XVFB_PID:-}" ]; then
    kill "$TRALVONIC_XVFB_PID" 2>/dev/null || true
  fi
}

tralvonic_win64_prepare() {
  tralvonic_install_packages "${TRALVONIC_WIN64_PACKAGES[@]}"
  win64_build_deps
  tralvonic_win64_start_wine
}
