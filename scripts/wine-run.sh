#!/usr/bin/env bash
# Runs a program of the Windows build under 64-bit Wine in the build's own Wine prefix, quietly
# and without the prompts for Mono and Gecko: CMake's emulator for the win64 preset, so that
# CTest, test discovery and the build's own tools run the .exe files through it.
# Usage: scripts/wine-run.sh PROGRAM.exe [ARGS...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build/win64/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec /usr/lib/wine/wine64 "$@"
