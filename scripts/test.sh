#!/usr/bin/env bash
# Runs the test suite: installs what it needs, builds and runs every test with CTest.
# Usage: scripts/test.sh [PRESET [CTEST-ARGS...]]   (default, asan, tsan or win64)
# win64 cross-builds the Windows DLLs with MinGW-w64 and runs the tests under Wine.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

preset=${1:-default}
shift $(( $# > 0 ? 1 : 0 ))
tralvonic_install_packages
tralvonic_install_npm
if [ "$preset" = win64 ]; then
  source "$TRALVONIC_ROOT/scripts/win64.sh"
  tralvonic_win64_prepare
fi
tralvonic_build "$preset"
cd "$TRALVONIC_ROOT"
ctest --preset "$preset" --no-tests=error "$@"
